#include "core/download/rangetransfer.h"

#include "core/download/httpconnection.h"
#include "core/download/server.h"

#include <algorithm>
#include <utility>

namespace {

bool isHttpUrl(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == u"http" || scheme == u"https");
}

QByteArray rangeHeader(qint64 start)
{
    return "bytes=" + QByteArray::number(start) + '-' +
           QByteArray::number(start + Server::RangeStep);
}

} // namespace

RangeTransfer::RangeTransfer(const QUrl &source, Options options, QObject *parent)
    : QObject(parent), m_url(source), m_options(options), m_connection(new HttpConnection(this))
{
    m_rangeTimer.setSingleShot(true);
    connect(&m_rangeTimer, &QTimer::timeout, this, &RangeTransfer::onTimeout);
    connect(m_connection, &HttpConnection::headReceived, this, &RangeTransfer::onHead);
    connect(m_connection, &HttpConnection::bodyReceived, this, &RangeTransfer::onBody);
    connect(m_connection, &HttpConnection::finished, this, &RangeTransfer::onAnswerFinished);
    connect(m_connection, &HttpConnection::failed, this, &RangeTransfer::onAnswerFailed);
}

RangeTransfer::~RangeTransfer()
{
    dropAnswer();
}

void RangeTransfer::start()
{
    if (m_running)
        return;
    m_running = true;
    m_data.clear();
    m_nextStart = 0;
    m_nextRequest = 0;
    m_total = -1;
    m_rangeIndex = 0;
    m_lastStatus = 0;
    m_connection->setPipelining(m_options.rangesInFlight > 1);
    if (!isHttpUrl(m_url)) {
        // Keep finished() asynchronous even here, so callers never see it
        // from inside start().
        QTimer::singleShot(0, this, [this] {
            if (m_running)
                finish(TransferOutcome::NetworkError);
        });
        return;
    }
    awaitAnswer();
    requestMore();
}

void RangeTransfer::abort()
{
    if (m_running)
        finish(TransferOutcome::Aborted);
}

QByteArray RangeTransfer::takeData()
{
    return std::exchange(m_data, QByteArray());
}

// Gets ready for the answer to the range at m_nextStart, which has the whole
// wait from now on however many answers came before it.
void RangeTransfer::awaitAnswer()
{
    m_headersJudged = false;
    m_body = Body::Range;
    m_bodyExpected = 0;
    m_bodyReceived = 0;
    m_rangeTimer.start(m_options.rangeWaitMs);
}

// Keeps the connection asked for the ranges still wanted: the first alone,
// since only its answer tells how many follow, then as many ahead as the
// options allow while the connection takes requests ahead.
void RangeTransfer::requestMore()
{
    const qsizetype ahead =
        m_total >= 0 && m_connection->isPipelining() ? qMax(1, m_options.rangesInFlight) : 1;
    while (m_connection->waiting() < ahead && isWanted(m_nextRequest)) {
        m_connection->get(m_url, {{"Range", rangeHeader(m_nextRequest)},
                                  {"Content-Type", "application/octet-stream"},
                                  // A compressed answer is not the bytes asked
                                  // for, and nginx answers a range request with
                                  // the whole file when it may compress.
                                  {"Accept-Encoding", "identity"}});
        m_nextRequest += Server::RangeStep;
    }
}

// A range is wanted until one ends at the last byte: its start lies before
// that byte (each range reaches RangeStep past its start).
bool RangeTransfer::isWanted(qint64 start) const
{
    return start == 0 || (m_total >= 0 && start < m_total - 1);
}

void RangeTransfer::onHead()
{
    if (m_running && !m_headersJudged)
        judgeHeaders();
}

void RangeTransfer::onBody()
{
    if (m_running && m_headersJudged)
        takeBody();
}

// Decides what can be decided from the status line and headers alone.
// Returns false when the answer is refused.
bool RangeTransfer::judgeHeaders()
{
    m_headersJudged = true;
    const int status = m_connection->head().status;
    m_lastStatus = status;
    switch (status) {
    case 416:
        // Past the end of an empty file. After the first range the file can
        // only have shrunk on the server: what we hold is not that file.
        if (m_rangeIndex == 0) {
            m_data.clear();
            finish(TransferOutcome::Completed);
        } else {
            fail(TransferOutcome::BadRange);
        }
        return false;
    case 403:
        fail(TransferOutcome::TooManyConnections);
        return false;
    case 404:
        fail(TransferOutcome::NotFound);
        return false;
    case 206:
        return acceptRangeHeaders();
    default:
        break;
    }
    if (status > 299) {
        fail(TransferOutcome::ServerError);
        return false;
    }
    // nginx answers a range request for an empty file with 200 and no body;
    // that is an empty file, complete. Any byte of a 200 is a whole file sent
    // without ranges, which is refused as before.
    const qint64 length = m_connection->head().contentLength;
    if (status == 200 && m_rangeIndex == 0 && length <= 0) {
        m_body = Body::EmptyOnly;
        return true;
    }
    fail(TransferOutcome::NotResumable);
    return false;
}

