#include "web/ruffleplayer.h"

#include "web/rufflepage.h"
#include "web/rufflerequestguard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlScheme>
#include <QWebEngineView>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcPlayer, "qorvel.player", QtWarningMsg)

// Until its first frame, a movie is taken to be playing for this long: the
// runtime and the movie are still loading.
constexpr qint64 LoadGraceMs = 5000;

bool runningAsRoot()
{
    // The owner of our own /proc entry is our effective user; elsewhere the
    // file does not exist and the answer is no.
    const QFileInfo self(QStringLiteral("/proc/self/status"));
    return self.exists() && self.ownerId() == 0;
}

QUrl playerPage()
{
    return QUrl(RuffleSchemeHandler::Origin + QStringLiteral("/player.html"));
}

QString localPath(const QString &movie)
{
    if (movie.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(movie).toLocalFile();
    return movie;
}

} // namespace

void RufflePlayer::initializeBeforeEngine()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QWebEngineUrlScheme scheme(RuffleSchemeHandler::Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    // XMLHttpRequest works on such a scheme; fetch() does not before Qt 6.6,
    // which is why the page routes fetch() through XHR.
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::CorsEnabled |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored);
    QWebEngineUrlScheme::registerScheme(scheme);
    // Chromium refuses to start its sandbox as root.
    if (runningAsRoot() && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Memory: the runtime's WebAssembly is compiled a function at a time as
    // it is first called (the eager compilation of the whole runtime alone
    // holds 30 MB of code in the renderer), and sound is played from the
    // program's own process rather than a service process of 20 MB.
    // A switch the user set is left as it is.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto unlessSet = [&flags](const QByteArray &name, const QByteArray &value) {
        if (!flags.contains(name + '='))
            flags += ' ' + name + '=' + value;
    };
    unlessSet("--js-flags", "--wasm-lazy-compilation");
    unlessSet("--disable-features", "AudioServiceOutOfProcess");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.trimmed());
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

RufflePlayer::RufflePlayer(const QString &appFolder, QWidget *parent) : QObject(parent)
{
    m_profile = new QWebEngineProfile(this); // off the record: nothing stored on disk
    m_profile->installUrlSchemeHandler(
        RuffleSchemeHandler::Scheme,
        new RuffleSchemeHandler(QDir(appFolder).filePath(QStringLiteral("ruffle")), &m_content,
                                m_profile));
    m_profile->setUrlRequestInterceptor(new RuffleRequestGuard(m_profile));

    m_page = new RufflePage(m_profile, this);
    QWebEngineSettings *s = m_page->settings();
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    s->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_page->setBackgroundColor(Qt::black);
    connect(m_page, &RufflePage::eventReceived, this, &RufflePlayer::onPageEvent);
    connect(m_page, &QWebEnginePage::loadFinished, this, &RufflePlayer::onPageLoaded);

    m_view = new QWebEngineView(parent);
    m_view->setPage(m_page);
    // The runtime shows its own context menu; the browser's would cover it.
    m_view->setContextMenuPolicy(Qt::PreventContextMenu);
    m_page->load(playerPage());
}

RufflePlayer::~RufflePlayer()
{
    // The page must go before its profile, and the view may already be gone
    // with the window that holds it.
    delete m_view.data();
    delete m_page;
}

QWidget *RufflePlayer::widget()
{
    return m_view;
}

void RufflePlayer::setMuted(bool muted)
{
    m_page->setAudioMuted(muted);
}

void RufflePlayer::setMovie(const QString &movie)
{
    freshPageIfGrown();
    m_movie = movie;
    ++m_content.generation;
    resetState();
    if (movie == EmptyMovie || !loadFile(localPath(movie))) {
        runScript(QStringLiteral("qv.clear()"));
        return;
    }
    const QString url = RuffleSchemeHandler::Origin +
                        QStringLiteral("/movie/%1/movie.swf").arg(m_content.generation);
    const bool callback = m_control == swf::FrameControl::ExternalInterface;
    runScript(QStringLiteral("qv.load(%1, '%2', %3, %4, %5, %6)")
                  .arg(m_content.generation)
                  .arg(url, callback ? QStringLiteral("true") : QStringLiteral("false"))
                  .arg(m_frameRate)
                  .arg(savedGamesOf(localPath(movie)),
                       m_tracing ? QStringLiteral("true") : QStringLiteral("false")));
}

void RufflePlayer::resetState()
{
    m_content.movie.clear();
    m_content.movieFolder.clear();
    m_content.commandReply.clear();
    m_loadError.clear();
    m_totalFrames = 0;
    m_frameRate = 0;
    m_control = swf::FrameControl::None;
    m_frame = 0;
    m_started = false;
    m_suspended = false;
    m_stoppedByCommand = false;
    m_commandId = 0;
    m_command = 0;
    m_commandFrame = 0;
    m_content.acknowledged = 0;
    m_graceMs = LoadGraceMs;
    m_sinceProgress.start();
    m_playedMs = 0;
    m_runClock.invalidate();
    m_runStarted = false;
}

