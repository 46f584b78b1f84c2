// Fetching programmes through the download queue against a loopback server
// that breaks answers on purpose.
#include "core/catalogue/listfile.h"
#include "gui/window/mainwindow.h"
#include "support/faultserver.h"
#include "support/testbytes.h"
#include "support/windowharness.h"

#include <QScrollBar>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;
using Fault = FaultServer::Fault;

namespace {

const int Wait = 1000; // per range, instead of 24 s

QByteArray pathOf(const QString &key, const QString &name)
{
    return "/" + key.toUtf8() + "/flash/" + QUrl::toPercentEncoding(name) + ".swf";
}

struct Harness : WindowHarness
{
    FaultServer server;
    QStringList rowTexts; // every text the rows took, in order

    explicit Harness(const QStringList &names)
    {
        app.writeList(u"cons/b01.inb"_s, names);
        QVERIFY(server.listen());
    }
    MainWindow &load()
    {
        WindowHarness::load(server.baseUrl(), u"http://127.0.0.1:9/"_s, Wait);
        QObject::connect(
            list()->model(), &QAbstractItemModel::dataChanged,
            [this](const QModelIndex &index) { rowTexts.append(index.data().toString()); });
        player.calls.clear();
        return *form;
    }
    QString key() const { return PanelInside::serverKey(*WindowInside::panel(*form)); }
    void serve(const QString &name, const QByteArray &bytes)
    {
        server.setFile(pathOf(key(), name), bytes);
    }
    bool waitIdle(int ms = 10000) const
    {
        return QTest::qWaitFor([this] { return queued() == 0; }, ms);
    }
    QString cached(const QString &name) const { return app.flashDir() + name + u".swf"_s; }
    QByteArray cachedBytes(const QString &name) const
    {
        return app.readBytes(u"res/fla/"_s + name + u".swf"_s);
    }
    QStringList history() const
    {
        return ListFile(app.file(u"cons/lishi.inb"_s)).read().valueOr({});
    }
};

} // namespace

class TestProgrammeDownload : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void completesAndPlays_data();
    void completesAndPlays();
    void smallProgrammeShowsOneProgressStep();
    void laterChoicesQueueAndFollowInOrder_data();
    void laterChoicesQueueAndFollowInOrder();
    void failures_data();
    void failures();
    void busyNetworkIsSaidOnceForTheLast();
    void notFoundRefreshesTheKeyBeforeTheNextEntry();
    void downloadingRowAndSwitchesAreRefused();
    void missingCacheFolderFailsQuietly();
};

// The same steps whether the ranges come one at a time, the server closing
// after each, or asked for ahead on one kept-alive connection.
void TestProgrammeDownload::completesAndPlays_data()
{
    QTest::addColumn<bool>("keepAlive");
    QTest::newRow("one at a time") << false;
    QTest::newRow("sent ahead") << true;
}

void TestProgrammeDownload::completesAndPlays()
{
    QFETCH(bool, keepAlive);
    Harness h({u"两只老虎"_s});
    h.server.setKeepAlive(keepAlive);
    h.player.frames = 360;
    h.load();
    const QByteArray bytes = patternedBytes(100000, 3);
    h.serve(u"两只老虎"_s, bytes);

    h.choose(0);
    QCOMPARE(h.row(0), u"开始下载"_s);
    // The empty file marks the download while it runs.
    QVERIFY(QFile::exists(h.cached(u"两只老虎"_s)));
    QVERIFY(h.cachedBytes(u"两只老虎"_s).isEmpty());
    QVERIFY(h.waitIdle());

    QCOMPARE(h.rowTexts, (QStringList{u"准备下载"_s, u"开始下载"_s, u"正在下载 40%"_s,
                                      u"正在下载 81%"_s, u"正在下载 99%"_s, u"  两只老虎"_s}));
    QCOMPARE(h.row(0), u"  两只老虎"_s);
    QCOMPARE(h.list()->currentRow(), 0);
    QCOMPARE(h.cachedBytes(u"两只老虎"_s), bytes);
    QCOMPARE(h.player.calls,
             (QStringList{u"Movie http://"_s, u"Movie "_s + h.cached(u"两只老虎"_s), u"Play"_s}));
    QCOMPARE(h.form->findChild<QScrollBar *>(u"HScroll1"_s)->maximum(), 360);
    QCOMPARE(h.history(), QStringList{u"两只老虎"_s});
    QVERIFY(h.messages.shown.isEmpty());
    // Names reach the server as UTF-8 percent-encoding, ranges as asked.
    QCOMPARE(h.server.rangesFor(pathOf(h.key(), u"两只老虎"_s)),
             (QList<QByteArray>{"bytes=0-40960", "bytes=40960-81920", "bytes=81920-122880"}));
}