bool RangeTransfer::acceptRangeHeaders()
{
    const HttpConnection::Head &head = m_connection->head();
    const QByteArray encoding = head.field("Content-Encoding").trimmed().toLower();
    // Chunked framing, too, is not what nginx sends for a range.
    if ((!encoding.isEmpty() && encoding != "identity") || head.otherFraming) {
        fail(TransferOutcome::BadRange);
        return false;
    }
    // Repeated headers reach us joined by ", ", which the parser refuses.
    const QByteArray header = head.field("Content-Range");
    if (header.trimmed().isEmpty()) {
        fail(TransferOutcome::MissingContentRange);
        return false;
    }
    const auto range = parseContentRange(header.trimmed());
    const bool totalOk =
        range && (m_total < 0 ? range->total <= m_options.maxTotal : range->total == m_total);
    if (!totalOk || range->first != m_nextStart ||
        range->last != std::min(m_nextStart + Server::RangeStep, range->total - 1)) {
        fail(TransferOutcome::BadRange);
        return false;
    }
    m_bodyExpected = range->last - range->first + 1;
    if (head.contentLength >= 0 && head.contentLength != m_bodyExpected) {
        fail(TransferOutcome::BadRange);
        return false;
    }
    if (m_total < 0) {
        m_total = range->total;
        m_data.reserve(m_total);
    }
    m_range = *range;
    return true;
}

// Moves what has arrived into the buffer. Returns false when the answer is
// refused because the body is longer than announced or does not continue
// the file.
bool RangeTransfer::takeBody()
{
    const QByteArray chunk = m_connection->takeBody();
    if (chunk.isEmpty())
        return true;
    if (m_bodyReceived + chunk.size() > m_bodyExpected) {
        fail(m_body == Body::EmptyOnly ? TransferOutcome::NotResumable : TransferOutcome::BadRange);
        return false;
    }
    if (m_bodyReceived == 0) {
        // Each range repeats the last byte of the one before; a different
        // byte means the file changed between the two requests.
        if (m_rangeIndex > 0 && chunk.front() != m_overlapByte) {
            fail(TransferOutcome::BadRange);
            return false;
        }
        m_data.truncate(m_nextStart);
    }
    m_data.append(chunk);
    m_bodyReceived += chunk.size();
    return true;
}

void RangeTransfer::onAnswerFailed()
{
    if (!m_running)
        return;
    // What came before the break is still judged: a body longer than its
    // range is a bad range, whether or not the connection then broke.
    if (m_headersJudged && !takeBody())
        return;
    fail(TransferOutcome::NetworkError);
}

void RangeTransfer::onAnswerFinished()
{
    if (!m_running)
        return;
    if (!m_headersJudged && !judgeHeaders())
        return;
    if (!takeBody())
        return;
    // A length that contradicts the range was refused with the headers, so a
    // shortfall here is a connection that ended early.
    if (m_bodyReceived != m_bodyExpected) {
        fail(TransferOutcome::NetworkError);
        return;
    }
    m_rangeTimer.stop();
    if (m_body == Body::EmptyOnly) {
        m_data.clear();
        finish(TransferOutcome::Completed);
        return;
    }
    acceptRange();
}

void RangeTransfer::acceptRange()
{
    m_overlapByte = m_data.back();
    Q_EMIT progressed(m_range.last, m_range.total);
    if (!m_running) // the receiver aborted us
        return;
    if (m_range.last == m_range.total - 1) {
        finish(TransferOutcome::Completed);
        return;
    }
    // The checks above make every range end before the last byte reach
    // RangeStep past its start, so the next one is wanted; were they ever
    // loosened, the chain still ends here rather than asking for nothing.
    m_nextStart += Server::RangeStep;
    ++m_rangeIndex;
    awaitAnswer();
    requestMore();
    if (m_connection->waiting() == 0)
        finish(TransferOutcome::BadRange);
}

void RangeTransfer::onTimeout()
{
    if (m_running)
        fail(TransferOutcome::TimedOut);
}

void RangeTransfer::fail(TransferOutcome outcome)
{
    if (!fallBackToOneAtATime())
        finish(outcome);
}

// Asks again, alone, for the range whose answer failed, and for each after
// it only once the one before has come. False when that is how the range
// was asked for already: the first range always goes alone.
bool RangeTransfer::fallBackToOneAtATime()
{
    if (m_rangeIndex == 0 || !m_connection->isPipelining())
        return false;
    m_connection->close();
    m_connection->setPipelining(false);
    m_nextRequest = m_nextStart;
    awaitAnswer();
    requestMore();
    return true;
}

void RangeTransfer::dropAnswer()
{
    m_rangeTimer.stop();
    m_connection->close();
}

void RangeTransfer::finish(TransferOutcome outcome)
{
    dropAnswer();
    m_running = false;
    m_outcome = outcome;
    if (outcome != TransferOutcome::Completed)
        m_data = QByteArray();
    Q_EMIT finished(outcome);
}
