#include "minimalclient.h"

#include "core/download/server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace {

struct Answer
{
    int status = 0;
    qint64 length = -1;
    qint64 last = -1;
    qint64 total = -1;
    bool close = false; // nginx ends a connection after 1000 requests
};

// Only the fields the chain needs; anything else in the head is skipped.
Answer parseHead(const QByteArray &head)
{
    Answer a;
    const QList<QByteArray> lines = head.split('\n');
    if (!lines.isEmpty())
        a.status = lines.front().mid(9, 3).toInt();
    for (const QByteArray &raw : lines) {
        const QByteArray line = raw.trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "connection") {
            a.close = value.toLower() == "close";
        } else if (name == "content-length") {
            a.length = value.toLongLong();
        } else if (name == "content-range") {
            // bytes first-last/total
            const qsizetype dash = value.indexOf('-');
            const qsizetype slash = value.indexOf('/');
            a.last = value.mid(dash + 1, slash - dash - 1).toLongLong();
            a.total = value.mid(slash + 1).toLongLong();
        }
    }
    return a;
}

// A blocking socket straight on the system calls: nothing between the
// kernel and the bytes but one buffer for the head.
class Connection
{
public:
    explicit Connection(quint16 port) : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int on = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        m_connected =
            ::connect(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    }
    ~Connection() { ::close(m_fd); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    bool connected() const { return m_connected; }
    bool send(const QByteArray &request)
    {
        for (qsizetype sent = 0; sent < request.size();) {
            const ssize_t n = ::send(m_fd, request.constData() + sent,
                                     size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    }
    // Everything up to the blank line; what came after it stays for the body.
    QByteArray readHead()
    {
        qsizetype end;
        while ((end = m_pending.indexOf("\r\n\r\n")) < 0) {
            char chunk[4096];
            const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return {};
            m_pending.append(chunk, n);
        }
        const QByteArray head = m_pending.left(end);
        m_pending.remove(0, end + 4);
        return head;
    }
    // Writes exactly n bytes of body to out.
    bool readBody(qint64 n, char *out)
    {
        const qint64 buffered = qMin<qint64>(n, m_pending.size());
        std::memcpy(out, m_pending.constData(), size_t(buffered));
        m_pending.remove(0, buffered);
        for (qint64 got = buffered; got < n;) {
            const ssize_t r = ::recv(m_fd, out + got, size_t(n - got), 0);
            if (r <= 0)
                return false;
            got += r;
        }
        return true;
    }

private:
    int m_fd;
    bool m_connected = false;
    QByteArray m_pending;
};

} // namespace

QByteArray MinimalClient::fetch(const QByteArray &path)
{
    m_error.clear();
    m_requests = 0;
    auto connection = std::make_unique<Connection>(m_port);
    if (!connection->connected()) {
        m_error = QStringLiteral("no connection");
        return {};
    }
    const QByteArray host = "127.0.0.1:" + QByteArray::number(m_port);
    QByteArray data;
    for (qint64 start = 0;; start += Server::RangeStep) {
        const QByteArray request =
            "GET " + path + " HTTP/1.1\r\nHost: " + host +
            "\r\nAccept-Encoding: identity\r\nRange: bytes=" + QByteArray::number(start) + '-' +
            QByteArray::number(start + Server::RangeStep) + "\r\n\r\n";
        ++m_requests;
        if (!connection->send(request)) {
            m_error = QStringLiteral("send failed at %1").arg(start);
            return {};
        }
        const Answer a = parseHead(connection->readHead());
        if (a.status != 206 || a.length < 1 || a.total < 1 || start + a.length > a.total) {
            m_error = QStringLiteral("status %1 at %2").arg(a.status).arg(start);
            return {};
        }
        // Each range repeats the last byte of the one before.
        data.resize(start + a.length);
        if (!connection->readBody(a.length, data.data() + start)) {
            m_error = QStringLiteral("short body at %1").arg(start);
            return {};
        }
        if (a.last >= a.total - 1)
            return data;
        if (a.close) {
            connection = std::make_unique<Connection>(m_port);
            if (!connection->connected()) {
                m_error = QStringLiteral("no new connection at %1").arg(start);
                return {};
            }
        }
    }
}

QByteArray MinimalClient::fetchWhole(const QByteArray &path)
{
    m_error.clear();
    m_requests = 1;
    Connection connection(m_port);
    const QByteArray request = "GET " + path +
                               " HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(m_port) +
                               "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
    if (!connection.connected() || !connection.send(request)) {
        m_error = QStringLiteral("no connection");
        return {};
    }
    const Answer a = parseHead(connection.readHead());
    if (a.status != 200 || a.length < 0) {
        m_error = QStringLiteral("status %1").arg(a.status);
        return {};
    }
    QByteArray data(a.length, Qt::Uninitialized);
    if (!connection.readBody(a.length, data.data())) {
        m_error = QStringLiteral("short body");
        return {};
    }
    return data;
}