void TestProgrammeDownload::smallProgrammeShowsOneProgressStep()
{
    Harness h({u"tiny"_s});
    h.load();
    h.serve(u"tiny"_s, patternedBytes(1000, 1));
    h.choose(0);
    QVERIFY(h.waitIdle());
    QCOMPARE(h.rowTexts.count(u"正在下载 99%"_s), 1);
    QCOMPARE(h.rowTexts.filter(u"正在下载"_s).size(), 1);
    QCOMPARE(h.row(0), u"  tiny"_s);
}

void TestProgrammeDownload::laterChoicesQueueAndFollowInOrder_data()
{
    QTest::addColumn<bool>("firstFails");
    QTest::newRow("first succeeds") << false;
    QTest::newRow("first fails") << true;
}

void TestProgrammeDownload::laterChoicesQueueAndFollowInOrder()
{
    QFETCH(bool, firstFails);
    Harness h({u"a"_s, u"b"_s, u"c"_s});
    h.load();
    for (const QString &name : {u"a"_s, u"b"_s, u"c"_s})
        h.serve(name, patternedBytes(50000, name.at(0).toLatin1()));
    if (firstFails)
        h.server.setFault(pathOf(h.key(), u"a"_s), Fault::Status500);

    h.choose(0);
    h.choose(1);
    h.choose(2);
    QCOMPARE(h.queued(), 3);
    QCOMPARE(h.row(1), u"准备下载"_s);
    QCOMPARE(h.row(2), u"准备下载"_s);
    QVERIFY(h.waitIdle());

    QList<QByteArray> order;
    for (const FaultServer::Request &r : h.server.requests())
        if (order.isEmpty() || order.last() != r.path)
            order.append(r.path);
    QCOMPARE(order, (QList<QByteArray>{pathOf(h.key(), u"a"_s), pathOf(h.key(), u"b"_s),
                                       pathOf(h.key(), u"c"_s)}));
    QCOMPARE(h.row(0), firstFails ? u"* a"_s : u"  a"_s);
    QCOMPARE(h.row(1), u"  b"_s);
    QCOMPARE(h.row(2), u"  c"_s);
    QCOMPARE(h.player.movie(), h.cached(u"c"_s));
    QCOMPARE(h.history(),
             firstFails ? (QStringList{u"c"_s, u"b"_s}) : (QStringList{u"c"_s, u"b"_s, u"a"_s}));
    // Three queued: a failure of the first is not the last, so nothing is said.
    QVERIFY(h.messages.shown.isEmpty());
}

void TestProgrammeDownload::failures_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("message");
    QTest::newRow("403") << Fault::Status403 << 0 << u"连接数过多"_s;
    QTest::newRow("stall") << Fault::StallAfterHeaders << 1 << u"下载文件超时"_s;
    QTest::newRow("502 alone") << Fault::Status502 << 2 << u"网络繁忙或不畅,请再试"_s;
    QTest::newRow("200 whole file") << Fault::WholeFile200 << 0 << u"不支持断点续传"_s;
    QTest::newRow("no content-range") << Fault::MissingContentRange << 0 << u"无法获取文件大小！"_s;
    QTest::newRow("wrong end") << Fault::WrongEnd << 1 << QString();
    QTest::newRow("reset") << Fault::ResetMidBody << 2 << u"网络繁忙或不畅,请再试"_s;
    QTest::newRow("changing total") << Fault::ChangingTotal << 1 << QString();
}

