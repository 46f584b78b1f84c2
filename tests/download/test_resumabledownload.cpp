#include "core/download/resumabledownload.h"
#include "core/download/server.h"
#include "support/faultserver.h"
#include "support/testbytes.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Fault = FaultServer::Fault;

namespace {

constexpr int RangeWaitMs = 1500;
// Five ranges: a first, a middle (index 2) and a last (index 4).
constexpr qint64 FileSize = 4 * Server::RangeStep + 1000;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestResumableDownload : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void init();
    void everyFaultAtEveryPlace_data();
    void everyFaultAtEveryPlace();
    void redirectIsNotFollowed();
    void temporaryFileIsEmptyUntilTheEnd();
    void unreachableServerFailsQuickly();
    void unusableTemporaryPathFails_data();
    void unusableTemporaryPathFails();
    void destroyingTheContextStopsTheTransfer();
    void functionFormReportsTheOutcome();

private:
    TransferOutcome run(const QUrl &url);
    QUrl url() const { return m_server.url(QString::fromLatin1(m_path)); }

    FaultServer m_server;
    QTemporaryDir m_dir;
    QString m_temporary;
    QString m_final;
    const QByteArray m_content = patternedBytes(FileSize);
    QByteArray m_path;
    int m_counter = 0;
};

// Every fault once with the ranges asked for one at a time from a server
// that closes after each answer, and once asked for ahead from a server that
// keeps its connections: the outcome and the files must not tell them apart.
void TestResumableDownload::initTestCase_data()
{
    QTest::addColumn<int>("rangesInFlight");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("sent ahead") << RangeTransfer::DefaultRangesInFlight;
}

void TestResumableDownload::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(m_server.listen());
    m_server.setDripIntervalMs(100);
}

void TestResumableDownload::init()
{
    QFETCH_GLOBAL(int, rangesInFlight);
    m_server.setKeepAlive(rangesInFlight > 1);
    m_server.clearFaults();
    m_server.clearRequests();
    // A path of its own for every test, so that a request still under way
    // from the test before is never counted as this test's.
    m_path = "/t" + QByteArray::number(++m_counter) + ".swf";
    m_server.setFile(m_path, m_content);
    m_temporary = m_dir.filePath(QStringLiteral("f.tmp"));
    m_final = m_dir.filePath(QStringLiteral("f.swf"));
    QFile::remove(m_temporary);
    writeFile(m_final, "previous content");
}

TransferOutcome TestResumableDownload::run(const QUrl &url)
{
    QFETCH_GLOBAL(int, rangesInFlight);
    ResumableDownload download({RangeWaitMs, RangeTransfer::DefaultMaxTotal, rangesInFlight});
    QSignalSpy finished(&download, &ResumableDownload::finished);
    download.start(url, m_temporary, m_final);
    if (!finished.wait(2 * RangeWaitMs + 5000))
        return TransferOutcome::Aborted;
    return finished.at(0).at(0).value<TransferOutcome>();
}

