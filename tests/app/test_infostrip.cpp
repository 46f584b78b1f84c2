// The information strip in a real web view, handed in as the program does,
// loaded after the window shows: pages that cannot be loaded are replaced by
// the local "not available" page, once.
#include "gui/webhost/webpartshost.h"
#include "gui/window/categorybar.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmepanel.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/faultserver.h"
#include "support/webtestmain.h"
#include "web/engineenvironment.h"
#include "web/ruffleplayer.h"
#include "web/webenginestrip.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEngineView>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestInfoStrip : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void failingPagesFallBack_data();
    void failingPagesFallBack();
    void reachablePageStays();
    void missingFallbackDoesNotLoop();
};

namespace {

// A web site whose every page is the same small HTML page with the given
// status.
class OnePageSite : public QTcpServer
{
public:
    explicit OnePageSite(int status)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this, status] {
            QTcpSocket *socket = nextPendingConnection();
            connect(socket, &QTcpSocket::readyRead, socket, [socket, status] {
                const QByteArray page = "<html><head><title>show one</title></head></html>";
                socket->write("HTTP/1.1 " + QByteArray::number(status) +
                              " X\r\nContent-Type: text/html\r\nConnection: close\r\n"
                              "Content-Length: " +
                              QByteArray::number(page.size()) + "\r\n\r\n" + page);
                socket->disconnectFromHost();
            });
        });
    }
    QString url() const { return u"http://127.0.0.1:%1/"_s.arg(serverPort()); }
};

struct Harness
{
    AppFolder app;
    FaultServer server;
    RecordingMessages messages;
    WebEngineStrip *strip = nullptr;
    WebPartsHost web{[this]() -> Result<std::unique_ptr<WebParts>> {
                         auto parts = std::make_unique<WebParts>();
                         parts->player = std::make_unique<FakePlayer>();
                         parts->strip = std::make_unique<WebEngineStrip>();
                         strip = static_cast<WebEngineStrip *>(parts->strip.get());
                         return parts;
                     },
                     &messages};
    ErrorRecordingStrip browser{web.browser()};
    FakeSound sound;
    std::unique_ptr<MainWindow> form;

    void load(const QString &site)
    {
        form = std::make_unique<MainWindow>(AppSettings{app.path(), server.baseUrl(), site, 1000},
                                            Services{web.player(), &browser, &messages, &sound});
        QVERIFY(form->load());
        form->show();
        QTRY_VERIFY_WITH_TIMEOUT(web.loaded(), 30000);
    }
    QWebEngineView *view() { return static_cast<QWebEngineView *>(strip->widget()); }
};

} // namespace

void TestInfoStrip::failingPagesFallBack_data()
{
    QTest::addColumn<QString>("site");
    QTest::newRow("nobody listening") << u"http://127.0.0.1:9/info/"_s;
    QTest::newRow("octet-stream") << QString(); // the download server has no such page
    QTest::newRow("404 page") << u"404"_s;
    QTest::newRow("500 page") << u"500"_s;
}

void TestInfoStrip::failingPagesFallBack()
{
    QFETCH(QString, site);
    Harness h;
    QVERIFY(h.server.listen());
    OnePageSite web(site.size() == 3 ? site.toInt() : 200);
    if (site.isEmpty())
        site = h.server.baseUrl() + u"info/"_s;
    else if (site.size() == 3)
        site = web.url();
    const QStringList &errors = h.browser.errors;
    h.load(site);
    const QUrl fallback = QUrl::fromLocalFile(h.app.file(u"res/showoff.htm"_s));
    QTRY_COMPARE_WITH_TIMEOUT(h.view()->url(), fallback, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(
        h.view()->title().contains(u"offline"_s) || !h.view()->title().isEmpty(), 30000);
    QCOMPARE(errors.size(), 1);
    QCOMPARE(errors.first(), site + u"show1.htm"_s);
}

void TestInfoStrip::reachablePageStays()
{
    OnePageSite site(200);
    Harness h;
    const QStringList &errors = h.browser.errors;
    h.load(site.url());
    QTRY_COMPARE_WITH_TIMEOUT(h.view()->title(), u"show one"_s, 30000);
    QTest::qWait(300); // no error follows
    QCOMPARE(errors.size(), 0);
}

void TestInfoStrip::missingFallbackDoesNotLoop()
{
    Harness h;
    QVERIFY(QFile::remove(h.app.file(u"res/showoff.htm"_s)));
    const QStringList &errors = h.browser.errors;
    h.load(u"http://127.0.0.1:9/info/"_s);
    // The page fails, then the fallback fails; that failure is not answered.
    QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 2, 30000);
    QTest::qWait(1500); // no third try follows
    QCOMPARE(errors.size(), 2);
    QCOMPARE(errors.at(1), h.app.file(u"res/showoff.htm"_s));
}

QORVEL_WEB_TEST_MAIN(TestInfoStrip, EngineEnvironment::prepare())
#include "test_infostrip.moc"
