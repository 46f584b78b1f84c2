#pragma once

#include <QThread>
#include <QtGlobal>

class ProxyServer;

// A loopback TCP proxy in front of a server on this machine that holds every
// byte for a set time in each direction, and can pass no more than a set
// rate: the round trip and speed of a home line, for a client and a server
// that both run here. It reads whatever comes at once, as a network with
// ample buffers would, and runs in a thread of its own so that its timing
// depends neither on the client's event loop nor on a client that blocks.
class LatencyProxy
{
public:
    // delayMs each way; bytesPerSecond 0 for no limit.
    LatencyProxy(quint16 serverPort, int delayMs, qint64 bytesPerSecond = 0);
    ~LatencyProxy();
    LatencyProxy(const LatencyProxy &) = delete;
    LatencyProxy &operator=(const LatencyProxy &) = delete;

    // Listens on 127.0.0.1; false if it cannot.
    bool start();
    quint16 port() const { return m_port; }

private:
    QThread m_thread;
    ProxyServer *m_server; // lives in m_thread
    quint16 m_port = 0;
};