void TestResumableDownload::everyFaultAtEveryPlace_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("rangeIndex");
    QTest::addColumn<TransferOutcome>("expected");
    QTest::addColumn<QByteArray>("expectedFile"); // after success

    const int last = FaultServer::lastRangeIndex(FileSize);
    QCOMPARE(last, 4);
    const struct
    {
        Fault fault;
        TransferOutcome outcome;
    } cases[] = {
        {Fault::None, TransferOutcome::Completed},
        {Fault::Status403, TransferOutcome::TooManyConnections},
        {Fault::Status404, TransferOutcome::NotFound},
        {Fault::Status500, TransferOutcome::ServerError},
        {Fault::Status502, TransferOutcome::ServerError},
        {Fault::WholeFile200, TransferOutcome::NotResumable},
        {Fault::Empty200, TransferOutcome::NotResumable},
        {Fault::Status416, TransferOutcome::BadRange},
        {Fault::WrongStart, TransferOutcome::BadRange},
        {Fault::WrongEnd, TransferOutcome::BadRange},
        {Fault::MissingContentRange, TransferOutcome::MissingContentRange},
        {Fault::MalformedContentRange, TransferOutcome::BadRange},
        {Fault::DuplicateContentRange, TransferOutcome::BadRange},
        {Fault::ChangingTotal, TransferOutcome::BadRange},
        {Fault::LongerBody, TransferOutcome::BadRange},
        {Fault::ShorterBody, TransferOutcome::NetworkError},
        {Fault::WrongContentLength, TransferOutcome::BadRange},
        {Fault::ResetMidBody, TransferOutcome::NetworkError},
        {Fault::StallAfterHeaders, TransferOutcome::TimedOut},
        {Fault::SlowDrip, TransferOutcome::TimedOut},
        {Fault::Redirect, TransferOutcome::ServerError},
        {Fault::Gzip, TransferOutcome::BadRange},
        {Fault::HugeTotal, TransferOutcome::BadRange},
    };
    const char *places[] = {"first", "middle", "last"};
    const int indexes[] = {0, last / 2, last};
    for (const auto &c : cases) {
        for (int p = 0; p < 3; ++p) {
            TransferOutcome expected = c.outcome;
            QByteArray file = m_content;
            // Before any byte has come, "past the end" and an empty 200 both
            // describe an empty file on the server.
            if (indexes[p] == 0 && (c.fault == Fault::Status416 || c.fault == Fault::Empty200)) {
                expected = TransferOutcome::Completed;
                file.clear();
            }
            const QByteArray name = QMetaEnum::fromType<Fault>().valueToKey(int(c.fault));
            QTest::addRow("%s at %s", name.constData(), places[p])
                << c.fault << indexes[p] << expected << file;
        }
    }
}

void TestResumableDownload::everyFaultAtEveryPlace()
{
    QFETCH(Fault, fault);
    QFETCH(int, rangeIndex);
    QFETCH(TransferOutcome, expected);
    QFETCH(QByteArray, expectedFile);
    m_server.setFault(m_path, fault, rangeIndex);

    const TransferOutcome outcome = run(url());

    QCOMPARE(describe(outcome), describe(expected));
    QVERIFY2(!QFile::exists(m_temporary), "the temporary file is left behind");
    if (expected == TransferOutcome::Completed) {
        QCOMPARE(readFileOrMissing(m_final), expectedFile);
    } else {
        QCOMPARE(readFileOrMissing(m_final), QByteArray("previous content"));
    }
    // The range that decided the outcome; a transfer whose total changes at
    // the first range fails one range later.
    const int last = FaultServer::lastRangeIndex(FileSize);
    int decider = expected != TransferOutcome::Completed ? rangeIndex
                  : expectedFile.isEmpty()               ? 0
                                                         : last;
    if (fault == Fault::ChangingTotal && rangeIndex == 0)
        decider = 1;
    const QList<QByteArray> ranges = m_server.rangesFor(m_path);
    QFETCH_GLOBAL(int, rangesInFlight);
    if (rangesInFlight == 1) {
        // Nothing is asked for after the range that decided. Qt itself may
        // send a request again once after its connection broke.
        const int resent = fault == Fault::ResetMidBody && ranges.size() == decider + 2;
        QCOMPARE(ranges.size(), decider + 1 + resent);
        return;
    }
    // The ranges after the first are asked for ahead; the one whose answer
    // failed is asked for once more, alone, before the transfer gives up.
    const bool again = expected != TransferOutcome::Completed && decider > 0;
    QList<QByteArray> firstAsked;
    for (const QByteArray &range : ranges)
        if (!firstAsked.contains(range))
            firstAsked.append(range);
    QVERIFY(firstAsked.size() > decider && firstAsked.size() <= last + 1);
    for (int i = 0; i < firstAsked.size(); ++i)
        QCOMPARE(firstAsked[i], "bytes=" + QByteArray::number(i * Server::RangeStep) + '-' +
                                    QByteArray::number((i + 1) * Server::RangeStep));
    QCOMPARE(ranges.count(firstAsked[decider]), again ? 2 : 1);
    QCOMPARE(ranges.size(), firstAsked.size() + again);
    if (again)
        QVERIFY(!m_server.requests().last().sentAhead);
}

