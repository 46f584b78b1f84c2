#include "core/download/httpconnection.h"

#include "core/download/server.h"

#include <QSslSocket>
#include <QTcpSocket>

namespace {

// The socket never holds more than this ahead of us; a body is taken as it
// comes, so a range never needs more.
constexpr qint64 SocketBufferBytes = 2 * Server::RangeStep;

bool isHttps(const QString &origin)
{
    return origin.startsWith(u"https:");
}

} // namespace

HttpConnection::HttpConnection(QObject *parent) : QObject(parent) {}

HttpConnection::~HttpConnection()
{
    close();
}

void HttpConnection::get(const QUrl &url, const Fields &fields)
{
    const QString origin = HttpMessage::originOf(url);
    if (!m_queue.isEmpty() && origin != m_origin)
        close();
    m_url = url;
    m_queue.append(HttpMessage::request(url, fields));
    if (m_queue.size() > 1) {
        writeQueued();
        return;
    }
    beginAnswer();
    if (m_socket && m_origin == origin && m_socket->state() == QAbstractSocket::ConnectedState &&
        m_socket->bytesAvailable() == 0 && m_in.isEmpty()) {
        writeQueued();
        return;
    }
    m_origin = origin;
    open();
}

void HttpConnection::close()
{
    ++m_generation;
    m_stage = Stage::Idle;
    m_queue.clear();
    m_written = 0;
    m_in.clear();
    m_body.clear();
    dropSocket();
}

// A fresh connection; the requests waiting all go out on it again.
void HttpConnection::open()
{
    dropSocket();
    m_written = 0;
    m_answeredOnSocket = 0;
    m_in.clear();
    m_answered = false;
    const bool https = isHttps(m_origin);
    QTcpSocket *socket = https ? new QSslSocket(this) : new QTcpSocket(this);
    m_socket = socket;
    socket->setReadBufferSize(SocketBufferBytes);
    connect(socket, &QTcpSocket::readyRead, this, &HttpConnection::onReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &HttpConnection::onClosed);
    connect(socket, &QTcpSocket::errorOccurred, this, &HttpConnection::onClosed);
    const QString host = m_url.host();
    const auto port = quint16(m_url.port(https ? 443 : 80));
    if (auto *ssl = qobject_cast<QSslSocket *>(socket)) {
        // Written data waits for the handshake.
        ssl->connectToHostEncrypted(host, port);
        onConnected();
        return;
    }
    connect(socket, &QTcpSocket::connected, this, &HttpConnection::onConnected);
    socket->connectToHost(host, port);
}

void HttpConnection::onConnected()
{
    m_writable = true;
    writeQueued();
}

void HttpConnection::writeQueued()
{
    if (!m_socket || !m_writable)
        return;
    const qsizetype limit = m_pipelining ? m_queue.size() : qMin<qsizetype>(1, m_queue.size());
    QByteArray out;
    while (m_written < limit)
        out += m_queue.at(m_written++);
    if (!out.isEmpty())
        m_socket->write(out);
}

void HttpConnection::beginAnswer()
{
    m_stage = Stage::AwaitingHead;
    m_head = Head();
    m_body.clear();
    m_answered = !m_in.isEmpty();
}

void HttpConnection::onReadyRead()
{
    if (!m_socket)
        return;
    const QByteArray data = m_socket->readAll();
    if (m_queue.isEmpty()) {
        // Nothing was asked: a server talking out of turn is not reused.
        if (!data.isEmpty())
            dropSocket();
        return;
    }
    m_answered = m_answered || !data.isEmpty();
    m_in.append(data);
    if (m_stage != Stage::Idle)
        process();
}

