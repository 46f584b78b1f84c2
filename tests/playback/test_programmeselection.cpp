// The roads a chosen row leads to, decided without a window.
#include "core/playback/programmeselection.h"

#include <QSet>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QSet<QString> existing;
bool exists(const QString &path)
{
    return existing.contains(path);
}

} // namespace

class TestProgrammeSelection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void roads_data();
    void roads();
};

void TestProgrammeSelection::roads_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("custom");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("queued");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("path");

    const QString cached = u"/app/res/fla/有.swf"_s;
    const QString mine = u"/app/自定义节目/动物/小猫.swf"_s;
    using R = SelectionRoad;
    const QStringList none;
    const QStringList five = {u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s};
    QTest::newRow("no row") << -1 << u"有"_s << false << QString() << none << int(R::Ignore)
                            << QString();
    QTest::newRow("cached") << 1 << u"有"_s << false << QString() << none << int(R::Cached)
                            << cached;
    QTest::newRow("cached, queue full")
        << 7 << u"有"_s << false << QString() << five << int(R::Cached) << cached;
    QTest::newRow("programme waiting in the queue")
        << 1 << u"没有"_s << false << QString() << QStringList{u"a"_s, u"没有"_s} << int(R::Ignore)
        << QString();
    QTest::newRow("not cached") << 1 << u"没有"_s << false << QString()
                                << QStringList{u"a"_s, u"b"_s} << int(R::Download) << QString();
    QTest::newRow("not cached, queue full")
        << 7 << u"没有"_s << false << QString() << five << int(R::QueueFull) << QString();
    QTest::newRow("climbing name")
        << 0 << u"../有"_s << false << QString() << none << int(R::UnusableName) << QString();
    QTest::newRow("name too long") << 0 << QString(245, u'x') << false << QString() << none
                                   << int(R::UnusableName) << QString();
    QTest::newRow("custom file") << 0 << u"小猫.swf"_s << true << u"动物"_s << none
                                 << int(R::Custom) << mine;
    // A programme of the same name waiting from a category does not stop it.
    QTest::newRow("custom, same name queued")
        << 0 << u"小猫.swf"_s << true << u"动物"_s << QStringList{u"小猫.swf"_s} << int(R::Custom)
        << mine;
    QTest::newRow("custom file gone")
        << 0 << u"小狗.swf"_s << true << u"动物"_s << none << int(R::Custom) << QString();
    QTest::newRow("custom folder climbing")
        << 0 << u"小猫.swf"_s << true << u"../cons"_s << none << int(R::UnusableName) << QString();
}

void TestProgrammeSelection::roads()
{
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(bool, custom);
    QFETCH(QString, folder);
    QFETCH(QStringList, queued);
    QFETCH(int, kind);
    QFETCH(QString, path);
    existing = {u"/app/res/fla/有.swf"_s, u"/app/自定义节目/动物/小猫.swf"_s,
                u"/app/cons/小猫.swf"_s};

    SelectionInput in;
    in.row = row;
    in.name = name;
    in.customMode = custom;
    in.queuedNames = queued;
    in.customDir = u"/app/自定义节目/"_s;
    in.customFolder = folder;
    in.flashDir = u"/app/res/fla/"_s;
    const SelectionRoad road = chooseRoad(in, &exists);
    QCOMPARE(int(road.kind), kind);
    QCOMPARE(road.path, path);
    if (road.kind != SelectionRoad::Ignore)
        QCOMPARE(road.name, name);
}

QTEST_GUILESS_MAIN(TestProgrammeSelection)
#include "test_programmeselection.moc"