bool RufflePlayer::loadFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_loadError = file.errorString();
    } else if (file.size() > swf::DefaultMaxSize) {
        m_loadError = swf::describe(swf::ReadError::TooLarge);
    } else {
        const QByteArray bytes = file.readAll();
        const swf::ReadResult read = swf::read(bytes);
        if (read.ok()) {
            const QByteArray pollUrl = (RuffleSchemeHandler::Origin + QStringLiteral("/control/") +
                                        QString::number(m_content.generation))
                                           .toUtf8();
            const swf::Rewritten out = m_plain ? swf::Rewritten{swf::FrameControl::None, bytes}
                                               : swf::rewriteForPlayer(read.movie, bytes, pollUrl);
            m_content.movie = out.data;
            m_content.movieFolder = QFileInfo(path).absolutePath();
            m_control = out.control;
            m_totalFrames = read.movie.frameCount;
            m_frameRate = read.movie.frameRate;
            m_frame = 1;
            return true;
        }
        m_loadError = swf::describe(read.error);
    }
    qCWarning(lcPlayer) << "cannot play" << path << ":" << m_loadError;
    return false;
}

QString RufflePlayer::savedGamesOf(const QString &path)
{
    const QString programme = SavedGames::programmeOf(path);
    QJsonObject saves;
    const QMap<QString, QByteArray> kept = m_saves.load(programme);
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        saves.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    if (!programme.isEmpty())
        m_savingProgrammes.insert(programme);
    // A movie whose names cannot be used keeps its saves while it plays.
    const QJsonObject saved{
        {QStringLiteral("programme"), programme},
        {QStringLiteral("saves"), saves},
        {QStringLiteral("canSave"), programme.isEmpty() || m_saves.canSave(programme)}};
    return QString::fromUtf8(QJsonDocument(saved).toJson(QJsonDocument::Compact));
}

void RufflePlayer::onSaveEvent(const QString &kind, const QString &value)
{
    const QStringList parts = value.split(u' ');
    if (parts.size() != 3)
        return;
    const QString programme = QUrl::fromPercentEncoding(parts[0].toUtf8());
    const QString name = QUrl::fromPercentEncoding(parts[1].toUtf8());
    // Only the programmes this player loaded, even if a movie forged a report.
    if (!m_savingProgrammes.contains(programme))
        return;
    if (kind == QLatin1String("save"))
        static_cast<void>(m_saves.save(
            programme, name,
            QByteArray::fromBase64(QByteArray::fromPercentEncoding(parts[2].toLatin1()))));
    else
        static_cast<void>(m_saves.remove(programme, name));
}

qint64 RufflePlayer::rendererMemoryMb() const
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(m_page->renderProcessPid()));
    if (m_page->renderProcessPid() <= 0 || !rollup.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss_Anon:"))
            return line.mid(9).trimmed().split(' ').value(0).toLongLong() / 1024;
    }
    return -1;
}

void RufflePlayer::freshPageIfGrown()
{
    // The old page's memory goes only once the engine has collected it:
    // a few movies pass before the next look, or every movie would get a
    // fresh page while that is under way.
    if (++m_moviesOnPage < 3 || !m_pageReady)
        return;
    const qint64 now = rendererMemoryMb();
    if (m_warmMemoryMb < 0) // movies came before the warm-up: from now on
        m_warmMemoryMb = now;
    if (now < 0 || now - m_warmMemoryMb <= PageGrowthLimitMb)
        return;
    qCInfo(lcPlayer) << "renderer grew from" << m_warmMemoryMb << "to" << now
                     << "MB: loading a fresh player page";
    // Scripts wait for the new page; a movie set now is loaded into it, an
    // empty player warms the runtime up again.
    m_pageReady = false;
    m_moviesOnPage = 0;
    m_page->load(playerPage());
}

bool RufflePlayer::hasMovie() const
{
    return !m_content.movie.isEmpty();
}

int RufflePlayer::frameNum() const
{
    if (!hasMovie())
        return 0;
    if (m_control == swf::FrameControl::None)
        return estimatedFrame();
    return m_frame;
}

bool RufflePlayer::isPlaying() const
{
    if (!hasMovie() || m_suspended || m_stoppedByCommand)
        return false;
    if (m_control == swf::FrameControl::None)
        return true;
    // The movie reports every frame it enters: when none came for a while,
    // its timeline has stopped.
    return m_sinceProgress.elapsed() < std::max(m_graceMs, stallLimitMs());
}

qint64 RufflePlayer::stallLimitMs() const
{
    const double period = m_frameRate > 0 ? 1000.0 / m_frameRate : 1000.0;
    return std::max<qint64>(500, qint64(period * 3.5));
}

int RufflePlayer::estimatedFrame() const
{
    if (m_totalFrames <= 0)
        return 0;
    const qint64 ms = m_playedMs + (m_runClock.isValid() ? m_runClock.elapsed() : 0);
    const auto frames = static_cast<qint64>(ms * m_frameRate / 1000.0);
    return 1 + static_cast<int>(frames % m_totalFrames);
}
