#include "latencyproxy.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QQueue>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

// One direction of one connection: bytes read from one socket are written to
// the other once their time has come. An empty chunk stands for the end of
// the stream, which is passed on late like everything else.
class Pipe : public QObject
{
public:
    Pipe(QTcpSocket *from, QTcpSocket *to, qint64 delayNs, qint64 bytesPerSecond,
         const QElapsedTimer &clock)
        : m_from(from), m_to(to), m_delayNs(delayNs), m_bytesPerSecond(bytesPerSecond),
          m_clock(clock)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &Pipe::deliver);
        connect(from, &QTcpSocket::readyRead, this, [this] { take(m_from->readAll()); });
        connect(from, &QTcpSocket::disconnected, this, [this] {
            if (const QByteArray rest = m_from->readAll(); !rest.isEmpty())
                take(rest);
            take({});
        });
        connect(to, &QTcpSocket::connected, this, &Pipe::deliver);
    }

private:
    void take(const QByteArray &data)
    {
        const qint64 now = m_clock.nsecsElapsed();
        // A chunk leaves once the line has sent the ones before it, and
        // arrives the delay later.
        const qint64 sendingNs =
            m_bytesPerSecond > 0 ? data.size() * 1'000'000'000LL / m_bytesPerSecond : 0;
        m_lineFreeNs = std::max(now, m_lineFreeNs) + sendingNs;
        m_queue.enqueue({m_lineFreeNs + m_delayNs, data});
        schedule();
    }

    void schedule()
    {
        if (m_queue.isEmpty() || m_timer.isActive())
            return;
        const qint64 waitNs = m_queue.head().first - m_clock.nsecsElapsed();
        m_timer.start(int(std::max<qint64>(0, (waitNs + 999'999) / 1'000'000)));
    }

    void deliver()
    {
        if (m_to->state() != QAbstractSocket::ConnectedState)
            return; // connected() brings us back
        const qint64 now = m_clock.nsecsElapsed();
        QByteArray out;
        while (!m_queue.isEmpty() && m_queue.head().first <= now) {
            const QByteArray chunk = m_queue.dequeue().second;
            if (chunk.isEmpty()) {
                m_to->write(out);
                m_to->disconnectFromHost();
                return;
            }
            out += chunk;
        }
        m_to->write(out);
        schedule();
    }

    QTcpSocket *m_from;
    QTcpSocket *m_to;
    qint64 m_delayNs;
    qint64 m_bytesPerSecond;
    const QElapsedTimer &m_clock;
    QTimer m_timer;
    QQueue<std::pair<qint64, QByteArray>> m_queue; // when due, bytes
    qint64 m_lineFreeNs = 0;
};

} // namespace

// Accepts clients and joins each to a fresh connection to the server.
class ProxyServer : public QObject
{
public:
    ProxyServer(quint16 serverPort, qint64 delayNs, qint64 bytesPerSecond)
        : m_serverPort(serverPort), m_delayNs(delayNs), m_bytesPerSecond(bytesPerSecond)
    {
        m_clock.start();
        connect(m_listener, &QTcpServer::newConnection, this, &ProxyServer::accept);
    }

    quint16 listen()
    {
        return m_listener->listen(QHostAddress::LocalHost, 0) ? m_listener->serverPort() : 0;
    }

private:
    void accept()
    {
        while (QTcpSocket *client = m_listener->nextPendingConnection()) {
            client->setParent(this);
            auto *server = new QTcpSocket(this);
            server->connectToHost(QHostAddress::LocalHost, m_serverPort);
            for (QTcpSocket *socket : {client, server})
                socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            auto *up = new Pipe(client, server, m_delayNs, m_bytesPerSecond, m_clock);
            auto *down = new Pipe(server, client, m_delayNs, m_bytesPerSecond, m_clock);
            up->setParent(client);
            down->setParent(server);
        }
    }

    QTcpServer *m_listener = new QTcpServer(this); // moves to the thread with us
    QElapsedTimer m_clock;
    quint16 m_serverPort;
    qint64 m_delayNs;
    qint64 m_bytesPerSecond;
};

LatencyProxy::LatencyProxy(quint16 serverPort, int delayMs, qint64 bytesPerSecond)
    : m_server(new ProxyServer(serverPort, qint64(delayMs) * 1'000'000, bytesPerSecond))
{
    m_server->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
}

LatencyProxy::~LatencyProxy()
{
    m_thread.quit();
    m_thread.wait();
}

bool LatencyProxy::start()
{
    m_thread.start();
    QMetaObject::invokeMethod(
        m_server, [this] { m_port = m_server->listen(); }, Qt::BlockingQueuedConnection);
    return m_port != 0;
}
