// The range chain's own HTTP connection: reuse between ranges, a fresh
// connection when the server dropped an idle one, requests sent ahead, and
// how answers are framed.
#include "core/download/httpconnection.h"
#include "core/download/rangetransfer.h"
#include "core/download/server.h"
#include "support/downloadinside.h"
#include "support/testbytes.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <functional>

namespace {

// A loopback server that answers each request head with whatever the test
// says, and keeps the connection unless told otherwise.
class ScriptedServer : public QObject
{
public:
    struct Answer
    {
        QByteArray bytes;
        bool close = false; // close after writing (without answering, if bytes is empty)
    };
    using Script = std::function<Answer(const QByteArray &head)>;

    explicit ScriptedServer(Script script) : m_script(std::move(script))
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                ++connections;
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    QUrl url(const QString &path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path));
    }

    int connections = 0;
    QList<QByteArray> heads;
    int answersPerConnection = 0; // then the connection closes without a word; 0: never

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        qsizetype end;
        while ((end = pending.indexOf("\r\n\r\n")) >= 0) {
            const QByteArray head = pending.left(end);
            pending.remove(0, end + 4);
            heads.append(head);
            const Answer answer = m_script(head);
            socket->write(answer.bytes);
            if (answer.close || ++m_answered[socket] == answersPerConnection) {
                m_pending.remove(socket);
                socket->disconnectFromHost();
                return;
            }
        }
    }

    QTcpServer m_server;
    Script m_script;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QHash<QTcpSocket *, int> m_answered;
};

// The 206 nginx would send for the Range in head.
QByteArray rangeAnswer(const QByteArray &content, const QByteArray &head)
{
    const qsizetype at = head.indexOf("Range: bytes=");
    const QByteArray asked = head.mid(at + 13, head.indexOf("\r\n", at) - at - 13);
    const qint64 first = asked.left(asked.indexOf('-')).toLongLong();
    const qint64 last = qMin(asked.mid(asked.indexOf('-') + 1).toLongLong(), content.size() - 1);
    const QByteArray body = content.mid(first, last - first + 1);
    return "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + QByteArray::number(first) +
           '-' + QByteArray::number(last) + '/' + QByteArray::number(content.size()) +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

const QByteArray File = patternedBytes(2 * Server::RangeStep + 100); // three ranges

} // namespace

class TestHttpConnection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase_data();
    void chainKeepsOneConnection();
    void unansweredReuseIsSentAgainOnce_data();
    void unansweredReuseIsSentAgainOnce();
    void framing_data();
    void framing();
    void chunkedRangeIsRefused();
    void requestsSentTogether_data();
    void requestsSentTogether();

private:
    static RangeTransfer::Options options();
};

void TestHttpConnection::initTestCase_data()
{
    QTest::addColumn<int>("rangesInFlight");
    QTest::newRow("one at a time") << 1;
    QTest::newRow("sent ahead") << RangeTransfer::DefaultRangesInFlight;
}

RangeTransfer::Options TestHttpConnection::options()
{
    QFETCH_GLOBAL(int, rangesInFlight);
    return {2000, RangeTransfer::DefaultMaxTotal, rangesInFlight};
}

