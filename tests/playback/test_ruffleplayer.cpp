#include "playertestbench.h"
#include "support/playerinside.h"
#include "support/webtestmain.h"
#include "web/engineenvironment.h"

#include "core/swf/swfactions.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using swf::ActionWriter;
using swf::Compression;
namespace op = swf::op;

// Frame numbers, seeking and the play state of ActionScript 1/2 movies, in
// the real runtime in a real web view.
class TestRufflePlayer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void frameCountIsThereAtOnce_data() { movies(); }
    void frameCountIsThereAtOnce();
    void framesAdvanceOneByOne_data() { movies(); }
    void framesAdvanceOneByOne();
    void gotoFrameLandsExactly_data() { movies(); }
    void gotoFrameLandsExactly();
    void stopPlayFreezesAndPlayResumes_data() { movies(); }
    void stopPlayFreezesAndPlayResumes();
    void movieThatStopsItself_data() { stopMovies(); }
    void movieThatStopsItself();
    void seekWhilePaused_data() { stopMovies(); }
    void seekWhilePaused();
    void loopWrapsToFirstFrame_data() { movies(); }
    void loopWrapsToFirstFrame();
    void emptyThenSamePathStartsAtOne_data() { movies(); }
    void emptyThenSamePathStartsAtOne();
    void frameOnScreenIsFrameNum_data() { stopMovies(); }
    void frameOnScreenIsFrameNum();
    void warmsUpWhileEmpty();
    void commandsBeforeTheFirstFrame_data();
    void commandsBeforeTheFirstFrame();
    void movieCannotDisturbTheControl_data();
    void movieCannotDisturbTheControl();
    void largeMovieGoesWithTheNext();

private:
    void movies();
    void stopMovies();

    std::unique_ptr<PlayerTestBench> m_bench;
};

namespace {

constexpr int Rate = 24;
constexpr int Frames = 240;

struct Variant
{
    const char *name;
    int version;
    Compression compression;
};

const Variant Variants[] = {
    {"v6 plain", 6, Compression::None},
    {"v6 zlib", 6, Compression::Zlib},
    {"v8 plain", 8, Compression::None},
    {"v8 lzma", 8, Compression::Lzma},
};

} // namespace

void TestRufflePlayer::movies()
{
    QTest::addColumn<QString>("path");
    for (const Variant &v : Variants)
        QTest::newRow(v.name) << m_bench->path(QString::fromLatin1(v.name) +
                                               QStringLiteral(".swf"));
}

void TestRufflePlayer::stopMovies()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("v6") << m_bench->path(QStringLiteral("stop v6.swf"));
    QTest::newRow("v8") << m_bench->path(QStringLiteral("stop v8.swf"));
}

void TestRufflePlayer::initTestCase()
{
    m_bench = std::make_unique<PlayerTestBench>();
    for (const Variant &v : Variants) {
        TestMovieOptions o;
        o.version = v.version;
        o.compression = v.compression;
        o.frameRate = Rate;
        o.frameCount = Frames;
        m_bench->write(QString::fromLatin1(v.name) + QStringLiteral(".swf"), o);
    }
    for (int version : {6, 8}) {
        TestMovieOptions o;
        o.version = version;
        o.compression = Compression::Zlib;
        o.frameCount = 60;
        o.stopFrame = 30;
        m_bench->write(QStringLiteral("stop v%1.swf").arg(version), o);
    }
}

void TestRufflePlayer::cleanupTestCase()
{
    m_bench.reset();
}

void TestRufflePlayer::frameCountIsThereAtOnce()
{
    QFETCH(QString, path);
    m_bench->player().setMovie(FlashPlayer::EmptyMovie);
    QCOMPARE(m_bench->player().movie(), FlashPlayer::EmptyMovie);
    QCOMPARE(m_bench->player().totalFrames(), 0);
    m_bench->player().setMovie(path);
    QCOMPARE(m_bench->player().movie(), path);
    QCOMPARE(m_bench->player().totalFrames(), Frames);
    QCOMPARE(m_bench->player().frameNum(), 1);
    QVERIFY(m_bench->player().isPlaying());
    QVERIFY(PlayerInside::loadError(m_bench->player()).isEmpty());
}

