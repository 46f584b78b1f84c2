// A program killed in the middle of a download: the next start offers the
// programme again and nothing half-made stays in the cache.
#include "gui/window/categorybar.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmepanel.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/faultserver.h"
#include "support/panelinside.h"
#include "support/windowinside.h"

#include "core/catalogue/programmelistmodel.h"
#include <QProcess>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestInterruptedDownload : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void killedMidDownload();
};

void TestInterruptedDownload::killedMidDownload()
{
    AppFolder app;
    app.writeList(u"cons/b01.inb"_s, {u"半路"_s, u"别的"_s});
    app.cache(u"别的"_s);
    FaultServer server;
    QVERIFY(server.listen());
    const QByteArray path = "/h4icd2/flash/" + QUrl::toPercentEncoding(u"半路"_s) + ".swf";
    server.setFile(path, QByteArray(200000, 'x'));
    server.setFault(path, FaultServer::Fault::StallAfterHeaders, 1);

    QProcess victim;
    victim.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    victim.setProcessEnvironment(env);
    victim.start(QStringLiteral(QORVEL_DOWNLOAD_VICTIM), {app.path(), server.baseUrl()});
    QVERIFY(victim.waitForStarted());
    // The second range is asked for: the first has arrived, nothing is saved.
    QTRY_VERIFY_WITH_TIMEOUT(server.rangesFor(path).size() == 2, 15000);
    const QString file = app.flashDir() + u"半路.swf"_s;
    QVERIFY(QFile::exists(file));
    QCOMPARE(QFileInfo(file).size(), 0);
    victim.kill();
    QVERIFY(victim.waitForFinished());
    QCOMPARE(victim.exitStatus(), QProcess::CrashExit);

    FakePlayer player;
    FakeBrowser browser;
    RecordingMessages messages;
    FakeSound sound;
    MainWindow form(AppSettings{app.path(), server.baseUrl(), u"http://127.0.0.1:9/"_s, 1000},
                    Services{&player, &browser, &messages, &sound});
    QVERIFY(form.load());
    QCOMPARE(PanelInside::programmes(*WindowInside::panel(form))->rowText(0), u"* 半路"_s);
    QCOMPARE(PanelInside::programmes(*WindowInside::panel(form))->rowText(1), u"  别的"_s);
    QVERIFY(!QFile::exists(file));
}

QTEST_MAIN(TestInterruptedDownload)
#include "test_interrupteddownload.moc"
