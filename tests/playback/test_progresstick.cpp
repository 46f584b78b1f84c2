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
    void nextRow();
};

void TestProgressTick::decide_data()
{
    QTest::addColumn<TickInput>("in");
    QTest::addColumn<bool>("moveOn");
    QTest::addColumn<bool>("play");
    QTest::addColumn<bool>("showFrame");
    const auto playAll = [](int total, int frame) {
        TickInput in;
        in.movieEmpty = false;
        in.totalFrames = total;
        in.frameNum = frame;
        in.playing = true;
        in.playAll = true;
        return in;
    };
    QTest::newRow("12 left moves on") << playAll(100, 88) << true << false << true;
    QTest::newRow("13 left stays") << playAll(100, 87) << false << false << true;
    TickInput stopped = playAll(100, 40);
    stopped.playing = false;
    QTest::newRow("play-all restarts") << stopped << false << true << true;
    TickInput repeat = stopped;
    repeat.playAll = false;
    repeat.repeatOne = true;
    QTest::newRow("repeat-one restarts") << repeat << false << true << true;
    repeat.frameNum = 95;
    QTest::newRow("repeat-one at the end does not move on") << repeat << false << true << true;
    TickInput neither = stopped;
    neither.playAll = false;
    QTest::newRow("neither: stays stopped") << neither << false << false << true;
    TickInput empty = playAll(0, 0);
    empty.movieEmpty = true;
    QTest::newRow("empty player") << empty << false << false << false;
}

void TestProgressTick::decide()
{
    QFETCH(TickInput, in);
    QFETCH(bool, moveOn);
    QFETCH(bool, play);
    QFETCH(bool, showFrame);
    const TickActions out = decideTick(in);
    QCOMPARE(out.moveOn, moveOn);
    QCOMPARE(out.play, play);
    QCOMPARE(out.showFrame, showFrame);
}

void TestProgressTick::nextRow()
{
    QCOMPARE(nextPlayAllRow(1, 3), 2);
    QCOMPARE(nextPlayAllRow(2, 3), 0);  // the last wraps
    QCOMPARE(nextPlayAllRow(-1, 3), 0); // none selected
    QCOMPARE(nextPlayAllRow(-1, 0), -1);
}

QTEST_GUILESS_MAIN(TestProgressTick)
#include "test_progresstick.moc"
