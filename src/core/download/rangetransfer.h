#pragma once

#include "core/download/contentrange.h"
#include "core/download/transferoutcome.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

class HttpConnection;

// Fetches one file as a chain of byte ranges, bytes=S-(S+RangeStep) for
// S = 0, RangeStep, 2*RangeStep, ..., and gathers it in memory. Every range
// must arrive in full within the wait, as a 206 whose Content-Range is exactly
// the range asked for (clipped to the end of the file), with the same total
// each time and a body of exactly that length; anything else ends the chain.
// Asynchronous: start() returns at once and finished() is emitted once, later.
// Do not delete the object from a slot connected to finished(); use
// deleteLater(). The ranges go over one connection of its own, kept open
// between them (see HttpConnection).
//
// Once the first answer has told the file's size, the ranges after it are
// asked for ahead, several at a time, on the same connection. Their answers
// are still taken one by one in the order of the file. An answer to a range
// asked for ahead that fails a check is not believed at once: the server may
// just not cope with requests sent ahead, so the connection is dropped and
// the chain goes on one range at a time from that range, where the same
// answer again ends it.
class RangeTransfer : public QObject
{
    Q_OBJECT
public:
    // Larger files are refused before any of them is held in memory. Far
    // above any programme or updater, far below what a 32-bit size allows.
    static constexpr qint64 DefaultMaxTotal = 512LL * 1024 * 1024;

    // Ranges asked for ahead: 10 MiB, so that a programme of that size needs
    // one round trip after the first range, and a line of 1.6 Gbit/s with a
    // 50 ms round trip stays busy. TCP's own window limits what is actually
    // under way; requests waiting at the server cost a few hundred bytes each.
    // Well below the requests nginx answers on one connection (1000).
    static constexpr int DefaultRangesInFlight = 256;

    struct Options
    {
        int rangeWaitMs = 24000; // how long one range may take, from when it is next
        qint64 maxTotal = DefaultMaxTotal;
        int rangesInFlight = DefaultRangesInFlight; // 1: one at a time
    };

    RangeTransfer(const QUrl &source, Options options, QObject *parent = nullptr);
    ~RangeTransfer() override;

    void start();
    // Stops a running transfer; finished(Aborted) follows at once.
    void abort();

    // The whole file after finished(Completed); empty otherwise.
    QByteArray takeData();

Q_SIGNALS:
    // After every accepted range: the last byte received and the file's size.
    // A progress of lastByte * 100 / total percent.
    void progressed(qint64 lastByte, qint64 total);
    void finished(TransferOutcome outcome);

private:
    // Tests and the benchmark read the outcome and the last status through it.
    friend struct TransferInside;

    enum class Body { Range, EmptyOnly };

    void awaitAnswer();
    void requestMore();
    qint64 rangesInFlight() const;
    bool isWanted(qint64 start) const;
    void onHead();
    void onBody();
    void onAnswerFinished();
    void onAnswerFailed();
    void onTimeout();
    bool judgeHeaders();
    bool acceptRangeHeaders();
    bool takeBody();
    void acceptRange();
    void fail(TransferOutcome outcome);
    bool fallBackToOneAtATime();
    void dropAnswer();
    void finish(TransferOutcome outcome);

    QUrl m_url;
    Options m_options;
    HttpConnection *m_connection; // a child
    QTimer m_rangeTimer;
    QByteArray m_data;
    ContentRange m_range;     // the range of the answer being received
    qint64 m_nextStart = 0;   // of the answer being received
    qint64 m_nextRequest = 0; // start of the next range to ask for
    qint64 m_total = -1;      // learnt from the first range
    qint64 m_bodyExpected = 0;
    qint64 m_bodyReceived = 0;
    char m_overlapByte = 0; // last byte of the previous range
    int m_rangeIndex = 0;
    int m_lastStatus = 0;
    Body m_body = Body::Range;
    bool m_headersJudged = false;
    bool m_running = false;
    TransferOutcome m_outcome = TransferOutcome::Aborted;
};
