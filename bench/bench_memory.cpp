// Memory over a session of programmes, with the player loaded the way the
// program loads it (the web library, after the window's first paint): the
// movies of a folder are played one after another in the same player, each
// until its first frame and two seconds on, and bench/pss.sh prints the
// process table after the first one, after the last one, with a movie of
// 200 MiB unpacked, and after the programme that follows that one.
//
//   bench_memory --pss bench/pss.sh --movies DIR [--count 20] [--info URL]
#include "gui/webhost/webpartshost.h"
#include "support/swfwriter.h"
#include "webwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class FrameWatch : public QObject
{
    Q_OBJECT
public:
    bool firstShown = false;
public Q_SLOTS:
    void onFrame(int frame)
    {
        if (frame >= 1)
            firstShown = true;
    }
};

namespace {

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Until the first frame, or `limitMs`; the time it took, or -1 when it did
// not come.
qint64 playUntilFirstFrame(FlashPlayer *player, FrameWatch &watch, const QString &path, int limitMs)
{
    watch.firstShown = false;
    QElapsedTimer t;
    t.start();
    player->setMovie(path);
    while (!watch.firstShown && t.elapsed() < limitMs)
        waitMs(5);
    return watch.firstShown ? t.elapsed() : -1;
}

void printTable(const QString &script, const QString &label)
{
    // Freed memory reaches the table once the page has collected it.
    waitMs(3000);
    QProcess pss;
    pss.setProcessChannelMode(QProcess::ForwardedChannels);
    std::fflush(stdout);
    pss.start(QStringLiteral("sh"),
              {script, QString::number(QCoreApplication::applicationPid()), label});
    pss.waitForFinished(30000);
}

} // namespace

int main(int argc, char **argv)
{
    prepareBeforeApplication();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto option = [&args](const char *name, const QString &fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at >= 0 ? args.value(at + 1) : fallback;
    };
    const QString script = option("--pss", QString());
    const int count = option("--count", QStringLiteral("20")).toInt();
    const QString info = option("--info", QString());
    QStringList movies;
    const QDir folder(option("--movies", QString()));
    for (const QString &name : folder.entryList({QStringLiteral("*.swf")}, QDir::Files))
        movies.append(folder.filePath(name));
    if (script.isEmpty() || movies.isEmpty()) {
        std::fprintf(stderr, "usage: bench_memory --pss bench/pss.sh --movies DIR [--count N] "
                             "[--info URL]\n");
        return 2;
    }
    QTemporaryDir dir;
    const QString bomb = dir.filePath(QStringLiteral("bomb.swf"));
    TestMovieOptions o;
    o.compression = swf::Compression::Zlib;
    o.paddingBytes = 200 * 1024 * 1024;
    if (!writeTestMovie(bomb, o))
        return 1;

    WebWindow web(QSize(1000, 800), 760);
    WebPartsHost &host = web.host;
    if (!host.load())
        return 1;
    if (!info.isEmpty())
        host.browser()->navigate(info);
    FrameWatch watch;
    QObject::connect(web.realPlayer, SIGNAL(frameShown(int)), &watch, SLOT(onFrame(int)));
    FlashPlayer *player = host.player();
    waitMs(5000); // the runtime warms up

    int missed = 0;
    QStringList firstFrames;
    for (int i = 0; i < count; ++i) {
        const qint64 ms = playUntilFirstFrame(player, watch, movies[i % movies.size()], 20000);
        missed += ms < 0 ? 1 : 0;
        firstFrames.append(QString::number(ms));
        waitMs(2000);
        if (i == 0)
            printTable(script, QStringLiteral("after the first programme"));
    }
    printTable(script, QStringLiteral("after %1 programmes (%2 of %3 movies in turn)")
                           .arg(count)
                           .arg(qMin(count, int(movies.size())))
                           .arg(movies.size()));
    std::printf("first frame of each programme, ms (a fresh page adds the runtime's start): %s\n",
                qPrintable(firstFrames.join(u' ')));
    const bool bombPlayed = playUntilFirstFrame(player, watch, bomb, 30000) >= 0;
    printTable(script, QStringLiteral("with the movie of 200 MiB unpacked (%1)")
                           .arg(bombPlayed ? QStringLiteral("played")
                                           : QStringLiteral("no frame in 30 s")));
    const qint64 next = playUntilFirstFrame(player, watch, movies[0], 20000);
    missed += next < 0 ? 1 : 0;
    std::printf("first frame of the programme after it: %lld ms\n", next);
    printTable(script, QStringLiteral("after the next programme"));
    std::printf("programmes without a first frame in 20 s: %d\n", missed);
    return 0;
}

#include "bench_memory.moc"
