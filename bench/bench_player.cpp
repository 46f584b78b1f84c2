// Time from setting Movie to the first frame on screen, for a 1 MB movie:
// once on a fresh player (page and runtime still loading) and then warm, with
// the share of it spent reading and rewriting the movie. Needs a display.
#include "playback/ruffleplayer.h"
#include "support/swfwriter.h"

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
    player.SetMovie(FlashPlayer::EmptyMovie);
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
    player.SetMovie(path);
    s.setMovieMs = double(t.nsecsElapsed()) / 1e6;
    loop.exec();
    QObject::disconnect(c);
    return s;
}

void print(const char *what, const Sample &s)
{
    std::printf("%-6s first frame after %7.1f ms, of which read and rewrite %5.1f ms (%4.1f%%)\n",
                what, s.firstFrameMs, s.setMovieMs, 100.0 * s.setMovieMs / s.firstFrameMs);
}

} // namespace

int main(int argc, char **argv)
{
    RufflePlayer::initializeBeforeApplication();
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
    QWidget window;
    window.resize(480, 360);
    RufflePlayer player(qEnvironmentVariable("QORVEL_APP_DIR", app.applicationDirPath()), &window);
    player.widget()->setGeometry(0, 0, 480, 360);
    window.show();
    print("cold", measure(player, path));
    Sample sum;
    constexpr int Runs = 5;
    for (int i = 0; i < Runs; ++i) {
        const Sample s = measure(player, path);
        sum.setMovieMs += s.setMovieMs / Runs;
        sum.firstFrameMs += s.firstFrameMs / Runs;
    }
    print("warm", sum);
    return 0;
}
