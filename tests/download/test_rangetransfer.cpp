#include "core/download/rangetransfer.h"
#include "core/download/server.h"
#include "support/downloadinside.h"
#include "support/faultserver.h"
#include "support/testbytes.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

using Fault = FaultServer::Fault;
using SentAhead = FaultServer::SentAhead;

namespace {

constexpr int RangeWaitMs = 1500;

// The Range headers of the whole chain for a file of this size.
QList<QByteArray> chainFor(qint64 size)
{
    QList<QByteArray> chain;
    for (int i = 0; i <= FaultServer::lastRangeIndex(size); ++i)
        chain.append("bytes=" + QByteArray::number(i * Server::RangeStep) + '-' +
                     QByteArray::number((i + 1) * Server::RangeStep));
    return chain;
}

} // namespace

class TestRangeTransfer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data();
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
    void serversTakingRequestsAhead_data();
    void serversTakingRequestsAhead();

private:
    static RangeTransfer::Options options(qint64 maxTotal = RangeTransfer::DefaultMaxTotal);

    FaultServer m_server;
};

// Every test runs with the ranges asked for one at a time from a server that
// closes after each answer, and asked for ahead from one that keeps its
// connections as nginx does.
void TestRangeTransfer::initTestCase_data()
{
    QTest::addColumn<int>("rangesInFlight");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("sent ahead") << RangeTransfer::DefaultRangesInFlight;
}

RangeTransfer::Options TestRangeTransfer::options(qint64 maxTotal)
{
    QFETCH_GLOBAL(int, rangesInFlight);
    return {RangeWaitMs, maxTotal, rangesInFlight};
}

void TestRangeTransfer::initTestCase()
{
    QVERIFY(m_server.listen());
}

void TestRangeTransfer::init()
{
    QFETCH_GLOBAL(int, rangesInFlight);
    m_server.setKeepAlive(rangesInFlight > 1);
    m_server.clearFaults();
    m_server.clearRequests();
}

void TestRangeTransfer::asksForOverlappingRanges()
{
    const QByteArray content = patternedBytes(2 * Server::RangeStep + 2);
    m_server.setFile("/three.swf", content);
    RangeTransfer transfer(m_server.url(QStringLiteral("/three.swf")), options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::Completed));
    QCOMPARE(TransferInside::lastStatus(transfer), 206);
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
    RangeTransfer transfer(m_server.url(QStringLiteral("/p.swf")), options());
    QSignalSpy progressed(&transfer, &RangeTransfer::progressed);
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::Completed));
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
    RangeTransfer transfer(m_server.url(QStringLiteral("/c.swf")), options());
    connect(&transfer, &RangeTransfer::progressed, this,
            [this, size] { m_server.setFile("/c.swf", patternedBytes(size, 2)); });
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::BadRange));
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
    RangeTransfer transfer(m_server.url(QStringLiteral("/cap.swf")), options(cap));
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(expected));
    // Refused at the headers of the first range: nothing more is asked for.
    QCOMPARE(m_server.requests().size(), expected == TransferOutcome::Completed ? 3 : 1);
}

void TestRangeTransfer::abortEndsAtOnce()
{
    m_server.setFile("/s.swf", patternedBytes(1000));
    m_server.setFault("/s.swf", FaultServer::Fault::StallAfterHeaders);
    RangeTransfer transfer(m_server.url(QStringLiteral("/s.swf")), options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QTRY_COMPARE(m_server.requests().size(), 1);
    transfer.abort();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::Aborted));
    QVERIFY(!TransferInside::isRunning(transfer));
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
    RangeTransfer transfer(url, options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QCOMPARE(finished.size(), 0); // never from inside start()
    QVERIFY(finished.wait(1000));
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::NetworkError));
}

void TestRangeTransfer::canRunAgain()
{
    m_server.setFile("/again.swf", patternedBytes(50000));
    m_server.setFault("/again.swf", FaultServer::Fault::Status502, 1);
    RangeTransfer transfer(m_server.url(QStringLiteral("/again.swf")), options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::ServerError));
    QCOMPARE(TransferInside::lastStatus(transfer), 502);
    m_server.clearFaults();
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(TransferOutcome::Completed));
    QCOMPARE(transfer.takeData(), patternedBytes(50000));
    QCOMPARE(m_server.rangesFor("/again.swf").last(), QByteArray("bytes=40960-81920"));
}

