#include "web/engineenvironment.h"

#include "web/pagecontract.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QWebEngineUrlScheme>

namespace {

bool runningAsRoot()
{
    // The owner of our own /proc entry is our effective user; elsewhere the
    // file does not exist and the answer is no.
    const QFileInfo self(QStringLiteral("/proc/self/status"));
    return self.exists() && self.ownerId() == 0;
}

void registerScheme()
{
    QWebEngineUrlScheme scheme(PageContract::Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // XMLHttpRequest works on such a scheme; fetch() does not before Qt 6.6,
    // which is why the page routes fetch() through XHR.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
}

// Memory: the runtime's WebAssembly is compiled a function at a time as it is
// first called (the eager compilation of the whole runtime alone holds 30 MB
// of code in the renderer), and sound is played from the program's own
// process rather than a service process of 20 MB. A switch the user set is
// left as it is.
void addChromiumFlags()
{
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto unlessSet = [&flags](const QByteArray &name, const QByteArray &value) {
        if (!flags.contains(name + '='))
            flags += ' ' + name + '=' + value;
    };
    unlessSet("--js-flags", "--wasm-lazy-compilation");
    unlessSet("--disable-features", "AudioServiceOutOfProcess");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
}

} // namespace

void EngineEnvironment::prepare()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    registerScheme();
    // Chromium refuses to start its sandbox as root.
    if (runningAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    addChromiumFlags();
    // The web engine's helper processes give blocks of 32 kB and more back
    // to the system as soon as they are freed. Left to itself, the C library
    // keeps them: the runtime's start (its 14 MB of WebAssembly among it)
    // passes through many blocks of 32 to 64 kB in the renderer, and 50 MB of
    // them stayed in its heap for good. Our own process started long ago and
    // is not affected.
    if (!qEnvironmentVariableIsSet("MALLOC_MMAP_THRESHOLD_"))
        qputenv("MALLOC_MMAP_THRESHOLD_", "32768");
    // Loaded later, the program has made the shared context itself.
    if (!QCoreApplication::instance())
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
