// One tick of the progress timer, decided from what player and list show,
// and where play-all goes next.
#include "core/playback/playallcursor.h"
#include "core/playback/progresstick.h"

#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TickInput)

class TestProgressTick : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decide_data();
    void decide();
    void playAllCursor_data();
    void playAllCursor();
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

void TestProgressTick::playAllCursor_data()
{
    QTest::addColumn<QString>("chose");      // what play-all chose before, "" for nothing
    QTest::addColumn<QStringList>("queued"); // downloads under way after that choice
    QTest::addColumn<QString>("then");       // "played", "ended NAME" or ""
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("next");
    const QStringList none;
    QTest::newRow("the next row") << QString() << none << QString() << 1 << 3 << 2;
    QTest::newRow("the last wraps") << QString() << none << QString() << 2 << 3 << 0;
    QTest::newRow("none selected") << QString() << none << QString() << -1 << 3 << 0;
    QTest::newRow("an empty list") << QString() << none << QString() << -1 << 0 << -1;
    QTest::newRow("waits while fetching")
        << u"b"_s << QStringList{u"a"_s, u"b"_s} << QString() << 1 << 3 << -1;
    QTest::newRow("nothing to wait for")
        << u"b"_s << QStringList{u"a"_s} << QString() << 1 << 3 << 2;
    QTest::newRow("another download ended")
        << u"b"_s << QStringList{u"b"_s} << u"ended a"_s << 1 << 3 << -1;
    QTest::newRow("its download ended")
        << u"b"_s << QStringList{u"b"_s} << u"ended b"_s << 1 << 3 << 2;
    QTest::newRow("something played")
        << u"b"_s << QStringList{u"b"_s} << u"played"_s << 1 << 3 << 2;
}

void TestProgressTick::playAllCursor()
{
    QFETCH(QString, chose);
    QFETCH(QStringList, queued);
    QFETCH(QString, then);
    QFETCH(int, selected);
    QFETCH(int, rows);
    QFETCH(int, next);
    PlayAllCursor cursor;
    if (!chose.isEmpty())
        cursor.chose(chose, queued);
    if (then == u"played"_s)
        cursor.played();
    else if (then.startsWith(u"ended "_s))
        cursor.downloadEnded(then.mid(6));
    QCOMPARE(cursor.next(selected, rows), next);
}

QTEST_GUILESS_MAIN(TestProgressTick)
#include "test_progresstick.moc"
