// The update check against the fault server and nginx: what it starts and
// what it leaves in cons/.
#include "support/appfolder.h"
#include "support/faultserver.h"
#include "support/nginxserver.h"
#include "support/testbytes.h"
#include "update/processstarter.h"
#include "update/updatecheck.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Result = UpdateCheck::Result;

namespace {

const QByteArray Local = "4.2,2026-12-08\r\n";
const QByteArray Newer = "4.3\r\n";
const QByteArray Updater = "#!/bin/sh\necho updating\n";
const QByteArray Page = "<!DOCTYPE html>\r\n<html><body>404 Not Found</body></html>\r\n";
const QByteArray None; // null: not on the server, not on disk
const QByteArray VersionPath = "/gengxin/update.txt";
const QByteArray UpdaterPath = "/gengxin/qvgx.txt";

QByteArray withSha(const QByteArray &version, const QByteArray &file)
{
    return version + ',' + QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex();
}

// Records each start and the bytes of the file started.
class RecordingStarter : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QString &folder) override
    {
        calls.append(program + u" in "_s + folder);
        started.append(readFileOrMissing(program));
        return starts;
    }
    QStringList calls;
    QList<QByteArray> started;
    bool starts = true;
};

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void faultServer_data();
    void faultServer();
    void oldUpdaterGoesFirst();
    void failedStartIsTriedAgain();
    void nginx_data();
    void nginx();

private:
    Result run(AppFolder &app, const QString &server);
    void verifyAftermath(AppFolder &app, Result result, const QByteArray &local,
                         const QByteArray &serverVersion);

    FaultServer m_server;
    RecordingStarter m_starter;
    QTemporaryDir m_root;
    NginxServer m_nginx;
};

void TestUpdateCheck::initTestCase()
{
    QVERIFY(m_server.listen());
    m_server.setDripIntervalMs(400); // slower than the one-second wait for a range
}

void TestUpdateCheck::init()
{
    m_server.removeFile(VersionPath);
    m_server.removeFile(UpdaterPath);
    m_server.clearFaults();
    m_starter = RecordingStarter();
}

Result TestUpdateCheck::run(AppFolder &app, const QString &server)
{
    UpdateCheck check(AppPaths(app.path()), server, 1000, m_starter);
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start();
    // The check's own waits end it long before this; no row expects
    // FileError, so a check that never ends fails the comparison.
    if (!finished.wait(20000))
        return Result::FileError;
    return finished.at(0).at(0).value<Result>();
}

// No temporary file stays; the updater is started only when the versions
// differ, and the server's version is installed only once it runs. The
// fetched version stays for the next check when its updater was missing.
void TestUpdateCheck::verifyAftermath(AppFolder &app, Result result, const QByteArray &local,
                                      const QByteArray &serverVersion)
{
    QVERIFY(!QFile::exists(app.file(u"cons/updatetemp.inb"_s)));
    QVERIFY(!QFile::exists(app.file(u"cons/qvgxtemp.txt"_s)));
    const bool started = result == Result::UpdaterStarted;
    const QStringList call = {app.file(u"cons/qvgx.exe"_s) + u" in "_s + app.path()};
    QCOMPARE(m_starter.calls, started ? call : QStringList());
    if (started)
        QCOMPARE(m_starter.started.at(0), Updater);
    QCOMPARE(QFile::exists(app.file(u"cons/qvgx.exe"_s)), started);
    QCOMPARE(app.readBytes(u"cons/update.inb"_s), started ? serverVersion : local);
    const bool kept = result == Result::NoUpdater || result == Result::UpdaterRejected;
    QCOMPARE(QFile::exists(app.file(u"cons/update2.inb"_s)), kept);
}