void TestResumableDownload::redirectIsNotFollowed()
{
    m_server.setFile("/moved" + m_path, m_content);
    m_server.setFault(m_path, Fault::Redirect);
    QCOMPARE(describe(run(url())), describe(TransferOutcome::ServerError));
    for (const FaultServer::Request &request : m_server.requests())
        QVERIFY(!request.path.startsWith("/moved"));
    m_server.removeFile("/moved" + m_path);
}

void TestResumableDownload::temporaryFileIsEmptyUntilTheEnd()
{
    // Stall the last range so that the state in between can be looked at.
    m_server.setFault(m_path, Fault::StallAfterHeaders, 4);
    QFETCH_GLOBAL(int, rangesInFlight);
    ResumableDownload download({RangeWaitMs, RangeTransfer::DefaultMaxTotal, rangesInFlight});
    QSignalSpy finished(&download, &ResumableDownload::finished);
    download.start(url(), m_temporary, m_final);
    QVERIFY(QFile::exists(m_temporary));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.rangesFor(m_path).size(), 5, 3000);
    QCOMPARE(QFileInfo(m_temporary).size(), 0);
    QCOMPARE(readFileOrMissing(m_final), QByteArray("previous content"));
    // A range asked for ahead is waited for twice: ahead, then alone.
    QVERIFY(finished.wait(2 * RangeWaitMs + 1000));
    QVERIFY(!QFile::exists(m_temporary));
}

void TestResumableDownload::unreachableServerFailsQuickly()
{
    QUrl url;
    {
        FaultServer closed;
        QVERIFY(closed.listen());
        url = closed.url(QString::fromLatin1(m_path));
    } // the port closes here
    // A refused connection is a network error at once, not a range that
    // timed out waiting.
    QCOMPARE(describe(run(url)), describe(TransferOutcome::NetworkError));
    QVERIFY(!QFile::exists(m_temporary));
    QCOMPARE(readFileOrMissing(m_final), QByteArray("previous content"));
}

void TestResumableDownload::unusableTemporaryPathFails_data()
{
    QTest::addColumn<QString>("temporary");
    QTest::newRow("folder missing") << QStringLiteral("no-such-folder/f.tmp");
    QTest::newRow("same as final") << QStringLiteral("./f.swf");
}

void TestResumableDownload::unusableTemporaryPathFails()
{
    QFETCH(QString, temporary);
    m_temporary = m_dir.filePath(temporary);
    QCOMPARE(describe(run(url())), describe(TransferOutcome::FileError));
    QCOMPARE(readFileOrMissing(m_final), QByteArray("previous content"));
    QVERIFY(m_server.rangesFor(m_path).isEmpty());
}

void TestResumableDownload::destroyingTheContextStopsTheTransfer()
{
    m_server.setFault(m_path, Fault::StallAfterHeaders, 2);
    auto *context = new QObject;
    bool called = false;
    downloadWithResume(RangeWaitMs, url(), m_temporary, m_final, context,
                       [&called](TransferOutcome) { called = true; });
    QTRY_VERIFY_WITH_TIMEOUT(m_server.rangesFor(m_path).size() >= 3, 3000);
    delete context;
    QVERIFY(!QFile::exists(m_temporary));
    QTest::qWait(RangeWaitMs + 200); // the range timer must not fire afterwards
    QVERIFY(!called);
    QCOMPARE(readFileOrMissing(m_final), QByteArray("previous content"));
}

void TestResumableDownload::functionFormReportsTheOutcome()
{
    QObject context;
    std::optional<TransferOutcome> outcome;
    downloadWithResume(RangeWaitMs, url(), m_temporary, m_final, &context,
                       [&outcome](TransferOutcome o) { outcome = o; });
    QVERIFY(!outcome.has_value()); // never from inside the call
    QTRY_VERIFY_WITH_TIMEOUT(outcome.has_value(), 5000);
    QCOMPARE(describe(*outcome), describe(TransferOutcome::Completed));
    QCOMPARE(readFileOrMissing(m_final), m_content);
    QTRY_VERIFY(context.children().isEmpty()); // the transfer cleans up after itself
}

QTEST_GUILESS_MAIN(TestResumableDownload)
#include "test_resumabledownload.moc"
