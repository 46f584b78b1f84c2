// The update check against the fault server and nginx: what it starts and
// what it leaves in cons/. Every row without a fault runs against both.
#include "core/update/processstarter.h"
#include "core/update/updatecheck.h"
#include "support/appfolder.h"
#include "support/faultserver.h"
#include "support/nginxserver.h"
#include "support/testbytes.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMetaEnum>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using Result = UpdateCheck::Result;
using F = FaultServer::Fault;

namespace {

const QByteArray Local = "v4.2a,2026-12-08\r\n";
const QByteArray Newer = "4.3\r\n";
const QByteArray Updater = "#!/bin/sh\necho updating\n";
const QByteArray Page = "<!DOCTYPE html>\r\n<html><body>404 Not Found</body></html>\r\n";
const QByteArray None; // null: not on the server
const QByteArray VersionPath = "/gengxin/update.txt";
const QByteArray UpdaterPath = "/gengxin/qvgx.txt";

QByteArray withSha(const QByteArray &version, const QByteArray &file)
{
    return version + ',' + QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex();
}

// Records what it was asked to start, where, and the bytes of that file.
class RecordingStarter : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QString &folder) override
    {
        calls.append(program + u" in "_s + folder + u": "_s +
                     QString::fromLatin1(readFileOrMissing(program)));
        return starts;
    }
    QStringList calls;
    bool starts = true;
};

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void check_data();
    void check();
    void failedStartIsTriedAgain();

private:
    Result run(AppFolder &app, const QString &server);
    void publish(const QByteArray &version, const QByteArray &updater);
    void verifyAftermath(AppFolder &app, Result result, const QByteArray &serverVersion);

    FaultServer m_server;
    RecordingStarter m_starter;
    QTemporaryDir m_root;
    NginxServer m_nginx;
};

void TestUpdateCheck::initTestCase()
{
    QVERIFY(m_server.listen());
    m_server.setDripIntervalMs(400); // slower than the one-second wait for a range
    QVERIFY(QDir(m_root.path()).mkpath(u"gengxin"_s));
    if (!QFile::exists(NginxServer::executable()))
        return; // its rows are skipped
    // nginx may run as another user; the served folder must be readable.
    QFile::setPermissions(m_root.path(),
                          QFile::permissions(m_root.path()) | QFile::ReadOther | QFile::ExeOther);
    QVERIFY2(m_nginx.start(m_root.path()), qPrintable(m_nginx.errorText()));
}

// Every check finds the updater of an earlier update, which must be gone
// before anything is asked for.
Result TestUpdateCheck::run(AppFolder &app, const QString &server)
{
    app.writeBytes(u"cons/update.inb"_s, Local);
    app.writeBytes(u"cons/qvgx.exe"_s, "the last update's updater");
    m_starter.calls.clear();
    UpdateCheck check(AppPaths(app.path()), server, 1000, m_starter);
    QSignalSpy finished(&check, &UpdateCheck::finished);
    check.start();
    if (QFile::exists(app.file(u"cons/qvgx.exe"_s)))
        return Result::FileError;
    // No row expects FileError: a check that never ends fails the comparison.
    return finished.wait(20000) ? finished.at(0).at(0).value<Result>() : Result::FileError;
}

// No temporary file stays; the updater is started only when the versions
// differ, and the server's version is installed only once it runs. The
// fetched version stays for the next check when the updater was no good.
void TestUpdateCheck::verifyAftermath(AppFolder &app, Result result,
                                      const QByteArray &serverVersion)
{
    QVERIFY(!QFile::exists(app.file(u"cons/updatetemp.inb"_s)));
    QVERIFY(!QFile::exists(app.file(u"cons/qvgxtemp.txt"_s)));
    const bool started = result == Result::UpdaterStarted;
    const QString call = app.file(u"cons/qvgx.exe"_s) + u" in "_s + app.path() + u": "_s;
    QCOMPARE(m_starter.calls, started ? QStringList{call + QLatin1String(Updater)} : QStringList());
    QCOMPARE(QFile::exists(app.file(u"cons/qvgx.exe"_s)), started);
    QCOMPARE(app.readBytes(u"cons/update.inb"_s), started ? serverVersion : Local);
    const bool kept = result == Result::NoUpdater || result == Result::UpdaterRejected;
    QCOMPARE(QFile::exists(app.file(u"cons/update2.inb"_s)), kept);
}

