// Which application folders look like an archive manager's unpacking.
#include "core/base/launchlocation.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestLaunchLocation : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void isTemporary_data();
    void isTemporary();
};

void TestLaunchLocation::isTemporary_data()
{
    QTest::addColumn<QString>("appDir");
    QTest::addColumn<QString>("tempDir");
    QTest::addColumn<bool>("temporary");
    const QString tmp = u"/tmp"_s;
    QTest::newRow("archive viewer on Windows")
        << u"C:/Users/x/AppData/Local/Temp/Rar$EX01/kids"_s << QString() << true;
    QTest::newRow("lower-case temp") << u"/data/temp/kids"_s << tmp << false;
    QTest::newRow("upper-case TEMP") << u"/data/TEMP/kids"_s << tmp << false;
    QTest::newRow("Temp inside a word") << u"/data/Tempo"_s << tmp << true;
    QTest::newRow("inside the temporary folder") << u"/tmp/.fr-a1B2c3/kids"_s << tmp << true;
    QTest::newRow("the temporary folder itself") << u"/tmp"_s << u"/tmp/"_s << true;
    QTest::newRow("a sibling named like it") << u"/tmpfiles/kids"_s << tmp << false;
    QTest::newRow("TMPDIR elsewhere")
        << u"/var/run/user/1000/kids"_s << u"/var/run/user/1000"_s << true;
    QTest::newRow("no temporary folder given") << u"/tmp/kids"_s << QString() << false;
    QTest::newRow("home") << u"/home/x/Qorvel儿童乐园"_s << tmp << false;
}

void TestLaunchLocation::isTemporary()
{
    QFETCH(QString, appDir);
    QFETCH(QString, tempDir);
    QFETCH(bool, temporary);
    QCOMPARE(LaunchLocation::isTemporary(appDir, tempDir), temporary);
}

QTEST_GUILESS_MAIN(TestLaunchLocation)
#include "test_launchlocation.moc"