void TestRufflePlayer::framesAdvanceOneByOne()
{
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path));
    QSignalSpy spy(&m_bench->player(), &RufflePlayer::frameShown);
    const int first = m_bench->player().frameNum();
    QElapsedTimer t;
    t.start();
    const QList<int> seen = nextFrames(spy, 40);
    const double rate = (m_bench->player().frameNum() - first) * 1000.0 / t.elapsed();
    qInfo("measured %.1f frames per second (movie: %d)", rate, Rate);
    // Every frame is reported, none twice, none skipped.
    QCOMPARE(seen.size(), 40);
    for (qsizetype i = 1; i < seen.size(); ++i)
        QCOMPARE(seen[i], seen[i - 1] + 1);
    QVERIFY(m_bench->player().isPlaying());
}

void TestRufflePlayer::gotoFrameLandsExactly()
{
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path));
    QElapsedTimer t;
    t.start();
    m_bench->player().goToFrame(200);
    static_cast<void>(QTest::qWaitFor([&] { return m_bench->player().frameNum() >= 200; }, 30000));
    const qint64 took = t.elapsed();
    const int frame = m_bench->player().frameNum();
    qInfo("goToFrame(200) reached frame %d after %lld ms", frame, took);
    QVERIFY(frame >= 200);
    QVERIFY(frame <= 200 + 2 + int(took * Rate / 1000));
    QVERIFY(m_bench->player().isPlaying());
}

void TestRufflePlayer::stopPlayFreezesAndPlayResumes()
{
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path, 10));
    m_bench->player().stop();
    QVERIFY(!m_bench->player().isPlaying());
    QVERIFY(m_bench->waitUntilPaused());
    const int stoppedAt = m_bench->player().frameNum();
    QTest::qWait(800); // no frame follows
    QCOMPARE(m_bench->player().frameNum(), stoppedAt);
    QVERIFY(!m_bench->player().isPlaying());

    QSignalSpy spy(&m_bench->player(), &RufflePlayer::frameShown);
    m_bench->player().play();
    QVERIFY(m_bench->player().isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() >= stoppedAt + 5, 30000);
    QCOMPARE(spy.first().at(0).toInt(), stoppedAt + 1);
    QVERIFY(m_bench->player().isPlaying());
}

void TestRufflePlayer::movieThatStopsItself()
{
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path));
    QCOMPARE(m_bench->player().totalFrames(), 60);
    // A busy machine may hold a frame back; only the movie's own stop counts.
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() == 30 && !m_bench->player().isPlaying(),
                             30000);
    QTest::qWait(500); // it stays there
    QCOMPARE(m_bench->player().frameNum(), 30);
    QVERIFY(!m_bench->player().isPlaying());

    m_bench->player().play();
    QVERIFY(m_bench->player().isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() > 30, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() >= 36, 30000);
    QVERIFY(m_bench->player().isPlaying());

    // A jump reaches a stopped movie too, and it stays stopped there.
    QVERIFY(m_bench->start(path));
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() == 30 && !m_bench->player().isPlaying(),
                             30000);
    m_bench->player().goToFrame(50);
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->player().frameNum(), 50, 30000);
    QTest::qWait(500); // it stays there
    QCOMPARE(m_bench->player().frameNum(), 50);
    QVERIFY(!m_bench->player().isPlaying());
}

void TestRufflePlayer::seekWhilePaused()
{
    // What the position bar does: pause, drag, goToFrame then play.
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path, 5));
    m_bench->player().stop();
    m_bench->player().goToFrame(40);
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->player().frameNum(), 40, 30000);
    QVERIFY(!m_bench->player().isPlaying());
    QTest::qWait(300); // it stays there
    QCOMPARE(m_bench->player().frameNum(), 40);
    m_bench->player().play();
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() >= 45, 30000);
    QVERIFY(m_bench->player().isPlaying());
}

