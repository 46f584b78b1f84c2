#include "download/rangetransfer.h"
#include "download/server.h"
#include "support/faultserver.h"
#include "support/testbytes.h"

#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int RangeWaitMs = 1500;

} // namespace

class TestRangeTransfer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void asksForOverlappingRanges();
    void reportsProgressPerRange_data();
    void reportsProgressPerRange();
    void fileChangingBetweenRangesFails();
    void totalAboveTheCapIsRefused_data();
    void totalAboveTheCapIsRefused();
    void abortEndsAtOnce();
    void nonHttpUrlIsRefused_data();
    void nonHttpUrlIsRefused();
    void canRunAgain();

private:
    FaultServer m_server;
};

void TestRangeTransfer::initTestCase()
{
    QVERIFY(m_server.listen());
}

void TestRangeTransfer::init()
{
    m_server.clearFaults();
    m_server.clearRequests();
}

void TestRangeTransfer::asksForOverlappingRanges()
{
    const QByteArray content = patternedBytes(2 * Server::RangeStep + 2);
    m_server.setFile("/three.swf", content);
    RangeTransfer transfer(m_server.url(QStringLiteral("/three.swf")), {RangeWaitMs});
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::Completed));
    QCOMPARE(transfer.lastStatus(), 206);
    QCOMPARE(transfer.takeData(), content);

    const QList<FaultServer::Request> &requests = m_server.requests();
    QCOMPARE(requests.size(), 3);
    const QByteArray expected[] = {"bytes=0-40960", "bytes=40960-81920", "bytes=81920-122880"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(requests[i].method, QByteArray("GET"));
        QCOMPARE(requests[i].header("Range"), expected[i]);
        QCOMPARE(requests[i].headerCount("Range"), 1);
        QCOMPARE(requests[i].header("Content-Type"), QByteArray("application/octet-stream"));
        QCOMPARE(requests[i].header("Accept-Encoding"), QByteArray("identity"));
    }
}

void TestRangeTransfer::reportsProgressPerRange_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QList<qint64>>("lastBytes");
    QTest::newRow("1000 bytes") << 1000LL << QList<qint64>{999};
    QTest::newRow("one full range") << 40961LL << QList<qint64>{40960};
    QTest::newRow("one byte more") << 40962LL << QList<qint64>{40960, 40961};
    QTest::newRow("empty") << 0LL << QList<qint64>{};
}

void TestRangeTransfer::reportsProgressPerRange()
{
    QFETCH(qint64, size);
    QFETCH(QList<qint64>, lastBytes);
    m_server.setFile("/p.swf", patternedBytes(size, 3));
    RangeTransfer transfer(m_server.url(QStringLiteral("/p.swf")), {RangeWaitMs});
    QSignalSpy progressed(&transfer, &RangeTransfer::progressed);
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::Completed));
    QCOMPARE(progressed.size(), lastBytes.size());
    for (int i = 0; i < lastBytes.size(); ++i) {
        QCOMPARE(progressed.at(i).at(0).toLongLong(), lastBytes[i]);
        QCOMPARE(progressed.at(i).at(1).toLongLong(), size);
    }
    QCOMPARE(transfer.takeData(), patternedBytes(size, 3));
}

// Each range repeats the last byte of the one before; a file replaced on the
// server between two ranges is caught there instead of being stitched
// together from two versions.
void TestRangeTransfer::fileChangingBetweenRangesFails()
{
    const qint64 size = 3 * Server::RangeStep;
    m_server.setFile("/c.swf", patternedBytes(size, 1));
    RangeTransfer transfer(m_server.url(QStringLiteral("/c.swf")), {RangeWaitMs});
    connect(&transfer, &RangeTransfer::progressed, this,
            [this, size] { m_server.setFile("/c.swf", patternedBytes(size, 2)); });
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::BadRange));
    QVERIFY(transfer.takeData().isEmpty());
}

void TestRangeTransfer::totalAboveTheCapIsRefused_data()
{
    QTest::addColumn<qint64>("cap");
    QTest::addColumn<TransferOutcome>("expected");
    QTest::newRow("at the cap") << 100000LL << TransferOutcome::Completed;
    QTest::newRow("one below") << 99999LL << TransferOutcome::BadRange;
}

void TestRangeTransfer::totalAboveTheCapIsRefused()
{
    QFETCH(qint64, cap);
    QFETCH(TransferOutcome, expected);
    m_server.setFile("/cap.swf", patternedBytes(100000));
    RangeTransfer transfer(m_server.url(QStringLiteral("/cap.swf")), {RangeWaitMs, cap});
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(transfer.outcome()), describe(expected));
    // Refused at the headers of the first range: nothing more is asked for.
    QCOMPARE(m_server.requests().size(), expected == TransferOutcome::Completed ? 3 : 1);
}

void TestRangeTransfer::abortEndsAtOnce()
{
    m_server.setFile("/s.swf", patternedBytes(1000));
    m_server.setFault("/s.swf", FaultServer::Fault::StallAfterHeaders);
    RangeTransfer transfer(m_server.url(QStringLiteral("/s.swf")), {RangeWaitMs});
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QTRY_COMPARE(m_server.requests().size(), 1);
    transfer.abort();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::Aborted));
    QVERIFY(!transfer.isRunning());
    QTest::qWait(RangeWaitMs + 200); // the range timer must not fire afterwards
    QCOMPARE(finished.size(), 1);
}

void TestRangeTransfer::nonHttpUrlIsRefused_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::newRow("file") << QUrl::fromLocalFile(QStringLiteral("/etc/hostname"));
    QTest::newRow("data") << QUrl(QStringLiteral("data:,hello"));
    QTest::newRow("empty") << QUrl();
}

void TestRangeTransfer::nonHttpUrlIsRefused()
{
    QFETCH(QUrl, url);
    RangeTransfer transfer(url, {RangeWaitMs});
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QCOMPARE(finished.size(), 0); // never from inside start()
    QVERIFY(finished.wait(1000));
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::NetworkError));
}

void TestRangeTransfer::canRunAgain()
{
    m_server.setFile("/again.swf", patternedBytes(50000));
    m_server.setFault("/again.swf", FaultServer::Fault::Status502, 1);
    RangeTransfer transfer(m_server.url(QStringLiteral("/again.swf")), {RangeWaitMs});
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::ServerError));
    QCOMPARE(transfer.lastStatus(), 502);
    m_server.clearFaults();
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(transfer.outcome()), describe(TransferOutcome::Completed));
    QCOMPARE(transfer.takeData(), patternedBytes(50000));
    QCOMPARE(m_server.rangesFor("/again.swf").last(), QByteArray("bytes=40960-81920"));
}

QTEST_GUILESS_MAIN(TestRangeTransfer)
#include "test_rangetransfer.moc"
