#include "download/resumabledownload.h"
#include "support/nginxserver.h"
#include "support/testbytes.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
    void initTestCase();
    void gzipIsReallyOn();
    void sizes_data();
    void sizes();
    void missingFileIsNotFound();

private:
    QTemporaryDir m_root;
    QTemporaryDir m_out;
    NginxServer m_nginx;
    QNetworkAccessManager m_network;
};

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
    QFETCH(qint64, size);
    const QString name = QStringLiteral("f%1.swf").arg(size);
    const QByteArray content = patternedBytes(size);
    QFile served(m_root.filePath(name));
    QVERIFY(served.open(QIODevice::WriteOnly));
    QCOMPARE(served.write(content), size);
    served.close();
    const QString finalPath = m_out.filePath(name);
    const QString temporary = finalPath + QStringLiteral(".tmp");
    const qsizetype logBefore = m_nginx.accessLog().size();

    ResumableDownload download(RangeWaitMs);
    QSignalSpy finished(&download, &ResumableDownload::finished);
    download.start(m_nginx.url(u'/' + name), temporary, finalPath);
    QVERIFY(finished.wait(20000));
    QCOMPARE(describe(finished.at(0).at(0).value<TransferOutcome>()),
             describe(TransferOutcome::Completed));
    QVERIFY(readFileOrMissing(finalPath) == content);
    QVERIFY(!QFile::exists(temporary));

    // nginx writes a line after it has sent the answer, which may be after
    // the client has already finished with it.
    QTRY_COMPARE(m_nginx.accessLog().size() - logBefore, expectedRanges(size).size());
    const QList<NginxServer::LogEntry> log = m_nginx.accessLog().mid(logBefore);
    QList<QByteArray> ranges;
    for (const NginxServer::LogEntry &entry : log) {
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
    ResumableDownload download(RangeWaitMs);
    QSignalSpy finished(&download, &ResumableDownload::finished);
    download.start(m_nginx.url(QStringLiteral("/nothing.swf")), finalPath + QStringLiteral(".tmp"),
                   finalPath);
    QVERIFY(finished.wait());
    QCOMPARE(describe(finished.at(0).at(0).value<TransferOutcome>()),
             describe(TransferOutcome::NotFound));
    QCOMPARE(readFileOrMissing(finalPath), QByteArray("kept"));
}

QTEST_GUILESS_MAIN(TestNginxTransfer)
#include "test_nginxtransfer.moc"
