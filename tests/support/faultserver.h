#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

#include <utility>

class QTcpServer;
class QTcpSocket;

// A loopback HTTP server for download tests: serves byte ranges of files held
// in memory the way nginx does, and breaks chosen answers on purpose. Every
// request is logged so that tests can check what the client asked for. Runs
// in the test's own thread; the client must be asynchronous. By default every
// answer closes its connection; with keep-alive on, a connection serves
// request after request, those sent ahead included, answered in order.
class FaultServer : public QObject
{
    Q_OBJECT
public:
    enum class Fault {
        None, // nginx-like: 206 ranges, 416 past the end, 200 empty for ""
        Status403,
        Status404,
        Status500,
        Status502,
        WholeFile200, // ignores Range: 200 with the whole file
        Empty200,     // 200 with an empty body
        Status416,    // 416 "bytes */size" with an HTML body
        WrongStart,   // Content-Range and body start one byte late
        WrongEnd,     // Content-Range and body end one byte early
        MissingContentRange,
        MalformedContentRange, // "bytes=first-last/total"
        DuplicateContentRange, // the correct header, sent twice
        ChangingTotal,         // total one more than the file's size
        LongerBody,            // 10 bytes more than Content-Range says, no Content-Length
        ShorterBody,           // 1 byte less than Content-Range says, no Content-Length
        WrongContentLength,    // Content-Length and body 1 byte less than the range
        ResetMidBody,          // connection dropped after half the body
        StallAfterHeaders,     // headers, then silence
        SlowDrip,              // the body one byte per drip interval
        Redirect,              // 302 to the same file under /moved
        Gzip,                  // the range gzip-compressed, padded or cut to the range's
                               // length, Content-Encoding: gzip
        HugeTotal,             // total of 9e12 bytes
        // Needing keep-alive:
        CloseWithRequestsWaiting, // the range answered, then the connection closed
                                  // without a word, requests sent ahead or not
        OutOfOrder,               // with the next range's request already read, that
                                  // one is answered first
    };
    Q_ENUM(Fault)

    static constexpr int EveryRange = -1;

    // What a kept-alive connection does with a request that arrived together
    // with the one before it, that is before that one was answered.
    enum class SentAhead {
        Answered, // in order, as nginx does
        Refused,  // 400 Bad Request, and the connection closes
        Dropped,  // never read: the connection waits for a request that is already sent
    };

    struct Request
    {
        QByteArray method;
        QByteArray path;
        QList<std::pair<QByteArray, QByteArray>> headers;
        qint64 start = -1; // of the Range asked for; -1 without one
        qint64 end = -1;
        int rangeIndex = 0;     // start / 40960, 0 without a Range header
        int connection = 0;     // counts connections from 1
        bool sentAhead = false; // arrived before the one before it was answered

        // The value of a header (name in any case), empty if absent.
        QByteArray header(const QByteArray &name) const;
        int headerCount(const QByteArray &name) const;
    };

    explicit FaultServer(QObject *parent = nullptr);
    ~FaultServer() override;

    // Listens on 127.0.0.1 on a port the system chooses.
    bool listen();
    quint16 port() const;
    // "http://127.0.0.1:<port>/", the base URL of the server.
    QString baseUrl() const;
    // path must start with "/".
    QUrl url(const QString &path) const;

    void setFile(const QByteArray &path, const QByteArray &content);
    void removeFile(const QByteArray &path);
    // Breaks the answer to the range with this index (EveryRange: all) of
    // requests for path. One fault per path.
    void setFault(const QByteArray &path, Fault fault, int rangeIndex = EveryRange);
    void clearFaults();
    void setDripIntervalMs(int ms) { m_dripIntervalMs = ms; }
    void setKeepAlive(bool on, SentAhead sentAhead = SentAhead::Answered)
    {
        m_keepAlive = on;
        m_sentAhead = sentAhead;
    }

    const QList<Request> &requests() const { return m_requests; }
    // The Range headers sent for path, in order.
    QList<QByteArray> rangesFor(const QByteArray &path) const;
    void clearRequests() { m_requests.clear(); }

    // Index of the range that completes a file of this size.
    static int lastRangeIndex(qint64 size);

private:
    struct FaultSetting
    {
        Fault fault = Fault::None;
        int rangeIndex = EveryRange;
    };
    struct Answer
    {
        QByteArray head; // status line and headers, without the blank line
        QByteArray body;
        bool declareLength = true; // false: the body ends when the connection closes
        bool closes = false;       // the connection closes after it, whatever the mode
    };
    struct Connection
    {
        int number = 0;
        QByteArray in;        // received, not yet parsed
        bool stopped = false; // closing, stalled or dripping: nothing more is read
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    bool takeRequests(QTcpSocket *socket, Connection &connection, QList<Request> &requests);
    static Request parseRequest(const QByteArray &head);
    bool respond(QTcpSocket *socket, const Request &request);
    Fault faultFor(const Request &request) const;
    static Answer statusAnswer(int status);
    static Answer answerFor(const Request &request, const QByteArray &content, Fault fault);
    static Answer rangeAnswer(const QByteArray &content, Fault fault, qint64 first, qint64 last);
    bool send(QTcpSocket *socket, const Answer &answer, Fault fault);
    void drip(QTcpSocket *socket, const QByteArray &body);

    QTcpServer *m_server;
    QHash<QByteArray, QByteArray> m_files;
    QHash<QByteArray, FaultSetting> m_faults;
    QHash<QTcpSocket *, Connection> m_connections;
    QList<Request> m_requests;
    int m_dripIntervalMs = 50;
    int m_connectionCount = 0;
    bool m_keepAlive = false;
    SentAhead m_sentAhead = SentAhead::Answered;
};
