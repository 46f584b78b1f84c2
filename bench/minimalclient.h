#pragma once

#include <QByteArray>
#include <QString>

// The least a client can do to fetch a file as the program's chain of byte
// ranges: one keep-alive connection, blocking system calls, no checks beyond
// what it needs to find the next range, the body read straight into place.
// The yardstick the real transfer is held to. POSIX sockets only.
class MinimalClient
{
public:
    explicit MinimalClient(quint16 port) : m_port(port) {}

    // The whole file at path (already percent-encoded), or an empty array with
    // error() saying why.
    QByteArray fetch(const QByteArray &path);
    // The whole file at path in one plain GET: what any browser would do,
    // the yardstick on a line with a long round trip.
    QByteArray fetchWhole(const QByteArray &path);
    QString error() const { return m_error; }
    // How many requests the last fetch() sent.
    int requests() const { return m_requests; }

private:
    quint16 m_port;
    QString m_error;
    int m_requests = 0;
};
