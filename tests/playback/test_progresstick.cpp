// One tick of the progress timer, decided from what player and list show.
#include "core/playback/progresstick.h"

#include <QtTest>

Q_DECLARE_METATYPE(TickInput)

class TestProgressTick : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decide_data();
    void decide();
};

void TestProgressTick::decide_data()
{
    QTest::addColumn<TickInput>("in");
    QTest::addColumn<int>("selectRow");
    QTest::addColumn<bool>("play");
    QTest::addColumn<bool>("showFrame");
    const auto playAll = [](int total, int frame, int selected, int rows) {
        TickInput in;
        in.movieEmpty = false;
        in.totalFrames = total;
        in.frameNum = frame;
        in.playing = true;
        in.playAll = true;
        in.selectedRow = selected;
        in.rowCount = rows;
        return in;
    };
    QTest::newRow("12 left moves on") << playAll(100, 88, 1, 3) << 2 << false << true;
    QTest::newRow("13 left stays") << playAll(100, 87, 1, 3) << -1 << false << true;
    QTest::newRow("last row wraps") << playAll(100, 100, 2, 3) << 0 << false << true;
    QTest::newRow("none selected") << playAll(100, 95, -1, 3) << 0 << false << true;
    QTest::newRow("empty list") << playAll(100, 95, -1, 0) << -1 << false << true;
    TickInput waiting = playAll(100, 95, 1, 3);
    waiting.advanceWaiting = true;
    QTest::newRow("already moved, waiting") << waiting << -1 << false << true;
    TickInput stopped = playAll(100, 40, 0, 3);
    stopped.playing = false;
    QTest::newRow("play-all restarts") << stopped << -1 << true << true;
    TickInput repeat = stopped;
    repeat.playAll = false;
    repeat.repeatOne = true;
    QTest::newRow("repeat-one restarts") << repeat << -1 << true << true;
    TickInput neither = repeat;
    neither.repeatOne = false;
    QTest::newRow("neither: stays stopped") << neither << -1 << false << true;
    TickInput empty = playAll(0, 0, 0, 3);
    empty.movieEmpty = true;
    QTest::newRow("empty player") << empty << -1 << false << false;
}

void TestProgressTick::decide()
{
    QFETCH(TickInput, in);
    QFETCH(int, selectRow);
    QFETCH(bool, play);
    QFETCH(bool, showFrame);
    const TickActions out = decideTick(in);
    QCOMPARE(out.selectRow, selectRow);
    QCOMPARE(out.play, play);
    QCOMPARE(out.showFrame, showFrame);
}

QTEST_GUILESS_MAIN(TestProgressTick)
#include "test_progresstick.moc"
