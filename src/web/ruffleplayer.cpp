#include "web/ruffleplayer.h"

#include "web/pagecontract.h"
#include "web/rufflepage.h"
#include "web/rufflerequestguard.h"
#include "web/ruffleschemehandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

Q_LOGGING_CATEGORY(lcPlayer, "qorvel.player", QtWarningMsg)

QString localPath(const QString &movie)
{
    if (movie.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(movie).toLocalFile();
    return movie;
}

// A call of the page's script with one object.
QString call(const char *function, const QJsonObject &argument)
{
    return QStringLiteral("qv.%1(%2)")
        .arg(QLatin1String(function),
             QString::fromUtf8(QJsonDocument(argument).toJson(QJsonDocument::Compact)));
}

} // namespace

RufflePlayer::RufflePlayer(const QString &appFolder, QWidget *parent)
    : RufflePlayer(appFolder, Options(), parent)
{
}

RufflePlayer::RufflePlayer(const QString &appFolder, Options options, QWidget *parent)
    : QObject(parent), m_renewal([this] { return rendererMemoryMb(); }), m_options(options)
{
    auto *profile = new QWebEngineProfile(this); // off the record: nothing stored on disk
    m_server = new RuffleSchemeHandler(QDir(appFolder).filePath(QStringLiteral("ruffle")), profile);
    profile->installUrlSchemeHandler(PageContract::Scheme, m_server);
    profile->setUrlRequestInterceptor(new RuffleRequestGuard(profile));
    connect(m_server, &RuffleSchemeHandler::commandRan, this,
            [this](int id) { m_control.acknowledged(id); });

    m_page = new RufflePage(profile, this);
    QWebEngineSettings *s = m_page->settings();
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    s->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_page->setBackgroundColor(Qt::black);
    connect(m_page, &RufflePage::eventReceived, this, &RufflePlayer::onPageEvent);
    connect(m_page, &RufflePage::ready, this, &RufflePlayer::onPageReady);

    m_view = new QWebEngineView(parent);
    m_view->setPage(m_page);
    // The runtime shows its own context menu; the browser's would cover it.
    m_view->setContextMenuPolicy(Qt::PreventContextMenu);
    m_page->open();
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
    if (m_renewal.pageSpent(m_page->isReady()))
        m_page->open(); // a movie set now is loaded into the fresh page
    m_movie = movie;
    m_loadError.clear();
    m_control.clear();
    const int generation = m_server->generation() + 1;
    m_server->setMovie(generation, {}, {});
    if (movie == EmptyMovie || !loadFile(localPath(movie), generation)) {
        m_page->run(QStringLiteral("qv.clear()"));
        return;
    }
    const QJsonObject load{
        {QStringLiteral("generation"), generation},
        {QStringLiteral("url"), PageContract::movieUrl(generation)},
        {QStringLiteral("callback"), m_control.control() == swf::FrameControl::ExternalInterface},
        {QStringLiteral("frameRate"), m_control.frameRate()},
        {QStringLiteral("saved"), m_saves.savesFor(localPath(movie))},
        {QStringLiteral("traces"), m_options.tracing},
    };
    m_page->run(call("load", load));
}

bool RufflePlayer::loadFile(const QString &path, int generation)
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
            const swf::Rewritten out =
                m_options.plain ? swf::Rewritten{swf::FrameControl::None, bytes}
                                : swf::rewriteForPlayer(read.movie, bytes,
                                                        PageContract::controlUrl(generation));
            m_server->setMovie(generation, out.data, QFileInfo(path).absolutePath());
            m_control.start(read.movie.frameCount, read.movie.frameRate, out.control);
            return true;
        }
        m_loadError = swf::describe(read.error);
    }
    qCWarning(lcPlayer) << "cannot play" << path << ":" << m_loadError;
    return false;
}

void RufflePlayer::carryOut(const PageCommands &commands)
{
    for (const PageCommand &command : commands)
        send(command);
}

void RufflePlayer::send(const PageCommand &command)
{
    switch (command.kind) {
    case PageCommand::Suspend:
        m_page->run(QStringLiteral("qv.pause()"));
        break;
    case PageCommand::Resume:
        m_page->run(QStringLiteral("qv.resume()"));
        break;
    case PageCommand::Reload:
        setMovie(QString(m_movie));
        break;
    case PageCommand::Send:
        // A polling movie loads the command as variables; a movie with a
        // callback is called with it.
        m_server->setCommand(command.id, QStringLiteral("%1=%2&%3=%4&%5=%6")
                                             .arg(QLatin1String(swf::hook::CommandId))
                                             .arg(command.id)
                                             .arg(QLatin1String(swf::hook::Command))
                                             .arg(QLatin1Char(command.letter))
                                             .arg(QLatin1String(swf::hook::Argument))
                                             .arg(command.frame)
                                             .toUtf8());
        if (m_control.control() == swf::FrameControl::ExternalInterface)
            m_page->run(
                call("command", {{QStringLiteral("generation"), m_server->generation()},
                                 {QStringLiteral("id"), command.id},
                                 {QStringLiteral("command"), QString(QLatin1Char(command.letter))},
                                 {QStringLiteral("frame"), command.frame}}));
        break;
    }
}

void RufflePlayer::onPageEvent(const QJsonObject &event)
{
    const QString kind = event.value(QLatin1String("kind")).toString();
    const int generation = event.value(QLatin1String("generation")).toInt();
    if (generation == 0 && kind == QLatin1String("warm")) {
        m_renewal.warmedUp();
        Q_EMIT warmedUp();
        return;
    }
    // A movie being replaced still writes its saves as it goes.
    if (kind == QLatin1String("save") || kind == QLatin1String("unsave")) {
        m_saves.pageChanged(event);
        return;
    }
    if (generation != m_server->generation() || !m_control.hasMovie())
        return; // a report from a movie that has since been replaced
    if (kind == QLatin1String("frame")) {
        const int frame = event.value(QLatin1String("frame")).toInt();
        if (frame <= 0)
            return;
        m_control.frameShown(frame);
        Q_EMIT frameShown(frame);
    } else if (kind == QLatin1String("loaded")) {
        m_control.loaded();
        Q_EMIT movieLoaded();
    } else if (kind == QLatin1String("trace")) {
        Q_EMIT traced(event.value(QLatin1String("line")).toString());
    } else if (kind == QLatin1String("error")) {
        qCWarning(lcPlayer) << "the runtime failed:" << event.value(QLatin1String("text"));
    }
}

void RufflePlayer::onPageReady()
{
    // A movie already waiting warms the runtime up by itself.
    if (!m_control.hasMovie())
        m_page->run(QStringLiteral("qv.warmUp()"));
}

qint64 RufflePlayer::rendererMemoryMb() const
{
    return PageRenewal::anonymousMemoryMb(m_page->renderProcessPid());
}