void TestRufflePlayer::loopWrapsToFirstFrame()
{
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path));
    QSignalSpy spy(&m_bench->player(), &RufflePlayer::frameShown);
    m_bench->player().goToFrame(Frames - 10);
    QList<int> seen;
    auto wrapped = [&] {
        seen = framesSeen(spy);
        const qsizetype last = seen.indexOf(Frames);
        return last >= 0 && seen.size() > last + 2;
    };
    QTRY_VERIFY_WITH_TIMEOUT(wrapped(), 30000);
    const qsizetype last = seen.indexOf(Frames);
    QCOMPARE(seen.value(last - 1), Frames - 1);
    QCOMPARE(seen.value(last + 1), 1);
    QCOMPARE(seen.value(last + 2), 2);
}

void TestRufflePlayer::emptyThenSamePathStartsAtOne()
{
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path, 30));
    m_bench->player().setMovie(FlashPlayer::EmptyMovie);
    QCOMPARE(m_bench->player().movie(), FlashPlayer::EmptyMovie);
    QCOMPARE(m_bench->player().frameNum(), 0);
    QVERIFY(!m_bench->player().isPlaying());
    QSignalSpy spy(&m_bench->player(), &RufflePlayer::frameShown);
    QTest::qWait(300); // the old movie is gone, not just hidden: no frame comes
    QCOMPARE(spy.size(), 0);

    m_bench->player().setMovie(path);
    QCOMPARE(m_bench->player().frameNum(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(spy.size() >= 3, 30000);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(1).at(0).toInt(), 2);
}

void TestRufflePlayer::frameOnScreenIsFrameNum()
{
    // Stopped by the movie, by stop, and after jumps either way: the
    // frame reported is the frame on the screen.
    QFETCH(QString, path);
    QVERIFY(m_bench->start(path));
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() == 30 && !m_bench->player().isPlaying(),
                             30000);
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->frameOnScreen(), 30, 30000);
    m_bench->player().goToFrame(17);
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->player().frameNum(), 17, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->frameOnScreen(), 17, 30000);
    m_bench->player().play();
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() >= 24, 30000);
    m_bench->player().stop();
    QVERIFY(m_bench->waitUntilPaused());
    const int paused = m_bench->player().frameNum();
    QVERIFY(paused >= 24 && paused < 30);
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->frameOnScreen(), paused, 30000);
    m_bench->player().goToFrame(45);
    m_bench->player().play();
    QTRY_VERIFY_WITH_TIMEOUT(m_bench->player().frameNum() >= 50, 30000);
    m_bench->player().stop();
    QVERIFY(m_bench->waitUntilPaused());
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->frameOnScreen(), m_bench->player().frameNum(), 30000);
}

// Left alone, a new player gets its runtime ready without showing or playing
// anything, and leaves nothing of that on its page.
void TestRufflePlayer::warmsUpWhileEmpty()
{
    PlayerTestBench fresh;
    QSignalSpy warmed(&fresh.player(), &RufflePlayer::warmedUp);
    QVERIFY(warmed.wait(60000));
    QVERIFY(fresh.player().isWarm());
    QCOMPARE(fresh.player().movie(), FlashPlayer::EmptyMovie);
    QVERIFY(!fresh.player().isPlaying());
    QCOMPARE(fresh.evaluate(QStringLiteral("document.body.children.length")).toInt(), 0);
    QVERIFY(fresh.start(m_bench->path(QStringLiteral("v8 plain.swf"))));
}