void TestUpdateCheck::faultServer_data()
{
    QTest::addColumn<QByteArray>("local");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("updater");
    QTest::addColumn<QByteArray>("leftover"); // cons/update2.inb of an earlier check
    QTest::addColumn<QByteArray>("faultPath");
    QTest::addColumn<FaultServer::Fault>("fault");
    QTest::addColumn<Result>("result");
    using F = FaultServer::Fault;
    const Result Started = Result::UpdaterStarted;
    const auto row = [](const char *name, const QByteArray &local, const QByteArray &version,
                        const QByteArray &updater, Result result) -> QTestData & {
        return QTest::newRow(name)
               << local << version << updater << None << None << F::None << result;
    };

    row("equal", Local, "4.2,other", Updater, Result::UpToDate);
    row("case differs", "v4.2a\r\n", "v4.2A", Updater, Started);
    row("field before comma", "2.0\r\n", "2.0,more text", Updater, Result::UpToDate);
    row("newer", Local, Newer, Updater, Started);
    row("older", Local, "4.1", Updater, Started);
    row("checksum matches", Local, withSha("4.3", Updater), Updater, Started);
    row("checksum in capitals", Local, withSha("4.3", Updater).toUpper(), Updater, Started);
    row("quoted, checksum", Local, withSha("\"4,3\"", Updater), Updater, Started);
    row("checksum mismatch", Local, withSha("4.3", "other"), Updater, Result::UpdaterRejected);
    row("no updater", Local, Newer, None, Result::NoUpdater);
    QTest::newRow("leftover compared")
        << Local << None << Updater << Newer << None << F::None << Started;
    QTest::newRow("fresh beats leftover")
        << Local << Local << Updater << Newer << None << F::None << Result::UpToDate;
    // Version files that are none.
    row("empty", Local, "", Updater, Result::BadVersionFile);
    row("line ending only", Local, "\r\n", Updater, Result::BadVersionFile);
    row("binary", Local, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), Updater,
        Result::BadVersionFile);
    row("megabyte", Local, Newer + QByteArray(1 << 20, 'x'), Updater, Result::BadVersionFile);
    row("UTF-16", Local, QByteArray("\xff\xfe\x34\0.\0\x33\0", 8), Updater, Result::BadVersionFile);
    row("broken GBK", Local, "4.3\xa1\r\n", Updater, Result::BadVersionFile);
    row("HTML page", Local, Page, Updater, Result::BadVersionFile);
    QTest::newRow("HTML with 200") << Local << Page << Updater << None << VersionPath
                                   << F::WholeFile200 << Result::NoVersionFile;
    // Updaters that are none.
    row("HTML updater", Local, Newer, Page, Result::UpdaterRejected);
    row("empty updater", Local, Newer, "", Result::UpdaterRejected);
    // Servers that misbehave, on a file of three ranges.
    const QByteArray big(100000, 'x');
    for (const F fault : {F::SlowDrip, F::ResetMidBody, F::Redirect, F::Status416}) {
        const char *name = QMetaEnum::fromType<F>().valueToKey(int(fault));
        QTest::addRow("version %s", name)
            << Local << big << Updater << None << VersionPath << fault << Result::NoVersionFile;
        QTest::addRow("updater %s", name)
            << Local << Newer << big << None << UpdaterPath << fault << Result::NoUpdater;
    }
}

void TestUpdateCheck::faultServer()
{
    QFETCH(QByteArray, local);
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, updater);
    QFETCH(QByteArray, leftover);
    QFETCH(QByteArray, faultPath);
    QFETCH(FaultServer::Fault, fault);
    QFETCH(Result, result);
    AppFolder app;
    app.writeBytes(u"cons/update.inb"_s, local);
    if (!leftover.isNull())
        app.writeBytes(u"cons/update2.inb"_s, leftover);
    if (!version.isNull())
        m_server.setFile(VersionPath, version);
    if (!updater.isNull())
        m_server.setFile(UpdaterPath, updater);
    // A 416 for the second range: the file changed on the server meanwhile.
    if (!faultPath.isNull())
        m_server.setFault(faultPath, fault,
                          fault == FaultServer::Fault::Status416 ? 1 : FaultServer::EveryRange);

    QCOMPARE(run(app, m_server.baseUrl()), result);
    verifyAftermath(app, result, local, version.isNull() ? leftover : version);
}

