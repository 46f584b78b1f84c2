// Time from setting Movie to the first frame on screen, for a 1 MB movie:
// once on a fresh player and then warm, with the share of it spent reading and
// rewriting the movie. With --idle-ms N the first movie comes N ms after the
// player was made, as when a child chooses a programme a moment after the
// window appeared. Needs a display.
#include "support/swfwriter.h"
#include "web/engineenvironment.h"
#include "web/ruffleplayer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

struct Sample
{
    double setMovieMs = 0; // reading, checking and rewriting the file
    double firstFrameMs = 0;
};

Sample measure(RufflePlayer &player, const QString &path)
{
    player.setMovie(FlashPlayer::EmptyMovie);
    QEventLoop loop;
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    Sample s;
    auto c = QObject::connect(&player, &RufflePlayer::frameShown, &loop, [&](int frame) {
        if (frame == 1) {
            s.firstFrameMs = double(t.nsecsElapsed()) / 1e6;
            loop.quit();
        }
    });
    t.start();
    player.setMovie(path);
    s.setMovieMs = double(t.nsecsElapsed()) / 1e6;
    loop.exec();
    QObject::disconnect(c);
    return s;
}

void print(const QString &what, const Sample &s)
{
    std::printf("%-24s first frame after %7.1f ms, of which read and rewrite %5.1f ms (%4.1f%%)\n",
                qPrintable(what), s.firstFrameMs, s.setMovieMs,
                100.0 * s.setMovieMs / s.firstFrameMs);
}

} // namespace

int main(int argc, char **argv)
{
    EngineEnvironment::prepare();
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("one-megabyte.swf"));
    TestMovieOptions o;
    o.version = 8;
    o.compression = swf::Compression::Zlib;
    o.frameCount = 240;
    o.paddingBytes = 1024 * 1024;
    if (!writeTestMovie(path, o))
        return 1;
    const QStringList args = app.arguments();
    const qsizetype idleAt = args.indexOf(QStringLiteral("--idle-ms"));
    const int idleMs = idleAt >= 0 ? args.value(idleAt + 1).toInt() : 0;
    QWidget window;
    window.resize(480, 360);
    QElapsedTimer sinceMade;
    sinceMade.start();
    RufflePlayer player(qEnvironmentVariable("QORVEL_APP_DIR", app.applicationDirPath()), &window);
    double warmAfterMs = -1;
    QObject::connect(&player, &RufflePlayer::warmedUp,
                     [&] { warmAfterMs = double(sinceMade.nsecsElapsed()) / 1e6; });
    player.widget()->setGeometry(0, 0, 480, 360);
    window.show();
    if (idleMs > 0) {
        QEventLoop idle;
        QTimer::singleShot(idleMs, &idle, &QEventLoop::quit);
        idle.exec();
    }
    print(idleMs > 0 ? QStringLiteral("cold after %1 ms idle").arg(idleMs) : QStringLiteral("cold"),
          measure(player, path));
    if (warmAfterMs >= 0)
        std::printf("the runtime was warm %.1f ms after the player was made\n", warmAfterMs);
    Sample sum;
    constexpr int Runs = 5;
    for (int i = 0; i < Runs; ++i) {
        const Sample s = measure(player, path);
        sum.setMovieMs += s.setMovieMs / Runs;
        sum.firstFrameMs += s.firstFrameMs / Runs;
    }
    print(QStringLiteral("warm"), sum);
    return 0;
}
