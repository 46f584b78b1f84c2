// The download queue on its own: a list model, a loopback server, no window.
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "support/appfolder.h"
#include "support/faultserver.h"
#include "support/testbytes.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Harness
{
    AppFolder app;
    FaultServer server;
    ProgrammeListModel list;
    std::unique_ptr<DownloadQueue> queue;
    QStringList events; // row texts and signals, in the order they happened

    explicit Harness(const QStringList &names)
    {
        QVERIFY(server.listen());
        QList<ProgrammeItem> items;
        for (const QString &name : names)
            items.append({name});
        list.setItems(items);
        queue = std::make_unique<DownloadQueue>(
            DownloadQueue::Settings{server.baseUrl(), AppPaths(app.path()), 1000},
            [] { return u"key123"_s; });
        // The list finds the programme's row, as the window's list does.
        QObject::connect(queue.get(), &DownloadQueue::stateChanged, &list,
                         &ProgrammeListModel::setStateOf);
        QObject::connect(&list, &QAbstractItemModel::dataChanged, [this](const QModelIndex &i) {
            events.append(u"%1 %2"_s.arg(i.row()).arg(i.data().toString()));
        });
        QObject::connect(
            queue.get(), &DownloadQueue::arrived, [this](const QString &name, const QString &) {
                events.append(u"arrived %1, queued %2"_s.arg(name).arg(queue->count()));
            });
        QObject::connect(
            queue.get(), &DownloadQueue::failed, [this](const QString &name, const QString &m) {
                events.append(u"failed %1 %2, queued %3"_s.arg(name, m).arg(queue->count()));
            });
        QObject::connect(queue.get(), &DownloadQueue::keyFileRefreshed,
                         [this] { events.append(u"key refreshed"_s); });
    }
    void serve(const QString &name, const QByteArray &bytes)
    {
        server.setFile("/key123/flash/" + QUrl::toPercentEncoding(name) + ".swf", bytes);
    }
    bool request(int row) { return queue->request(list.item(row)); }
    bool waitIdle()
    {
        return QTest::qWaitFor([this] { return queue->isEmpty(); }, 10000);
    }
};

} // namespace

class TestDownloadQueue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fiveWaitAndTheSixthIsRefused();
    void progressAndOutcomesInOrder();
};

void TestDownloadQueue::fiveWaitAndTheSixthIsRefused()
{
    Harness h({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s});
    for (int row = 0; row < 5; ++row)
        QVERIFY(h.request(row));
    QVERIFY(!h.request(5));
    QVERIFY(!h.request(4)); // waiting already
    QCOMPARE(h.queue->names(), (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s}));
    QCOMPARE(h.list.rowText(0), u"开始下载"_s);
    QCOMPARE(h.list.rowText(4), u"准备下载"_s);
    QCOMPARE(h.list.rowText(5), u"* f"_s);
}

void TestDownloadQueue::progressAndOutcomesInOrder()
{
    // The first arrives in three ranges, the second is missing on the
    // server, the third arrives; the second's message comes while its entry
    // still heads the queue, and the third waits for the key to be fetched.
    Harness h({u"甲"_s, u"乙"_s, u"丙"_s});
    h.list.setState(1, ProgrammeState::Cached); // its file vanished since
    h.events.clear();
    h.serve(u"甲"_s, patternedBytes(100000, 1));
    h.serve(u"丙"_s, patternedBytes(10, 2));
    for (int row = 0; row < 3; ++row)
        QVERIFY(h.request(row));
    QVERIFY(h.waitIdle());
    QCOMPARE(h.events, (QStringList{u"0 准备下载"_s, u"0 开始下载"_s, u"1 准备下载"_s,
                                    u"2 准备下载"_s, u"0 正在下载 40%"_s, u"0 正在下载 81%"_s,
                                    u"0 正在下载 99%"_s, u"0   甲"_s, u"arrived 甲, queued 3"_s,
                                    u"1 开始下载"_s, u"failed 乙 文件无法找到, queued 2"_s,
                                    u"1   乙"_s, u"key refreshed"_s, u"2 开始下载"_s,
                                    u"2 正在下载 90%"_s, u"2   丙"_s, u"arrived 丙, queued 1"_s}));
    QCOMPARE(h.app.readBytes(u"res/fla/甲.swf"_s), patternedBytes(100000, 1));
    QVERIFY(!QFile::exists(h.app.file(u"res/fla/乙.swf"_s)));
    QByteArrayList paths;
    for (const FaultServer::Request &r : h.server.requests())
        if (paths.isEmpty() || paths.last() != r.path)
            paths.append(r.path);
    QCOMPARE(paths.size(), 4);
    QVERIFY(paths[2].endsWith("guihu.txt"));
}

QTEST_GUILESS_MAIN(TestDownloadQueue)
#include "test_downloadqueue.moc"