// What the window may do to a movie before it has run its first frame
// (choosing a programme and at once pausing or dragging the position bar) is
// done once the movie runs. The movie stops itself on frame 2, as a title
// screen waiting for a click does.
void TestRufflePlayer::commandsBeforeTheFirstFrame_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("commands"); // s: stop, p: play, g: goToFrame(40)
    QTest::addColumn<int>("frame");        // where it ends up, at least
    QTest::addColumn<bool>("playing");
    for (int version : {6, 8}) {
        TestMovieOptions o;
        o.version = version;
        o.frameCount = 240;
        o.stopFrame = 2;
        const QString path = m_bench->write(QStringLiteral("title v%1.swf").arg(version), o);
        const auto row = [&](const char *name, const char *commands, int frame, bool playing) {
            QTest::addRow("v%d %s", version, name)
                << path << QString::fromLatin1(commands) << frame << playing;
        };
        row("nothing: the title screen stays", "", 2, false);
        row("play: the title screen stays", "p", 2, false);
        row("pause", "s", 1, false);
        row("pause, play: the title screen stays", "sp", 2, false);
        row("seek, play", "gp", 45, true);
        row("pause, seek", "sg", 40, false);
        row("pause, seek, play", "sgp", 45, true);
    }
}

void TestRufflePlayer::commandsBeforeTheFirstFrame()
{
    QFETCH(QString, path);
    QFETCH(QString, commands);
    QFETCH(int, frame);
    QFETCH(bool, playing);
    RufflePlayer &player = m_bench->player();
    player.setMovie(FlashPlayer::EmptyMovie);
    QSignalSpy spy(&player, &RufflePlayer::frameShown);
    player.setMovie(path);
    for (const QChar c : commands) {
        if (c == u's')
            player.stop();
        else if (c == u'p')
            player.play();
        else
            player.goToFrame(40);
    }
    if (playing) {
        QTRY_VERIFY_WITH_TIMEOUT(player.frameNum() >= frame && player.isPlaying(), 30000);
        // It jumped: none of the frames between the title screen and 40 ran.
        const QList<int> seen = framesSeen(spy);
        QVERIFY2(std::none_of(seen.begin(), seen.end(), [](int f) { return f > 2 && f < 40; }),
                 qPrintable(QString::number(seen.value(2))));
        return;
    }
    if (commands.endsWith(u's'))
        QVERIFY(m_bench->waitUntilPaused());
    else
        QTRY_VERIFY_WITH_TIMEOUT(
            !spy.isEmpty() && player.frameNum() >= frame && !player.isPlaying(), 30000);
    const int at = player.frameNum();
    QTest::qWait(600); // it stays there
    QCOMPARE(player.frameNum(), at);
    QVERIFY(commands.endsWith(u's') ? at <= 2 : at == frame);
    QVERIFY(!player.isPlaying());
}

namespace {

// `<object>.<name> = function () { <body> }`
QByteArray setFunction(const QByteArray &object, const QByteArray &name, const QByteArray &body)
{
    return ActionWriter()
        .variable(object)
        .pushString(name)
        .function({}, body)
        .op(op::SetMember)
        .finished();
}

// Watches every name on _global, hidden ones too, with a watcher that lets no
// value through: a movie that freezes its globals.
QByteArray freezeGlobals()
{
    ActionWriter w;
    w.pushInt(1).pushInt(0).pushNull().variable("_global").pushInt(4);
    w.pushString("ASSetPropFlags").op(op::CallFunction).op(op::Pop);
    w.variable("_global").op(0x55); // Enumerate2: null, then every name
    const QByteArray watch = ActionWriter()
                                 .function({}, ActionWriter().pushUndefined().op(op::Return).code())
                                 .raw(QByteArray("\x96\x02\x00\x04\x00", 5)) // push register 0
                                 .pushInt(2)
                                 .variable("_global")
                                 .pushString("watch")
                                 .op(op::CallMethod)
                                 .op(op::Pop)
                                 .code();
    const QByteArray test = QByteArray("\x87\x01\x00\x00", 4) + // StoreRegister 0
                            ActionWriter().pushNull().op(op::Equals2).code();
    const auto back = qint16(-(test.size() + 5 + watch.size() + 5));
    QByteArray loop = watch + QByteArray("\x99\x02\x00", 3); // Jump back to the test
    loop.append(char(back & 0xff)).append(char((back >> 8) & 0xff));
    ActionWriter body;
    body.raw(test).raw(QByteArray("\x9d\x02\x00", 3)); // If: done when the name is null
    body.raw(QByteArray(1, char(loop.size() & 0xff))).raw(QByteArray(1, char(loop.size() >> 8)));
    return w.raw(body.code()).raw(loop).finished();
}

} // namespace