void HttpConnection::onClosed()
{
    QTcpSocket *socket = m_socket;
    if (!socket || sender() != socket)
        return;
    const quint64 generation = m_generation;
    onReadyRead(); // what came just before the end
    if (generation != m_generation || m_socket != socket)
        return;
    if (m_queue.isEmpty()) {
        dropSocket();
        return;
    }
    if (m_stage == Stage::Body && m_bodyLeft < 0) {
        // A body without a length ends with the connection.
        m_head.keepAlive = false;
        if (completeAnswer())
            process();
        return;
    }
    if (m_stage == Stage::AwaitingHead && !m_answered && m_answeredOnSocket > 0) {
        // The server ended a kept-alive connection between two answers: at
        // its limit of requests, or as an idle one just as we reused it. The
        // requests waiting got no answer there, so they go again on a fresh
        // connection, one at a time if the server took only one on this one.
        if (m_answeredOnSocket == 1)
            m_pipelining = false;
        open();
        return;
    }
    fail();
}

// Parses what has arrived, as far as it goes. Every signal may end or
// restart the exchange; the generation tells.
void HttpConnection::process()
{
    const quint64 generation = m_generation;
    while (m_stage != Stage::Idle) {
        if (m_stage == Stage::AwaitingHead) {
            if (!readHead())
                return;
            Q_EMIT headReceived();
            if (generation != m_generation)
                return;
        }
        if (!readBody() || generation != m_generation)
            return;
    }
}

// True once a final head has been taken.
bool HttpConnection::readHead()
{
    for (;;) {
        qsizetype skip = 0;
        const qsizetype end = HttpMessage::endOfHead(m_in, skip);
        if (end < 0) {
            if (m_in.size() > MaxHeadBytes)
                fail();
            return false;
        }
        Head head;
        if (end > MaxHeadBytes || !HttpMessage::parseHead(m_in.left(end), head)) {
            fail();
            return false;
        }
        m_in.remove(0, end + skip);
        if (head.status >= 200) {
            m_head = std::move(head);
            m_bodyLeft = m_head.contentLength;
            m_stage = Stage::Body;
            return true;
        }
        // An interim answer (100 Continue and the like); the real one follows.
    }
}

// True when an answer is complete and the next one may be read.
bool HttpConnection::readBody()
{
    const qsizetype take =
        m_bodyLeft < 0 ? m_in.size() : qsizetype(qMin<qint64>(m_bodyLeft, m_in.size()));
    const quint64 generation = m_generation;
    if (take > 0) {
        if (take == m_in.size())
            m_body.append(std::exchange(m_in, QByteArray()));
        else {
            m_body.append(m_in.constData(), take);
            m_in.remove(0, take);
        }
        if (m_bodyLeft > 0)
            m_bodyLeft -= take;
        Q_EMIT bodyReceived();
        if (generation != m_generation)
            return false;
    }
    return m_bodyLeft == 0 && completeAnswer();
}

// The answer to the oldest request is complete. True when another answer is
// awaited and reading may go on.
bool HttpConnection::completeAnswer()
{
    m_queue.removeFirst();
    m_written = qMax<qsizetype>(0, m_written - 1);
    ++m_answeredOnSocket;
    if (!m_head.keepAlive) {
        // A server that ends the connection after its first answer does so
        // every time: requests sent ahead would only be lost.
        if (m_answeredOnSocket == 1)
            m_pipelining = false;
        dropSocket();
    } else if (m_queue.isEmpty() && !m_in.isEmpty()) {
        dropSocket(); // bytes beyond the body belong to no request of ours
    }
    if (!m_socket)
        m_in.clear();
    m_stage = Stage::Idle;
    const quint64 generation = m_generation;
    Q_EMIT finished();
    if (generation != m_generation || m_queue.isEmpty())
        return false;
    if (m_stage == Stage::Idle)
        beginAnswer();
    if (m_socket)
        writeQueued();
    else
        open();
    return true;
}

void HttpConnection::fail()
{
    m_stage = Stage::Idle;
    m_queue.clear();
    m_written = 0;
    m_in.clear();
    dropSocket();
    Q_EMIT failed();
}

void HttpConnection::dropSocket()
{
    m_writable = false;
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    // Possibly inside one of its own signals.
    socket->deleteLater();
}
