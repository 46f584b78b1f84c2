#include "core/parental/gatequestion.h"
#include "core/parental/parentsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestParentSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void settingsFile_data();
    void settingsFile();
    void gateAnswers_data();
    void gateAnswers();
};

void TestParentSettings::settingsFile_data()
{
    QTest::addColumn<QByteArray>("bytes"); // none: no file; "<folder>": a folder in its place
    QTest::addColumn<QString>("expected"); // daily, eye rest, lock
    QTest::addColumn<bool>("keptAsDamaged");

    const QByteArray all = "[parent]\ndailyMinutes=45\neyeRestMinutes=20\nfullScreenLock=true\n";
    QTest::newRow("missing") << QByteArray() << "0 0 0" << false;
    QTest::newRow("empty") << QByteArray("") << "0 0 0" << false;
    QTest::newRow("all on") << all << "45 20 1" << false;
    QTest::newRow("other groups only") << QByteArray("[window]\nx=1\n") << "0 0 0" << false;
    QTest::newRow("minutes never offered")
        << QByteArray("[parent]\ndailyMinutes=44\n") << "0 0 0" << true;
    QTest::newRow("not a number") << QByteArray("[parent]\neyeRestMinutes=abc\n") << "0 0 0"
                                  << true;
    QTest::newRow("lock neither true nor false")
        << QByteArray("[parent]\nfullScreenLock=1\n") << "0 0 0" << true;
    QTest::newRow("binary") << QByteArray("\x00\x01\xff\xfe[parent]\x00", 10) << "0 0 0" << true;
    QTest::newRow("unreadable") << QByteArray("<folder>") << "0 0 0" << false;
}

void TestParentSettings::settingsFile()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("conf/settings.ini"));
    if (bytes == "<folder>") {
        QVERIFY(QDir().mkpath(file));
    } else if (!bytes.isNull()) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("conf"))));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QFETCH(QString, expected);
    QFETCH(bool, keptAsDamaged);
    const ParentSettings loaded = ParentSettings::load(file);
    QCOMPARE(QStringLiteral("%1 %2 %3")
                 .arg(loaded.limits.dailyMinutes)
                 .arg(loaded.limits.eyeRestMinutes)
                 .arg(int(loaded.fullScreenLock)),
             expected);
    QCOMPARE(QFile::exists(file + QStringLiteral(".damaged")), keptAsDamaged);
    if (bytes == "<folder>") {
        // The day's play kept in such a place starts afresh as well.
        QVERIFY(!PlayDay::load(file).date.isValid());
        return; // nothing can be saved there either
    }

    // What is saved reads back, and other groups stay.
    const ParentSettings changed{{90, 30}, true};
    QVERIFY(changed.save(file).ok());
    const ParentSettings reread = ParentSettings::load(file);
    QCOMPARE(reread.limits.dailyMinutes, 90);
    QCOMPARE(reread.limits.eyeRestMinutes, 30);
    QVERIFY(reread.fullScreenLock);
    if (bytes.contains("[window]"))
        QVERIFY(QSettings(file, QSettings::IniFormat).contains(QStringLiteral("window/x")));

    // A read-only file: it stays as it was and the failure names it.
    QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner));
    const Result<> refused = ParentSettings{}.save(file);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QVERIFY(!refused.ok());
    QVERIFY(refused.error().report().contains(QStringLiteral("无法保存文件 settings.ini")));
    QCOMPARE(ParentSettings::load(file).limits.dailyMinutes, 90);
}

void TestParentSettings::gateAnswers_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("right") << "56" << true;
    QTest::newRow("spaces around") << " 56 " << true;
    QTest::newRow("wrong") << "54" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "5six" << false;
    QTest::newRow("sign") << "+56" << false;
    QTest::newRow("full-width digits") << "５６" << false;
    QTest::newRow("long paste") << QString(100000, QLatin1Char('5')) << false;
}

void TestParentSettings::gateAnswers()
{
    QFETCH(QString, answer);
    QFETCH(bool, accepted);
    QCOMPARE((GateQuestion{7, 8}.accepts(answer)), accepted);
}

QTEST_GUILESS_MAIN(TestParentSettings)
#include "test_parentsettings.moc"