void TestUpdateCheck::check_data()
{
    QTest::addColumn<bool>("onNginx");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("updater");
    QTest::addColumn<Result>("result");
    QTest::addColumn<QByteArray>("faultPath");
    QTest::addColumn<F>("fault");
    const auto row = [](const QByteArray &name, const QByteArray &version,
                        const QByteArray &updater, Result result, const QByteArray &faultPath = {},
                        F fault = F::None) {
        QTest::newRow(name.constData())
            << false << version << updater << result << faultPath << fault;
        if (faultPath.isEmpty())
            QTest::addRow("nginx: %s", name.constData())
                << true << version << updater << result << faultPath << fault;
    };
    const Result Started = Result::UpdaterStarted;

    row("field before comma is equal", "v4.2a,more text", Updater, Result::UpToDate);
    row("case differs", "V4.2A", Updater, Started);
    row("checksum matches", withSha("4.3", Updater), Updater, Started);
    row("quoted, checksum", withSha("\"4,3\"", Updater), Updater, Started);
    row("checksum mismatch", withSha("4.3", "other"), Updater, Result::UpdaterRejected);
    row("no updater", Newer, None, Result::NoUpdater);
    row("unreachable", None, Updater, Result::NoVersionFile);
    row("empty", "", Updater, Result::BadVersionFile);
    row("line ending only", "\r\n", Updater, Result::BadVersionFile);
    row("binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), Updater, Result::BadVersionFile);
    row("megabyte", Newer + QByteArray(1 << 20, 'x'), Updater, Result::BadVersionFile);
    row("not GBK", "4.3\xa1\r\n", Updater, Result::BadVersionFile);
    row("HTML page", Page, Updater, Result::BadVersionFile);
    row("HTML with 200", Page, Updater, Result::NoVersionFile, VersionPath, F::WholeFile200);
    row("HTML updater", Newer, Page, Result::UpdaterRejected);
    row("empty updater", Newer, "", Result::UpdaterRejected);
    // Servers that misbehave, on a file of three ranges.
    const QByteArray big(100000, 'x');
    for (const F fault : {F::SlowDrip, F::ResetMidBody, F::Redirect, F::Status416}) {
        const QByteArray name = QMetaEnum::fromType<F>().valueToKey(int(fault));
        row("version " + name, big, Updater, Result::NoVersionFile, VersionPath, fault);
        row("updater " + name, Newer, big, Result::NoUpdater, UpdaterPath, fault);
    }
}

void TestUpdateCheck::check()
{
    QFETCH(bool, onNginx);
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, updater);
    QFETCH(Result, result);
    QFETCH(QByteArray, faultPath);
    QFETCH(F, fault);
    if (onNginx && m_nginx.port() == 0)
        QSKIP("nginx is not installed (apt-get install nginx-light)");
    publish(version, updater);
    // A 416 for the second range: the file changed on the server meanwhile.
    m_server.setFault(faultPath, fault, fault == F::Status416 ? 1 : FaultServer::EveryRange);
    AppFolder app;
    const QString server = version.isNull() ? u"http://127.0.0.1:9/"_s
                           : onNginx        ? m_nginx.baseUrl()
                                            : m_server.baseUrl();
    QCOMPARE(run(app, server), result);
    verifyAftermath(app, result, version);
}

// Puts the files on both servers; a null file is none.
void TestUpdateCheck::publish(const QByteArray &version, const QByteArray &updater)
{
    m_server.clearFaults();
    for (const auto &[path, bytes] : {std::pair(VersionPath, version), {UpdaterPath, updater}}) {
        QFile file(m_root.path() + QLatin1String(path));
        file.remove();
        m_server.removeFile(path);
        if (bytes.isNull())
            continue;
        m_server.setFile(path, bytes);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
}

// An updater that does not start leaves the installed version as it was, so
// the next check compares the version it fetched before, even without
// reaching the server's, and fetches the updater again.
void TestUpdateCheck::failedStartIsTriedAgain()
{
    AppFolder app;
    publish(Newer, Updater);
    m_starter.starts = false;
    QCOMPARE(run(app, m_server.baseUrl()), Result::StartFailed);
    QCOMPARE(m_starter.calls.size(), 1);
    QCOMPARE(app.readBytes(u"cons/update.inb"_s), Local);
    QVERIFY(!QFile::exists(app.file(u"cons/qvgx.exe"_s)));

    m_server.removeFile(VersionPath);
    m_starter.starts = true;
    QCOMPARE(run(app, m_server.baseUrl()), Result::UpdaterStarted);
    verifyAftermath(app, Result::UpdaterStarted, Newer);
}

QTEST_GUILESS_MAIN(TestUpdateCheck)
#include "test_updatecheck.moc"
