// The whole road of an update with a real program process and nginx: the
// updater is a shell script that leaves a note where it runs.
#include "support/appfolder.h"
#include "support/nginxserver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QtTest>

#include <algorithm>

using namespace Qt::StringLiterals;

class TestUpdateEndToEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void road_data();
    void road();
};

void TestUpdateEndToEnd::road_data()
{
    QTest::addColumn<QByteArray>("interpreter");
    QTest::addColumn<QString>("mode");
    QTest::newRow("updater starts") << QByteArray("/bin/sh") << u"own"_s;
    QTest::newRow("updater cannot start") << QByteArray("/nonexistent/sh") << u"own"_s;
    QTest::newRow("installed") << QByteArray("/bin/sh") << u"installed"_s;
}

void TestUpdateEndToEnd::road()
{
    QFETCH(QByteArray, interpreter);
    QFETCH(QString, mode);
    if (!QFile::exists(NginxServer::executable()))
        QSKIP("nginx is not installed (apt-get install nginx-light)");
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(u"gengxin"_s));
    QFile::setPermissions(root.path(),
                          QFile::permissions(root.path()) | QFile::ReadOther | QFile::ExeOther);
    // Notes where it runs and with how many arguments.
    const QByteArray updater = "#!" + interpreter + "\n{ pwd; echo \"$#\"; } > updater-ran.txt\n";
    const QByteArray version =
        "4.3," + QCryptographicHash::hash(updater, QCryptographicHash::Sha256).toHex() + "\r\n";
    for (const auto &[name, bytes] : {std::pair("update.txt", version), {"qvgx.txt", updater}}) {
        QFile file(root.filePath(u"gengxin/"_s + QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    NginxServer nginx;
    QVERIFY2(nginx.start(root.path()), qPrintable(nginx.errorText()));
    AppFolder app;
    app.writeBytes(u"cons/update.inb"_s, "4.2\r\n");

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(env);
    // 600 ticks of 5 ms: the check runs about three seconds after the start.
    program.start(QStringLiteral(QORVEL_UPDATE_HOST), {app.path(), nginx.baseUrl(), u"5"_s, mode});
    QVERIFY(program.waitForStarted());
    const QString marker = app.file(u"updater-ran.txt"_s);
    if (interpreter == "/bin/sh" && mode == u"own"_s) {
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(marker).size() > 0, 10000);
        QCOMPARE(app.readBytes(u"updater-ran.txt"_s),
                 QDir(app.path()).canonicalPath().toLocal8Bit() + "\n0\n");
        QCOMPARE(app.readBytes(u"cons/update.inb"_s), version);
        const QFile::Permissions others =
            QFile::ExeGroup | QFile::ExeOther | QFile::WriteGroup | QFile::WriteOther;
        QVERIFY(!(QFile::permissions(app.file(u"cons/qvgx.exe"_s)) & others));
        return;
    }
    const auto fetched = [&nginx] {
        const QList<NginxServer::LogEntry> log = nginx.accessLog();
        return std::any_of(log.begin(), log.end(),
                           [](const auto &e) { return e.path.startsWith("/gengxin/qvgx"); });
    };
    // The program's ticks so far and its update checks under way.
    const auto state = [&program] {
        program.write("state\n");
        while (!program.canReadLine())
            if (!program.waitForReadyRead(30000))
                return QList<QByteArray>{};
        return program.readLine().trimmed().split(' ');
    };
    // Past the check's tick with no check under way: an installed program
    // leaves the server alone, the other one has fetched the updater and
    // given up on starting it.
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QList<QByteArray> s = state();
            return s.size() == 2 && s[0].toInt() > 600 && s[1] == "0";
        },
        120000));
    QCOMPARE(fetched(), mode != u"installed"_s);
    // The program goes on answering, on its old version.
    program.write("still there?\n");
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 30000);
    QCOMPARE(program.readLine(), QByteArray("still there?\n"));
    QCOMPARE(app.readBytes(u"cons/update.inb"_s), QByteArray("4.2\r\n"));
    QVERIFY(!QFile::exists(app.file(u"cons/qvgx.exe"_s)) && !QFile::exists(marker));
    program.kill();
    program.waitForFinished();
}

QTEST_MAIN(TestUpdateEndToEnd)
#include "test_updateendtoend.moc"
