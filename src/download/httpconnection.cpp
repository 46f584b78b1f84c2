#include "download/httpconnection.h"

#include "download/server.h"

#include <QSslSocket>
#include <QTcpSocket>

namespace {

// The socket never holds more than this ahead of us; a body is taken as it
// comes, so a range never needs more.
constexpr qint64 SocketBufferBytes = 2 * Server::RangeStep;

QString originOf(const QUrl &url)
{
    const bool https = url.scheme().compare(u"https", Qt::CaseInsensitive) == 0;
    return (https ? QStringLiteral("https://") : QStringLiteral("http://")) +
           url.host(QUrl::FullyEncoded).toLower() + u':' +
           QString::number(url.port(https ? 443 : 80));
}

bool isHttps(const QString &origin)
{
    return origin.startsWith(u"https:");
}

QByteArray requestFor(const QUrl &url, const HttpConnection::Fields &fields)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray request =
        "GET " + target + " HTTP/1.1\r\nHost: " +
        url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() + "\r\n";
    for (const auto &[name, value] : fields)
        request += name + ": " + value + "\r\n";
    return request + "\r\n";
}

// Where the head ends (the empty line, CR LF or a bare LF), -1 if it has
// not all come yet; skip is the length of the line ends there. Looks no
// further than the head, which is followed by up to a range of body.
qsizetype endOfHead(const QByteArray &in, qsizetype &skip)
{
    for (qsizetype line = in.indexOf('\n'); line >= 0; line = in.indexOf('\n', line + 1)) {
        if (line + 1 < in.size() && in.at(line + 1) == '\n') {
            skip = 2;
            return line;
        }
        if (line + 2 < in.size() && in.at(line + 1) == '\r' && in.at(line + 2) == '\n') {
            skip = line > 0 && in.at(line - 1) == '\r' ? 4 : 3;
            return line - (skip - 3);
        }
        if (line > HttpConnection::MaxHeadBytes)
            break;
    }
    return -1;
}

bool parseLength(const QByteArray &value, qint64 &length)
{
    if (value.isEmpty() || value.size() > 18)
        return false;
    for (char c : value)
        if (c < '0' || c > '9')
            return false;
    length = value.toLongLong();
    return true;
}

// Parses "HTTP/1.x NNN reason" and the fields after it. False for anything
// that is not an HTTP/1 head.
bool parseHead(const QByteArray &text, HttpConnection::Head &head)
{
    const QList<QByteArray> lines = text.split('\n');
    const QByteArray status = lines.front().trimmed();
    if (!status.startsWith("HTTP/1.") || status.size() < 12 || status.at(8) != ' ')
        return false;
    bool ok = false;
    head.status = status.mid(9, 3).toInt(&ok);
    if (!ok || head.status < 100)
        return false;
    head.keepAlive = status.at(7) != '0';
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        head.fields.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const QByteArray connection = head.field("Connection").toLower();
    if (connection.contains("close"))
        head.keepAlive = false;
    else if (connection.contains("keep-alive"))
        head.keepAlive = true;
    const QByteArray length = head.field("Content-Length");
    if (!length.isEmpty() && !parseLength(length, head.contentLength))
        return false; // also two different lengths, which come joined
    head.otherFraming = !head.field("Transfer-Encoding").isEmpty();
    if (head.otherFraming) {
        // The length means nothing then, and the end of the body is unknown.
        head.contentLength = -1;
        head.keepAlive = false;
    }
    return true;
}

} // namespace

QByteArray HttpConnection::Head::field(QByteArrayView name) const
{
    QByteArray value;
    bool found = false;
    for (const auto &[n, v] : fields) {
        if (n.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            value += ", ";
        value += v;
        found = true;
    }
    return value;
}

HttpConnection::HttpConnection(QObject *parent) : QObject(parent) {}

HttpConnection::~HttpConnection()
{
    close();
}

void HttpConnection::get(const QUrl &url, const Fields &fields)
{
    ++m_generation;
    m_url = url;
    m_request = requestFor(url, fields);
    m_in.clear();
    m_body.clear();
    m_head = Head();
    m_stage = Stage::AwaitingHead;
    m_answered = false;
    const QString origin = originOf(url);
    if (m_socket && m_origin == origin && m_socket->state() == QAbstractSocket::ConnectedState &&
        m_socket->bytesAvailable() == 0) {
        m_reused = true;
        send();
        return;
    }
    m_origin = origin;
    open();
}

void HttpConnection::close()
{
    ++m_generation;
    m_stage = Stage::Idle;
    m_in.clear();
    m_body.clear();
    dropSocket();
}

void HttpConnection::open()
{
    dropSocket();
    m_reused = false;
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
        send();
        return;
    }
    connect(socket, &QTcpSocket::connected, this, &HttpConnection::send);
    socket->connectToHost(host, port);
}

void HttpConnection::send()
{
    if (m_socket)
        m_socket->write(m_request);
}

void HttpConnection::onReadyRead()
{
    if (!m_socket)
        return;
    const QByteArray data = m_socket->readAll();
    if (m_stage == Stage::Idle) {
        // Nothing was asked: a server talking out of turn is not reused.
        if (!data.isEmpty())
            dropSocket();
        return;
    }
    m_answered = m_answered || !data.isEmpty();
    m_in.append(data);
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
    if (m_stage == Stage::Idle) {
        dropSocket();
        return;
    }
    if (m_stage == Stage::Body && m_bodyLeft < 0) {
        // A body without a length ends with the connection.
        m_stage = Stage::Idle;
        dropSocket();
        Q_EMIT finished();
        return;
    }
    if (m_stage == Stage::AwaitingHead && m_reused && !m_answered) {
        // The server closed an idle connection just as we reused it; the
        // request never reached it, so it goes again on a fresh one.
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
    if (m_stage == Stage::AwaitingHead) {
        if (!readHead())
            return;
        Q_EMIT headReceived();
        if (generation != m_generation)
            return;
    }
    if (m_stage == Stage::Body)
        readBody();
}

// True once a final head has been taken.
bool HttpConnection::readHead()
{
    for (;;) {
        qsizetype skip = 0;
        const qsizetype end = endOfHead(m_in, skip);
        if (end < 0) {
            if (m_in.size() > MaxHeadBytes)
                fail();
            return false;
        }
        Head head;
        if (end > MaxHeadBytes || !parseHead(m_in.left(end), head)) {
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
    if (m_bodyLeft != 0)
        return false;
    m_stage = Stage::Idle;
    // Bytes beyond the body belong to no request of ours.
    if (!m_head.keepAlive || !m_in.isEmpty())
        dropSocket();
    m_in.clear();
    Q_EMIT finished();
    return true;
}

void HttpConnection::fail()
{
    m_stage = Stage::Idle;
    dropSocket();
    Q_EMIT failed();
}

void HttpConnection::dropSocket()
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    // Possibly inside one of its own signals.
    socket->deleteLater();
}
