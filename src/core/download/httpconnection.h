#pragma once

#include "core/download/httpmessage.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <utility>

class QTcpSocket;

// One HTTP/1.1 connection for a chain of GET requests, kept open from one
// answer to the next while the server allows it, with the answers taken in
// the order the requests were made. With pipelining on, every request goes
// out at once instead of after the answer before it, so that a slow network
// costs one round trip for many requests rather than one each. It speaks only
// what a chain of byte ranges needs: a body framed by Content-Length or by
// the end of the connection; anything else (chunked framing included) is
// left for the caller to refuse. Qt's network access manager reads each
// answer's head one byte per system call on a plain connection and passes
// every answer between two threads, which for hundreds of 40 KiB ranges
// costs several times the transfer itself.
class HttpConnection : public QObject
{
    Q_OBJECT
public:
    using Fields = HttpMessage::Fields;
    using Head = HttpMessage::Head;
    static constexpr qsizetype MaxHeadBytes = HttpMessage::MaxHeadBytes;

    explicit HttpConnection(QObject *parent = nullptr);
    ~HttpConnection() override;

    // Asks for url (http or https) with these fields besides Host. The
    // answer comes after those to the requests still waiting; a request to
    // another server first drops them. Reuses the open connection when the
    // last answer left one to the same server.
    void get(const QUrl &url, const Fields &fields);
    // Drops the connection and every request waiting; no signal follows.
    void close();

    // Off: a request goes out only once the one before is answered. Turned
    // off by the connection itself for a server that ends every connection
    // after its first answer.
    void setPipelining(bool on) { m_pipelining = on; }
    bool isPipelining() const { return m_pipelining; }
    // Requests not yet answered in full, the one being answered included.
    qsizetype waiting() const { return m_queue.size(); }

    // The head of the answer being received, or of the one just finished.
    const Head &head() const { return m_head; }
    // Takes the body bytes that have arrived since the last call.
    QByteArray takeBody() { return std::exchange(m_body, QByteArray()); }

Q_SIGNALS:
    void headReceived();
    void bodyReceived();
    // The body is complete: all of its Content-Length, or the server closed
    // a body without one. The next answer, if any, follows.
    void finished();
    // No complete answer: no connection, a broken head, a connection that
    // ended early, or one of the socket's own errors. Every request waiting
    // is dropped.
    void failed();

private:
    enum class Stage { Idle, AwaitingHead, Body };

    void open();
    void onConnected();
    void writeQueued();
    void beginAnswer();
    void onReadyRead();
    void onClosed();
    void process();
    bool readHead();
    bool readBody();
    bool completeAnswer();
    void fail();
    void dropSocket();

    QPointer<QTcpSocket> m_socket;
    QString m_origin; // scheme, host and port of the open connection
    QUrl m_url;
    QList<QByteArray> m_queue; // requests not answered in full, oldest first
    qsizetype m_written = 0;   // how many of them went out on this connection
    int m_answeredOnSocket = 0;
    QByteArray m_in; // received, not yet parsed
    QByteArray m_body;
    Head m_head;
    Stage m_stage = Stage::Idle;
    qint64 m_bodyLeft = -1;   // -1: until the connection ends
    quint64 m_generation = 0; // changes with every close()
    bool m_writable = false;  // the socket takes requests now
    bool m_answered = false;  // a byte of the current answer has come
    bool m_pipelining = false;
};
