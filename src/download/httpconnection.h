#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <utility>

class QTcpSocket;

// One HTTP/1.1 connection for a chain of GET requests, kept open from one
// answer to the next while the server allows it. It speaks only what a chain
// of byte ranges needs: a body framed by Content-Length or by the end of the
// connection; anything else (chunked framing included) is left for the caller
// to refuse. Qt's network access manager reads each answer's head one byte
// per system call on a plain connection and passes every answer between two
// threads, which for hundreds of 40 KiB ranges costs several times the
// transfer itself.
class HttpConnection : public QObject
{
    Q_OBJECT
public:
    using Fields = QList<std::pair<QByteArray, QByteArray>>;

    struct Head
    {
        int status = 0;
        Fields fields;
        qint64 contentLength = -1; // -1: not given, the body ends with the connection
        bool keepAlive = true;
        bool otherFraming = false; // a Transfer-Encoding: the body is passed on as sent

        // A field's value; repeated fields come joined by ", ".
        QByteArray field(QByteArrayView name) const;
    };

    // The longest head accepted; a server sending more is broken or hostile.
    static constexpr qsizetype MaxHeadBytes = 64 * 1024;

    explicit HttpConnection(QObject *parent = nullptr);
    ~HttpConnection() override;

    // Sends a GET for url (http or https) with these fields besides Host, on
    // the open connection when the last answer left one to the same server.
    void get(const QUrl &url, const Fields &fields);
    // Drops the connection and the answer in flight; no signal follows.
    void close();

    const Head &head() const { return m_head; }
    // Takes the body bytes that have arrived since the last call.
    QByteArray takeBody() { return std::exchange(m_body, QByteArray()); }

Q_SIGNALS:
    void headReceived();
    void bodyReceived();
    // The body is complete: all of its Content-Length, or the server closed
    // a body without one.
    void finished();
    // No complete answer: no connection, a broken head, a connection that
    // ended early, or one of the socket's own errors.
    void failed();

private:
    enum class Stage { Idle, AwaitingHead, Body };

    void open();
    void send();
    void onReadyRead();
    void onClosed();
    void process();
    bool readHead();
    bool readBody();
    void fail();
    void dropSocket();

    QPointer<QTcpSocket> m_socket;
    QString m_origin; // scheme, host and port of the open connection
    QUrl m_url;
    QByteArray m_request;
    QByteArray m_in; // received, not yet parsed
    QByteArray m_body;
    Head m_head;
    Stage m_stage = Stage::Idle;
    qint64 m_bodyLeft = -1;   // -1: until the connection ends
    quint64 m_generation = 0; // changes with every get() and close()
    bool m_reused = false;    // the request went out on an already open connection
    bool m_answered = false;  // a byte of the answer has come
};