void TestProgrammeDownload::failures()
{
    QFETCH(Fault, fault);
    QFETCH(int, range);
    QFETCH(QString, message);
    Harness h({u"x"_s});
    h.load();
    h.serve(u"x"_s, patternedBytes(100000, 9));
    h.server.setFault(pathOf(h.key(), u"x"_s), fault, range);
    h.choose(0);
    QVERIFY(h.waitIdle());

    QCOMPARE(h.row(0), u"* x"_s);
    QVERIFY(!QFile::exists(h.cached(u"x"_s)));
    QVERIFY(h.player.calls.isEmpty());
    QVERIFY(h.history().isEmpty());
    if (message.isEmpty()) {
        QVERIFY(h.messages.shown.isEmpty());
    } else {
        QCOMPARE(h.messages.shown.size(), 1);
        QCOMPARE(h.messages.shown[0].text, message);
        QCOMPARE(h.messages.shown[0].title, u"提示"_s);
        QCOMPARE(h.messages.shown[0].icon, MessageBoxes::Icon::Information);
    }
}

void TestProgrammeDownload::busyNetworkIsSaidOnceForTheLast()
{
    Harness h({u"a"_s, u"b"_s, u"c"_s});
    h.load();
    for (const QString &name : {u"a"_s, u"b"_s, u"c"_s}) {
        h.serve(name, patternedBytes(1000, 1));
        h.server.setFault(pathOf(h.key(), name), Fault::Status502);
    }
    for (int row = 0; row < 3; ++row)
        h.choose(row);
    QVERIFY(h.waitIdle());
    QCOMPARE(h.messages.texts(), QStringList{u"网络繁忙或不畅,请再试"_s});
    QCOMPARE(h.server.requests().size(), 3);
    for (int row = 0; row < 3; ++row)
        QVERIFY(h.row(row).startsWith(u"* "_s));
}

void TestProgrammeDownload::notFoundRefreshesTheKeyBeforeTheNextEntry()
{
    Harness h({u"old"_s, u"next"_s});
    h.load();
    const QString oldKey = h.key();
    // The server has moved on to the key "newkey" (characters 11-13, 4-6).
    h.server.setFile("/guihu.txt", "abckey1234new0000,x\r\n");
    h.server.setFile(pathOf(u"newkey"_s, u"next"_s), patternedBytes(3000, 5));
    h.choose(0);
    h.choose(1);
    QVERIFY(h.waitIdle());

    QCOMPARE(h.messages.texts(), QStringList{u"文件无法找到"_s});
    QCOMPARE(h.key(), u"newkey"_s);
    QCOMPARE(h.app.readBytes(u"cons/guihu.inb"_s), QByteArray("abckey1234new0000,x\r\n"));
    QVERIFY(!QFile::exists(h.app.file(u"cons/guihu2.inb"_s)));
    QCOMPARE(h.row(0), u"* old"_s);
    QCOMPARE(h.row(1), u"  next"_s);
    QVERIFY(h.server.rangesFor(pathOf(oldKey, u"next"_s)).isEmpty());
}

void TestProgrammeDownload::downloadingRowAndSwitchesAreRefused()
{
    Harness h({u"slow"_s, u"other"_s});
    h.load();
    h.serve(u"slow"_s, patternedBytes(120000, 2));
    h.server.setDripIntervalMs(5);
    h.server.setFault(pathOf(h.key(), u"slow"_s), Fault::SlowDrip, 0);
    h.choose(0);
    h.choose(1);
    h.choose(0); // the downloading row again
    QCOMPARE(h.queued(), 2);
    h.panel()->showCategory(3);
    QCOMPARE(h.messages.texts(), QStringList{u"正在下载，请稍候！"_s});
    QVERIFY(PanelInside::source(*h.panel()) == ListSource::ofCategory(1));
    h.server.clearFaults();
    QVERIFY(h.waitIdle(20000));
    QCOMPARE(h.server.rangesFor(pathOf(h.key(), u"slow"_s)).first(), QByteArray("bytes=0-40960"));
    QCOMPARE(h.server.rangesFor(pathOf(h.key(), u"slow"_s)).size(), 3);
}

void TestProgrammeDownload::missingCacheFolderFailsQuietly()
{
    Harness h({u"a"_s, u"b"_s});
    h.load();
    QVERIFY(QDir(h.app.flashDir()).removeRecursively());
    h.serve(u"a"_s, patternedBytes(1000, 1));
    h.choose(0);
    h.choose(1);
    QVERIFY(h.waitIdle());
    QCOMPARE(h.row(0), u"* a"_s);
    QCOMPARE(h.row(1), u"* b"_s);
    QVERIFY(h.messages.shown.isEmpty());
    QVERIFY(h.server.requests().isEmpty());
}

QTEST_MAIN(TestProgrammeDownload)
#include "test_programmedownload.moc"
