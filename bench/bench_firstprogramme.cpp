// The first programme as a child meets it: the player is loaded the way the
// program loads it (the web library, after the window's first paint), a 1 MB
// movie is chosen N ms after the process started (--at-ms, default 3000),
// and the time to its first frame is set against the same movie chosen again
// later (warm, mean of 5). Links no web engine, like the program. Needs a
// display.
#include "gui/webhost/webpartshost.h"
#include "support/swfwriter.h"
#include "webwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include <cstdio>

// Notes the frames the real player reports. The player lives in the web
// library, so its signal is found by name.
class FrameWatch : public QObject
{
    Q_OBJECT
public:
    bool firstShown = false;
    bool watching = false;
public Q_SLOTS:
    void onFrame(int frame)
    {
        if (frame == 1)
            firstShown = true;
    }
};

namespace {

// From choosing the movie until the player shows its first frame; the web
// library is loaded first when it is not there yet, as the program does.
double firstFrameMs(WebWindow &web, FrameWatch &watch, const QString &path)
{
    WebPartsHost &host = web.host;
    FlashPlayer *player = host.player();
    player->setMovie(FlashPlayer::EmptyMovie);
    QElapsedTimer t;
    t.start();
    if (!watch.watching && host.load())
        watch.watching = static_cast<bool>(
            QObject::connect(web.realPlayer, SIGNAL(frameShown(int)), &watch, SLOT(onFrame(int))));
    watch.firstShown = false;
    player->setMovie(path);
    QEventLoop loop;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (watch.firstShown || t.elapsed() > 60000)
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    prepareBeforeApplication();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype atArg = args.indexOf(QStringLiteral("--at-ms"));
    const int atMs = atArg >= 0 ? args.value(atArg + 1).toInt() : 3000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one-megabyte.swf"));
    TestMovieOptions o;
    o.compression = swf::Compression::Zlib;
    o.paddingBytes = 1024 * 1024;
    if (!writeTestMovie(path, o))
        return 1;

    WebWindow web(QSize(480, 420), 360);
    WebPartsHost &host = web.host;
    FrameWatch watch;
    QEventLoop idle;
    QTimer::singleShot(std::max<qint64>(0, atMs - sinceStart.elapsed()), &idle, &QEventLoop::quit);
    idle.exec();
    const bool loadedBefore = host.loaded();
    const double first = firstFrameMs(web, watch, path);
    double warm = 0;
    constexpr int Runs = 5;
    for (int i = 0; i < Runs; ++i)
        warm += firstFrameMs(web, watch, path) / Runs;
    std::printf("first programme chosen %d ms after start%s: first frame after %7.1f ms\n", atMs,
                loadedBefore ? "" : " (player not loaded yet)", first);
    std::printf("warm, mean of %d:%*s first frame after %7.1f ms\n", Runs, 27, "", warm);
    std::printf("ratio first / warm: %.2f\n", first / warm);
    return 0;
}

#include "bench_firstprogramme.moc"