// Whatever a server does with requests sent ahead of their turn, the chain
// ends as it would one range at a time, and the server is asked for the
// chain's ranges only, each first in its turn.
void TestRangeTransfer::serversTakingRequestsAhead_data()
{
    QTest::addColumn<bool>("keepAlive");
    QTest::addColumn<SentAhead>("sentAhead");
    QTest::addColumn<Fault>("fault"); // at range 2
    QTest::addColumn<TransferOutcome>("expected");
    QTest::addColumn<bool>("seesRequestsAhead");
    QTest::addColumn<int>("connections"); // 0: any number

    const auto answered = SentAhead::Answered;
    const auto completed = TransferOutcome::Completed;
    QTest::newRow("nginx-like") << true << answered << Fault::None << completed << true << 1;
    QTest::newRow("closes after every answer")
        << false << answered << Fault::None << completed << false << 8;
    QTest::newRow("closes with requests waiting")
        << true << answered << Fault::CloseWithRequestsWaiting << completed << true << 2;
    QTest::newRow("answers out of order")
        << true << answered << Fault::OutOfOrder << completed << true << 0;
    QTest::newRow("416 in the middle")
        << true << answered << Fault::Status416 << TransferOutcome::BadRange << true << 0;
    QTest::newRow("refuses requests sent ahead")
        << true << SentAhead::Refused << Fault::None << completed << true << 0;
    // Costs one wait for the answer that never comes.
    QTest::newRow("drops requests sent ahead")
        << true << SentAhead::Dropped << Fault::None << completed << false << 0;
}

void TestRangeTransfer::serversTakingRequestsAhead()
{
    QFETCH_GLOBAL(int, rangesInFlight);
    QFETCH(bool, keepAlive);
    QFETCH(SentAhead, sentAhead);
    QFETCH(Fault, fault);
    QFETCH(TransferOutcome, expected);
    QFETCH(bool, seesRequestsAhead);
    QFETCH(int, connections);
    const qint64 size = 7 * Server::RangeStep + 500; // eight ranges
    const QByteArray content = patternedBytes(size, 5);
    m_server.setFile("/ahead.swf", content);
    m_server.setKeepAlive(keepAlive, sentAhead);
    m_server.setFault("/ahead.swf", fault, 2);

    RangeTransfer transfer(m_server.url(QStringLiteral("/ahead.swf")), options());
    QSignalSpy progressed(&transfer, &RangeTransfer::progressed);
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait(3 * RangeWaitMs));
    QCOMPARE(describe(TransferInside::outcome(transfer)), describe(expected));

    const QList<QByteArray> chain = chainFor(size);
    QList<QByteArray> firstAsked;
    QSet<int> connectionsUsed;
    bool ahead = false;
    for (const FaultServer::Request &request : m_server.requests()) {
        if (!firstAsked.contains(request.header("Range")))
            firstAsked.append(request.header("Range"));
        connectionsUsed.insert(request.connection);
        ahead = ahead || request.sentAhead;
    }
    QCOMPARE(firstAsked, chain.mid(0, firstAsked.size()));
    QCOMPARE(ahead, seesRequestsAhead && rangesInFlight > 1);
    if (expected != TransferOutcome::Completed)
        return;
    QCOMPARE(transfer.takeData(), content);
    QCOMPARE(firstAsked, chain);
    if (connections > 0)
        QCOMPARE(connectionsUsed.size(), connections);
    // One progress step per range, in the order of the file.
    QCOMPARE(progressed.size(), chain.size());
    for (int i = 0; i < chain.size(); ++i)
        QCOMPARE(progressed.at(i).at(0).toLongLong(), qMin((i + 1) * Server::RangeStep, size - 1));
}

QTEST_GUILESS_MAIN(TestRangeTransfer)
#include "test_rangetransfer.moc"
