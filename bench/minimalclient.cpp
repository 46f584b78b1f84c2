#include "minimalclient.h"

#include "download/server.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

constexpr int WaitMs = 10000;

struct Answer
{
    int status = 0;
    qint64 length = -1;
    qint64 last = -1;
    qint64 total = -1;
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
        if (name == "content-length") {
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

class Connection
{
public:
    explicit Connection(quint16 port) { m_socket.connectToHost(QHostAddress::LocalHost, port); }
    bool connected() { return m_socket.waitForConnected(WaitMs); }
    bool send(const QByteArray &request)
    {
        m_socket.write(request);
        return m_socket.waitForBytesWritten(WaitMs);
    }
    // Everything up to the blank line, which is consumed with it.
    QByteArray readHead()
    {
        qsizetype end;
        while ((end = m_buffer.indexOf("\r\n\r\n", m_offset)) < 0)
            if (!fill())
                return {};
        const QByteArray head = m_buffer.mid(m_offset, end - m_offset);
        m_offset = end + 4;
        return head;
    }
    // Appends exactly n bytes of body to out.
    bool readBody(qint64 n, QByteArray &out)
    {
        while (m_buffer.size() - m_offset < n)
            if (!fill())
                return false;
        out.append(m_buffer.constData() + m_offset, n);
        m_offset += n;
        return true;
    }

private:
    bool fill()
    {
        if (m_offset > 0) {
            m_buffer.remove(0, m_offset);
            m_offset = 0;
        }
        if (m_socket.bytesAvailable() == 0 && !m_socket.waitForReadyRead(WaitMs))
            return false;
        m_buffer.append(m_socket.readAll());
        return true;
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    qsizetype m_offset = 0;
};

} // namespace

QByteArray MinimalClient::fetch(const QByteArray &path)
{
    m_error.clear();
    m_requests = 0;
    Connection connection(m_port);
    if (!connection.connected()) {
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
        if (!connection.send(request)) {
            m_error = QStringLiteral("send failed at %1").arg(start);
            return {};
        }
        const Answer a = parseHead(connection.readHead());
        if (a.status != 206 || a.length < 1 || a.total < 1) {
            m_error = QStringLiteral("status %1 at %2").arg(a.status).arg(start);
            return {};
        }
        if (data.isEmpty())
            data.reserve(a.total);
        // Each range repeats the last byte of the one before.
        data.truncate(start);
        if (!connection.readBody(a.length, data)) {
            m_error = QStringLiteral("short body at %1").arg(start);
            return {};
        }
        if (a.last >= a.total - 1)
            return data;
    }
}
