#include "gui/webhost/webpartshost.h"

#include "gui/webhost/webviewslot.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QOpenGLContext>

// Qt's own, exported by Qt GUI but declared only in its private headers: the
// context that every OpenGL context of the process shares with. A program
// that links the web engine gets it while its QApplication is made; loading
// the engine later needs it made by hand first.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

class WebPartsHost::Player : public FlashPlayer
{
public:
    explicit Player(WebPartsHost *host) : m_slot(new WebViewSlot(Qt::black)), m_host(host) {}
    ~Player() override { delete m_slot.data(); }

    FlashPlayer *real() const { return m_host->loaded() ? m_host->m_parts->player.get() : nullptr; }

    void attach()
    {
        FlashPlayer *p = real();
        if (m_slot)
            m_slot->setView(p->widget());
        p->setMuted(m_muted);
        if (m_movieSet)
            p->setMovie(m_movie);
    }

    void setMovie(const QString &movie) override
    {
        m_movie = movie;
        m_movieSet = true;
        if (real())
            real()->setMovie(movie);
        else if (movie != EmptyMovie) // an empty player looks the same before
            m_host->load();           // the parts are there; loading sets it
    }
    QString movie() const override { return m_movie; }
    int totalFrames() const override { return real() ? real()->totalFrames() : 0; }
    int frameNum() const override { return real() ? real()->frameNum() : 0; }
    bool isPlaying() const override { return real() && real()->isPlaying(); }
    void play() override
    {
        if (real())
            real()->play();
    }
    void stop() override
    {
        if (real())
            real()->stop();
    }
    void goToFrame(int frame) override
    {
        if (real())
            real()->goToFrame(frame);
    }
    QWidget *widget() override { return m_slot; }
    void setMuted(bool muted) override
    {
        m_muted = muted;
        if (real())
            real()->setMuted(muted);
    }

    QPointer<WebViewSlot> m_slot; // may go with the window that holds it

private:
    WebPartsHost *m_host;
    QString m_movie = EmptyMovie;
    bool m_movieSet = false;
    bool m_muted = false;
};

class WebPartsHost::Browser : public InfoStrip
{
public:
    explicit Browser(WebPartsHost *host)
        : m_slot(new WebViewSlot(QColor(192, 255, 192))), m_host(host)
    {
    }
    ~Browser() override { delete m_slot.data(); }

    InfoStrip *real() const { return m_host->loaded() ? m_host->m_parts->strip.get() : nullptr; }

    void attach()
    {
        InfoStrip *s = real();
        if (m_slot)
            m_slot->setView(s->widget());
        s->setSilent(m_silent);
        s->setErrorHandler(m_onError);
        if (!m_current.isEmpty())
            s->navigate(m_current);
    }

    void navigate(const QString &urlOrFile) override
    {
        m_current = urlOrFile;
        if (real())
            real()->navigate(urlOrFile);
    }
    void setSilent(bool silent) override
    {
        m_silent = silent;
        if (real())
            real()->setSilent(silent);
    }
    QWidget *widget() override { return m_slot; }
    void setErrorHandler(ErrorHandler handler) override
    {
        m_onError = std::move(handler);
        if (real())
            real()->setErrorHandler(m_onError);
    }

    QPointer<WebViewSlot> m_slot;

private:
    WebPartsHost *m_host;
    QString m_current;
    bool m_silent = false;
    ErrorHandler m_onError;
};

WebPartsHost::WebPartsHost(Loader loader, MessageBoxes *messages, QObject *parent)
    : QObject(parent), m_loader(std::move(loader)), m_messages(messages),
      m_player(std::make_unique<Player>(this)), m_browser(std::make_unique<Browser>(this))
{
    connect(m_player->m_slot, &WebViewSlot::painted, this, &WebPartsHost::load);
    connect(m_browser->m_slot, &WebViewSlot::painted, this, &WebPartsHost::load);
}

WebPartsHost::~WebPartsHost() = default;

FlashPlayer *WebPartsHost::player()
{
    return m_player.get();
}

InfoStrip *WebPartsHost::browser()
{
    return m_browser.get();
}

bool WebPartsHost::load()
{
    if (m_tried)
        return loaded();
    m_tried = true;
    Result<std::unique_ptr<WebParts>> parts = m_loader();
    if (!parts || !parts.value()) {
        const QString why = parts ? QString() : parts.error().description();
        if (m_messages)
            m_messages->show(QStringLiteral("播放器无法启动，节目不能播放。\n%1").arg(why),
                             QString(), MessageBoxes::Icon::Stop);
        return false;
    }
    m_parts = std::move(parts).value();
    m_player->attach();
    m_browser->attach();
    return true;
}

namespace {

bool webViewsDrawnInSoftware()
{
    return qEnvironmentVariable("QT_QUICK_BACKEND") == QLatin1String("software");
}

} // namespace

void prepareBeforeApplication()
{
    // The web engine draws the player and the strip in software, and the
    // window paints them like any other widget. So the window is plain from
    // its first show to the end: no OpenGL driver is loaded before it shows
    // (on a software renderer that alone takes longer than a whole plain
    // window), and it is never destroyed and made anew when the web views
    // come, which the user would see as the window vanishing and coming back.
    // The runtime draws on a 2D canvas then, as it does wherever the web
    // engine offers no WebGL.
    if (!qEnvironmentVariableIsSet("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    if (webViewsDrawnInSoftware()) {
        // Nothing draws through OpenGL then, but the web engine would still
        // load the driver (on a software renderer with LLVM, 35 MB) only to
        // ask what it offers.
        if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
            qputenv("QT_XCB_GL_INTEGRATION", "none");
    } else if (!qEnvironmentVariableIsSet("QT_WIDGETS_RHI")) {
        // With another backend chosen by the user, the views draw through
        // OpenGL and the window must be composed through it from the start.
        qputenv("QT_WIDGETS_RHI", "1");
    }
}

void makeSharedOpenGLContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    auto *context = new QOpenGLContext(QCoreApplication::instance());
    // Drawing in software, the web engine only reads the context's format.
    if (webViewsDrawnInSoftware() || context->create())
        qt_gl_set_global_share_context(context);
    else
        delete context; // the web engine then draws without the GPU
}

Result<std::unique_ptr<WebParts>> loadWebLibrary(const QString &programDir)
{
    makeSharedOpenGLContext();
    QLibrary library(QDir(programDir).filePath(QStringLiteral("qorvel_web")));
    const auto make = reinterpret_cast<MakeWebPartsFunction>(library.resolve(MakeWebPartsSymbol));
    if (!make)
        return AppError(AppError::Plain, library.errorString());
    return std::unique_ptr<WebParts>(make(programDir.toUtf8().constData()));
}
