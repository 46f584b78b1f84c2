#include "support/faultserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

constexpr qint64 Step = 40960;
constexpr int MaxRequestHead = 64 * 1024;

// Parses "bytes=S-E"; false for anything else.
bool parseRange(const QByteArray &value, qint64 &start, qint64 &end)
{
    if (!value.startsWith("bytes="))
        return false;
    const QList<QByteArray> parts = value.mid(6).split('-');
    bool okStart = false;
    bool okEnd = false;
    if (parts.size() != 2)
        return false;
    start = parts[0].toLongLong(&okStart);
    end = parts[1].toLongLong(&okEnd);
    return okStart && okEnd && start <= end;
}

} // namespace

QByteArray FaultServer::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

int FaultServer::Request::headerCount(const QByteArray &name) const
{
    int count = 0;
    for (const auto &pair : headers)
        count += pair.first.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return count;
}

FaultServer::FaultServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FaultServer::onNewConnection);
}

FaultServer::~FaultServer() = default;

bool FaultServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 FaultServer::port() const
{
    return m_server->serverPort();
}

QString FaultServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

QUrl FaultServer::url(const QString &path) const
{
    return QUrl(baseUrl() + path.mid(1));
}

void FaultServer::setFile(const QByteArray &path, const QByteArray &content)
{
    m_files.insert(path, content);
}

void FaultServer::removeFile(const QByteArray &path)
{
    m_files.remove(path);
}

void FaultServer::setFault(const QByteArray &path, Fault fault, int rangeIndex)
{
    m_faults.insert(path, {fault, rangeIndex});
}

void FaultServer::clearFaults()
{
    m_faults.clear();
}

QList<QByteArray> FaultServer::rangesFor(const QByteArray &path) const
{
    QList<QByteArray> ranges;
    for (const Request &request : m_requests)
        if (request.path == path)
            ranges.append(request.header("Range"));
    return ranges;
}

int FaultServer::lastRangeIndex(qint64 size)
{
    int index = 0;
    while (index * Step + Step < size - 1)
        ++index;
    return index;
}

void FaultServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        Connection connection;
        connection.number = ++m_connectionCount;
        m_connections.insert(socket, connection);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_connections.remove(socket);
            socket->deleteLater();
        });
    }
}

void FaultServer::onReadyRead(QTcpSocket *socket)
{
    const auto connection = m_connections.find(socket);
    if (connection == m_connections.end() || connection->stopped) {
        socket->readAll();
        return;
    }
    QList<Request> requests;
    if (!takeRequests(socket, *connection, requests))
        return;
    for (qsizetype i = 0; i + 1 < requests.size(); ++i) {
        if (faultFor(requests[i]) == Fault::OutOfOrder) {
            std::swap(requests[i], requests[i + 1]);
            ++i;
        }
    }
    for (const Request &request : requests) {
        if (!respond(socket, request)) {
            // The socket may be gone already.
            if (const auto it = m_connections.find(socket); it != m_connections.end())
                it->stopped = true;
            return;
        }
    }
}

// Takes the complete requests that have arrived on the connection and logs
// them. All but the first of one read were sent before the one before them
// was answered. False when the connection was cut for a head too long.
bool FaultServer::takeRequests(QTcpSocket *socket, Connection &connection, QList<Request> &requests)
{
    connection.in += socket->readAll();
    qsizetype end;
    while ((end = connection.in.indexOf("\r\n\r\n")) >= 0) {
        Request request = parseRequest(connection.in.left(end));
        connection.in.remove(0, end + 4);
        request.connection = connection.number;
        request.sentAhead = !requests.isEmpty();
        if (request.sentAhead && m_keepAlive && m_sentAhead == SentAhead::Dropped) {
            connection.in.clear();
            break;
        }
        requests.append(request);
        m_requests.append(request);
        if (!m_keepAlive) {
            // One request per connection: its answer closes it.
            connection.stopped = true;
            connection.in.clear();
            break;
        }
    }
    if (connection.in.size() > MaxRequestHead) {
        socket->abort();
        return false;
    }
    return true;
}

FaultServer::Request FaultServer::parseRequest(const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    request.path = requestLine.value(1).split('?').value(0);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append(
                {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    qint64 start = 0;
    qint64 end = -1;
    if (parseRange(request.header("Range"), start, end)) {
        request.start = start;
        request.end = end;
        request.rangeIndex = int(start / Step);
    }
    return request;
}

FaultServer::Fault FaultServer::faultFor(const Request &request) const
{
    const FaultSetting setting = m_faults.value(request.path);
    const bool applies =
        setting.rangeIndex == EveryRange || setting.rangeIndex == request.rangeIndex;
    return applies ? setting.fault : Fault::None;
}

// Answers one request; false when the connection takes no more.
bool FaultServer::respond(QTcpSocket *socket, const Request &request)
{
    if (request.sentAhead && m_sentAhead == SentAhead::Refused) {
        Answer refusal = statusAnswer(400);
        refusal.closes = true;
        return send(socket, refusal, Fault::None);
    }
    const auto file = m_files.constFind(request.path);
    if (file == m_files.constEnd())
        return send(socket, statusAnswer(404), Fault::None);
    const Fault fault = faultFor(request);
    return send(socket, answerFor(request, *file, fault), fault);
}

bool FaultServer::send(QTcpSocket *socket, const Answer &answer, Fault fault)
{
    // A body without a length ends with the connection, whatever the mode.
    const bool closes = !m_keepAlive || answer.closes || !answer.declareLength;
    QByteArray head = answer.head + "\r\nServer: fault-server\r\nConnection: " +
                      (closes ? "close" : "keep-alive") +
                      "\r\nContent-Type: application/octet-stream";
    if (answer.declareLength)
        head += "\r\nContent-Length: " + QByteArray::number(answer.body.size());
    head += "\r\n\r\n";
    socket->write(head);
    switch (fault) {
    case Fault::StallAfterHeaders:
        return false;
    case Fault::SlowDrip:
        drip(socket, answer.body);
        return false;
    case Fault::ResetMidBody:
        socket->write(answer.body.left(answer.body.size() / 2));
        // abort() would throw away what is still buffered: wait until the
        // half body has left, then cut the connection.
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
            if (socket->bytesToWrite() == 0)
                socket->abort();
        });
        return false;
    default:
        socket->write(answer.body);
        if (closes || fault == Fault::CloseWithRequestsWaiting) {
            socket->disconnectFromHost();
            return false;
        }
        return true;
    }
}

void FaultServer::drip(QTcpSocket *socket, const QByteArray &body)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
        if (*sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid(*sent, 1));
        ++*sent;
    });
    timer->start(m_dripIntervalMs);
}