// An updater left by the last update is deleted before anything is asked
// for; a server that cannot be reached then changes nothing more.
void TestUpdateCheck::oldUpdaterGoesFirst()
{
    AppFolder app;
    app.writeBytes(u"cons/update.inb"_s, Local);
    app.writeBytes(u"cons/qvgx.exe"_s, Updater);
    const QStringList before = QDir(app.file(u"cons"_s)).entryList(QDir::Files);
    UpdateCheck check(AppPaths(app.path()), u"http://127.0.0.1:9/"_s, 1000, m_starter);
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start();
    QVERIFY(!QFile::exists(app.file(u"cons/qvgx.exe"_s)));
    QVERIFY(finished.wait());
    QCOMPARE(finished.at(0).at(0).value<Result>(), Result::NoVersionFile);
    QStringList after = QDir(app.file(u"cons"_s)).entryList(QDir::Files);
    after.append(u"qvgx.exe"_s);
    after.sort();
    QCOMPARE(after, before);
    verifyAftermath(app, Result::NoVersionFile, Local, {});
}

// An updater that does not start leaves the installed version as it was, so
// the next check fetches it again, even without reaching the version file.
void TestUpdateCheck::failedStartIsTriedAgain()
{
    AppFolder app;
    app.writeBytes(u"cons/update.inb"_s, Local);
    m_server.setFile(VersionPath, Newer);
    m_server.setFile(UpdaterPath, Updater);
    m_starter.starts = false;
    QCOMPARE(run(app, m_server.baseUrl()), Result::StartFailed);
    QCOMPARE(m_starter.started, QList<QByteArray>{Updater});
    QCOMPARE(app.readBytes(u"cons/update.inb"_s), Local);
    QCOMPARE(app.readBytes(u"cons/update2.inb"_s), Newer);
    QVERIFY(!QFile::exists(app.file(u"cons/qvgx.exe"_s)));

    m_server.removeFile(VersionPath);
    m_starter = RecordingStarter();
    QCOMPARE(run(app, m_server.baseUrl()), Result::UpdaterStarted);
    verifyAftermath(app, Result::UpdaterStarted, Local, Newer);
}

void TestUpdateCheck::nginx_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("updater");
    QTest::addColumn<Result>("result");
    QTest::newRow("equal") << Local << Updater << Result::UpToDate;
    QTest::newRow("checksum matches")
        << withSha("4.3", Updater) << Updater << Result::UpdaterStarted;
    QTest::newRow("checksum mismatch")
        << withSha("4.3", Page) << Updater << Result::UpdaterRejected;
    QTest::newRow("empty version file") << QByteArray("") << Updater << Result::BadVersionFile;
    QTest::newRow("HTML updater") << Newer << Page << Result::UpdaterRejected;
    QTest::newRow("no updater") << Newer << None << Result::NoUpdater;
}

void TestUpdateCheck::nginx()
{
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, updater);
    QFETCH(Result, result);
    if (!QFile::exists(NginxServer::executable()))
        QSKIP("nginx is not installed (apt-get install nginx-light)");
    if (m_nginx.port() == 0) {
        QVERIFY(QDir(m_root.path()).mkpath(u"gengxin"_s));
        // nginx may run as another user; the served folder must be readable.
        QVERIFY(QFile::setPermissions(m_root.path(), QFile::permissions(m_root.path()) |
                                                         QFile::ReadOther | QFile::ExeOther));
        QVERIFY2(m_nginx.start(m_root.path()), qPrintable(m_nginx.errorText()));
    }
    const auto publish = [this](const char *name, const QByteArray &bytes) {
        QFile file(m_root.filePath(u"gengxin/"_s + QLatin1String(name)));
        if (bytes.isNull())
            file.remove();
        else if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    };
    publish("update.txt", version);
    publish("qvgx.txt", updater);
    AppFolder app;
    app.writeBytes(u"cons/update.inb"_s, Local);
    QCOMPARE(run(app, m_nginx.baseUrl()), result);
    verifyAftermath(app, result, Local, version);
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "test_updatecheck.moc"
