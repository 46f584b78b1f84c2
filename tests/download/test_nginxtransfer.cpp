#include "core/download/resumabledownload.h"
#include "support/nginxserver.h"
#include "support/testbytes.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

namespace {

constexpr int RangeWaitMs = 5000;

// The Range headers a client following the rules sends for a file.
QList<QByteArray> expectedRanges(qint64 size)
{
    QList<QByteArray> ranges;
    qint64 start = 0;
    do {
        ranges.append("bytes=" + QByteArray::number(start) + '-' +
                      QByteArray::number(start + 40960));
        start += 40960;
    } while (start < size - 1);
    return ranges;
}

} // namespace

class TestNginxTransfer : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data();
    void initTestCase();
    void gzipIsReallyOn();
    void sizes_data();
    void sizes();
    void missingFileIsNotFound();
    void connectionLimitMidChain();

private:
    static ResumableDownload *download(QObject *parent);
    // Fetches name from nginx and checks the file and what nginx logged,
    // which it leaves in m_log.
    void fetchAndCheck(const NginxServer &nginx, const QString &name, const QByteArray &content);
    // How many of the requests in m_log from the index on were pipelined.
    qsizetype pipelinedFrom(qsizetype index) const;

    QTemporaryDir m_root;
    QTemporaryDir m_out;
    NginxServer m_nginx;
    QNetworkAccessManager m_network;
    QList<NginxServer::LogEntry> m_log;
};

void TestNginxTransfer::initTestCase_data()
{
    QTest::addColumn<int>("rangesInFlight");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("sent ahead") << RangeTransfer::DefaultRangesInFlight;
}

ResumableDownload *TestNginxTransfer::download(QObject *parent)
{
    QFETCH_GLOBAL(int, rangesInFlight);
    return new ResumableDownload({RangeWaitMs, RangeTransfer::DefaultMaxTotal, rangesInFlight},
                                 parent);
}

void TestNginxTransfer::initTestCase()
{
    if (!QFile::exists(NginxServer::executable()))
        QSKIP("nginx is not installed (apt-get install nginx-light)");
    QVERIFY(m_root.isValid() && m_out.isValid());
    // nginx may run as another user; the served folder must be readable.
    QFile::setPermissions(m_root.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                             QFileDevice::ExeOther);
    QVERIFY2(m_nginx.start(m_root.path()), qPrintable(m_nginx.errorText()));
}

// Without this the identity header would be tested against a server that
// never compresses anyway.
void TestNginxTransfer::gzipIsReallyOn()
{
    QFile file(m_root.filePath(QStringLiteral("gz.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(patternedBytes(100000));
    file.close();
    QNetworkRequest request(m_nginx.url(QStringLiteral("/gz.txt")));
    request.setRawHeader("Range", "bytes=0-40960");
    request.setRawHeader("Accept-Encoding", "gzip");
    QNetworkReply *reply = m_network.get(request);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    QVERIFY(finished.wait());
    QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
    QCOMPARE(reply->rawHeader("Content-Encoding"), QByteArray("gzip"));
    reply->deleteLater();
}

void TestNginxTransfer::sizes_data()
{
    QTest::addColumn<qint64>("size");
    for (qint64 size : {0, 1, 1000, 40959, 40960, 40961, 40962, 81921, 1000000})
        QTest::addRow("%lld bytes", size) << size;
}

void TestNginxTransfer::sizes()
{
    QFETCH_GLOBAL(int, rangesInFlight);
    QFETCH(qint64, size);
    fetchAndCheck(m_nginx, QStringLiteral("f%1.swf").arg(size), patternedBytes(size));
    // Only ranges after the first are asked for ahead.
    if (rangesInFlight == 1 || m_log.size() < 3)
        QCOMPARE(pipelinedFrom(0), 0);
    else
        QVERIFY(pipelinedFrom(0) > 0);
}

qsizetype TestNginxTransfer::pipelinedFrom(qsizetype index) const
{
    return std::count_if(m_log.begin() + index, m_log.end(),
                         [](const NginxServer::LogEntry &entry) { return entry.pipelined; });
}

void TestNginxTransfer::fetchAndCheck(const NginxServer &nginx, const QString &name,
                                      const QByteArray &content)
{
    const qint64 size = content.size();
    QFile served(m_root.filePath(name));
    QVERIFY(served.open(QIODevice::WriteOnly));
    QCOMPARE(served.write(content), size);
    served.close();
    const QString finalPath = m_out.filePath(name);
    const QString temporary = finalPath + QStringLiteral(".tmp");
    const qsizetype logBefore = nginx.accessLog().size();

    QObject context;
    ResumableDownload *transfer = download(&context);
    QSignalSpy finished(transfer, &ResumableDownload::finished);
    transfer->start(nginx.url(u'/' + name), temporary, finalPath);
    QVERIFY(finished.wait(20000));
    QCOMPARE(describe(finished.at(0).at(0).value<TransferOutcome>()),
             describe(TransferOutcome::Completed));
    QVERIFY(readFileOrMissing(finalPath) == content);
    QVERIFY(!QFile::exists(temporary));

    // nginx writes a line after it has sent the answer, which may be after
    // the client has already finished with it.
    QTRY_COMPARE(nginx.accessLog().size() - logBefore, expectedRanges(size).size());
    m_log = nginx.accessLog().mid(logBefore);
    QList<QByteArray> ranges;
    for (const NginxServer::LogEntry &entry : std::as_const(m_log)) {
        QCOMPARE(entry.path, QByteArray("/" + name.toUtf8()));
        QCOMPARE(entry.status, size == 0 ? 200 : 206);
        QCOMPARE(entry.acceptEncoding, QByteArray("identity"));
        QCOMPARE(entry.contentType, QByteArray("application/octet-stream"));
        ranges.append(entry.range);
    }
    QCOMPARE(ranges, expectedRanges(size));
}

void TestNginxTransfer::missingFileIsNotFound()
{
    const QString finalPath = m_out.filePath(QStringLiteral("kept.swf"));
    QFile kept(finalPath);
    QVERIFY(kept.open(QIODevice::WriteOnly));
    kept.write("kept");
    kept.close();
    QObject context;
    ResumableDownload *transfer = download(&context);
    QSignalSpy finished(transfer, &ResumableDownload::finished);
    transfer->start(m_nginx.url(QStringLiteral("/nothing.swf")), finalPath + QStringLiteral(".tmp"),
                    finalPath);
    QVERIFY(finished.wait());
    QCOMPARE(describe(finished.at(0).at(0).value<TransferOutcome>()),
             describe(TransferOutcome::NotFound));
    QCOMPARE(readFileOrMissing(finalPath), QByteArray("kept"));
}

// nginx closes a connection after a number of requests (1000 by default)
// and drops whatever was sent after the last it answers. The ranges it never
// answered are asked for again on a fresh connection, each answered once.
void TestNginxTransfer::connectionLimitMidChain()
{
    NginxServer limited;
    limited.setKeepaliveRequests(4);
    QVERIFY2(limited.start(m_root.path()), qPrintable(limited.errorText()));
    fetchAndCheck(limited, QStringLiteral("limited.swf"), patternedBytes(1000000, 7));
    // Requests still go ahead on the connections after the first.
    QFETCH_GLOBAL(int, rangesInFlight);
    QCOMPARE(pipelinedFrom(4) > 0, rangesInFlight > 1);
}

QTEST_GUILESS_MAIN(TestNginxTransfer)
#include "test_nginxtransfer.moc"