void TestHttpConnection::chainKeepsOneConnection()
{
    ScriptedServer server(
        [](const QByteArray &head) { return ScriptedServer::Answer{rangeAnswer(File, head)}; });
    QVERIFY(server.listen());
    RangeTransfer transfer(server.url(QStringLiteral("/a.swf")), options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(TransferInside::outcome(transfer), TransferOutcome::Completed);
    QCOMPARE(transfer.takeData(), File);
    QCOMPARE(server.heads.size(), 3);
    QCOMPARE(server.connections, 1);
    QVERIFY(server.heads[1].startsWith("GET /a.swf HTTP/1.1\r\nHost: 127.0.0.1:"));
}

// A server may close an idle kept-alive connection just as the next request
// goes out on it. That request never reached it, so it is sent once more on
// a fresh connection; a server that never answers is still a failure.
void TestHttpConnection::unansweredReuseIsSentAgainOnce_data()
{
    QTest::addColumn<int>("unanswered"); // second-range requests closed unanswered
    QTest::addColumn<TransferOutcome>("outcome");
    QTest::addColumn<int>("connections");
    QTest::newRow("once") << 1 << TransferOutcome::Completed << 2;
    QTest::newRow("every time") << 100 << TransferOutcome::NetworkError << 2;
}

void TestHttpConnection::unansweredReuseIsSentAgainOnce()
{
    QFETCH(int, unanswered);
    QFETCH(TransferOutcome, outcome);
    QFETCH(int, connections);
    int dropped = 0;
    ScriptedServer server([&](const QByteArray &head) {
        if (head.contains("bytes=40960-") && dropped < unanswered) {
            ++dropped;
            return ScriptedServer::Answer{{}, true};
        }
        return ScriptedServer::Answer{rangeAnswer(File, head)};
    });
    QVERIFY(server.listen());
    RangeTransfer transfer(server.url(QStringLiteral("/a.swf")), options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(TransferInside::outcome(transfer), outcome);
    QCOMPARE(server.connections, connections);
    QCOMPARE(dropped, qMin(unanswered, 2));
}

void TestHttpConnection::framing_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("closeAfter");
    QTest::addColumn<bool>("completes");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("by length, rest ignored")
        << QByteArray("HTTP/1.1 206 X\r\nContent-Length: 3\r\n\r\nabc") << false << true << 206
        << QByteArray("abc");
    QTest::newRow("interim answer first")
        << QByteArray("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 206 X\r\nContent-Length: 2\r\n\r\nok")
        << false << true << 206 << QByteArray("ok");
    QTest::newRow("bare line ends") << QByteArray("HTTP/1.1 206 X\nContent-Length: 2\n\nok")
                                    << false << true << 206 << QByteArray("ok");
    QTest::newRow("body until the close") << QByteArray("HTTP/1.0 206 X\r\n\r\nuntil close") << true
                                          << true << 206 << QByteArray("until close");
    QTest::newRow("cut short") << QByteArray("HTTP/1.1 206 X\r\nContent-Length: 10\r\n\r\nabc")
                               << true << false << 206 << QByteArray("abc");
    QTest::newRow("closed before the head")
        << QByteArray("HTTP/1.1 206 X\r\nContent-") << true << false << 0 << QByteArray();
    QTest::newRow("not http") << QByteArray("SSH-2.0-x\r\n\r\n") << false << false << 0
                              << QByteArray();
    QTest::newRow("two lengths") << QByteArray("HTTP/1.1 206 X\r\nContent-Length: 3\r\n"
                                               "Content-Length: 4\r\n\r\nabcd")
                                 << false << false << 0 << QByteArray();
    QTest::newRow("signed length") << QByteArray("HTTP/1.1 206 X\r\nContent-Length: -3\r\n\r\n")
                                   << false << false << 0 << QByteArray();
    QTest::newRow("endless head") << "HTTP/1.1 206 X\r\nX: " +
                                         QByteArray(HttpConnection::MaxHeadBytes + 10, 'a')
                                  << false << false << 0 << QByteArray();
}

void TestHttpConnection::framing()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, closeAfter);
    QFETCH(bool, completes);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    ScriptedServer server([&](const QByteArray &) {
        return ScriptedServer::Answer{answer, closeAfter};
    });
    QVERIFY(server.listen());
    HttpConnection connection;
    QByteArray received;
    connect(&connection, &HttpConnection::bodyReceived, this,
            [&] { received += connection.takeBody(); });
    QSignalSpy finished(&connection, &HttpConnection::finished);
    QSignalSpy failed(&connection, &HttpConnection::failed);
    connection.get(server.url(QStringLiteral("/x")), {});
    QTRY_COMPARE(finished.size() + failed.size(), 1);
    QCOMPARE(finished.size(), completes ? 1 : 0);
    if (status)
        QCOMPARE(connection.head().status, status);
    QCOMPARE(received, body);
    QTest::qWait(50); // nothing more follows
    QCOMPARE(finished.size() + failed.size(), 1);
}

void TestHttpConnection::chunkedRangeIsRefused()
{
    ScriptedServer server([](const QByteArray &) {
        return ScriptedServer::Answer{
            "HTTP/1.1 206 X\r\nContent-Range: bytes 0-2/3\r\nTransfer-Encoding: chunked\r\n\r\n"
            "3\r\nabc\r\n0\r\n\r\n",
            true};
    });
    QVERIFY(server.listen());
    RangeTransfer transfer(server.url(QStringLiteral("/c.swf")), options());
    QSignalSpy finished(&transfer, &RangeTransfer::finished);
    transfer.start();
    QVERIFY(finished.wait());
    QCOMPARE(TransferInside::outcome(transfer), TransferOutcome::BadRange);
}

// Three requests at once: the answers come back in order, and requests a
// server ends the connection on go out again on a fresh one.
void TestHttpConnection::requestsSentTogether_data()
{
    QTest::addColumn<bool>("saysClose");
    QTest::addColumn<int>("answersPerConnection");
    QTest::addColumn<int>("connections");
    QTest::addColumn<bool>("stillPipelining");
    QTest::newRow("kept alive") << false << 0 << 1 << true;
    QTest::newRow("closes after two") << false << 2 << 2 << true;
    // Taking one request per connection, such a server gets one at a time.
    QTest::newRow("closes after each, saying so") << true << 0 << 3 << false;
    QTest::newRow("closes after each, silently") << false << 1 << 3 << false;
}

void TestHttpConnection::requestsSentTogether()
{
    QFETCH(bool, saysClose);
    QFETCH(int, answersPerConnection);
    QFETCH(int, connections);
    QFETCH(bool, stillPipelining);
    ScriptedServer server([&](const QByteArray &head) {
        const QByteArray name = head.mid(5, 1); // "GET /a ..."
        return ScriptedServer::Answer{"HTTP/1.1 200 X\r\nContent-Length: 1\r\n" +
                                          QByteArray(saysClose ? "Connection: close\r\n" : "") +
                                          "\r\n" + name,
                                      saysClose};
    });
    server.answersPerConnection = answersPerConnection;
    QVERIFY(server.listen());
    HttpConnection connection;
    connection.setPipelining(true);
    QByteArray received;
    connect(&connection, &HttpConnection::finished, this,
            [&] { received += connection.takeBody(); });
    QSignalSpy failed(&connection, &HttpConnection::failed);
    for (const char *path : {"/a", "/b", "/c"})
        connection.get(server.url(QString::fromLatin1(path)), {});
    QCOMPARE(connection.waiting(), 3);
    QTRY_COMPARE(received, QByteArray("abc"));
    QCOMPARE(failed.size(), 0);
    QCOMPARE(connection.waiting(), 0);
    QCOMPARE(server.connections, connections);
    QCOMPARE(connection.isPipelining(), stillPipelining);
}

QTEST_GUILESS_MAIN(TestHttpConnection)
#include "test_httpconnection.moc"