// A movie's own handlers and replacements must neither steer the timeline
// nor stop the program from steering it: it stops at its own stop() and
// still obeys jumps and play.
void TestRufflePlayer::movieCannotDisturbTheControl_data()
{
    QTest::addColumn<QString>("path");
    const QByteArray jumpTo30 = ActionWriter()
                                    .pushInt(30)
                                    .pushInt(1)
                                    .variable("_root")
                                    .pushString("gotoAndStop")
                                    .op(op::CallMethod)
                                    .op(op::Pop)
                                    .code();
    const QByteArray returnTrue = ActionWriter().pushBool(true).op(op::Return).code();
    const QByteArray returnZero = ActionWriter().pushInt(0).op(op::Return).code();
    const std::pair<const char *, std::pair<int, QByteArray>> cases[] = {
        {"onData on _root", {1, setFunction("_root", "onData", jumpTo30)}},
        {"__resolve on _global", {1, setFunction("_global", "__resolve", returnTrue)}},
        {"setInterval replaced", {1, setFunction("_global", "setInterval", returnZero)}},
        {"_global frozen by watch", {2, freezeGlobals()}},
    };
    for (int version : {6, 8}) {
        for (const auto &[name, actions] : cases) {
            TestMovieOptions o;
            o.version = version;
            o.frameCount = 60;
            o.stopFrame = 20;
            o.actions = {actions};
            const QString row = QStringLiteral("%1, v%2").arg(QLatin1String(name)).arg(version);
            QTest::newRow(qPrintable(row)) << m_bench->write(row + QStringLiteral(".swf"), o);
        }
    }
}

void TestRufflePlayer::movieCannotDisturbTheControl()
{
    QFETCH(QString, path);
    RufflePlayer &player = m_bench->player();
    QVERIFY(m_bench->start(path));
    QTRY_VERIFY_WITH_TIMEOUT(player.frameNum() == 20 && !player.isPlaying(), 30000);
    QTest::qWait(600); // several polls move nothing
    QCOMPARE(player.frameNum(), 20);

    player.goToFrame(40);
    QTRY_COMPARE_WITH_TIMEOUT(player.frameNum(), 40, 30000);
    QTest::qWait(400); // it stays there
    QCOMPARE(player.frameNum(), 40);
    QVERIFY(!player.isPlaying());

    // Played on, it loops and stops at its own stop() again, and stays.
    player.play();
    QTRY_VERIFY_WITH_TIMEOUT(player.frameNum() < 20, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(player.frameNum() == 20 && !player.isPlaying(), 30000);
    QTest::qWait(600); // it stays there
    QCOMPARE(player.frameNum(), 20);
}

void TestRufflePlayer::largeMovieGoesWithTheNext()
{
    // 200 MiB unpacked: the runtime's memory grows and stays grown while its
    // page lives, so the next movie gets a fresh page.
    RufflePlayer &player = m_bench->player();
    TestMovieOptions large;
    large.compression = Compression::Zlib;
    large.paddingBytes = 200 * 1024 * 1024;
    QVERIFY(m_bench->start(m_bench->write(QStringLiteral("large.swf"), large)));
    const qint64 grown = player.rendererMemoryMb();
    QVERIFY2(grown > 400, qPrintable(QString::number(grown)));
    QVERIFY(m_bench->start(m_bench->write(QStringLiteral("next.swf"), TestMovieOptions{})));
    // The old page's memory goes once the page engine has collected it.
    QTRY_VERIFY_WITH_TIMEOUT(player.rendererMemoryMb() < grown - 300, 60000);
}

QORVEL_WEB_TEST_MAIN(TestRufflePlayer, EngineEnvironment::prepare())

#include "test_ruffleplayer.moc"
