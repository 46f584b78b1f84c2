// The answers of the fault server: what nginx would send for a request, and
// the ways each can be broken.
#include "support/faultserver.h"

#include <QHash>

#include <zlib.h>

namespace {

constexpr qint64 HugeTotal = 9'000'000'000'000;

QByteArray gzip(const QByteArray &data)
{
    z_stream stream{};
    // 16 + 15 window bits: a gzip wrapper rather than zlib's.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + 15, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray statusLine(int status)
{
    static const QHash<int, QByteArray> reasons = {{200, "OK"},
                                                   {206, "Partial Content"},
                                                   {302, "Found"},
                                                   {400, "Bad Request"},
                                                   {403, "Forbidden"},
                                                   {404, "Not Found"},
                                                   {416, "Requested Range Not Satisfiable"},
                                                   {500, "Internal Server Error"},
                                                   {502, "Bad Gateway"}};
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasons.value(status, "Status");
}

QByteArray contentRange(qint64 first, qint64 last, qint64 total)
{
    return "Content-Range: bytes " + QByteArray::number(first) + '-' + QByteArray::number(last) +
           '/' + QByteArray::number(total);
}

QByteArray page(int status)
{
    return "<html><body><h1>" + QByteArray::number(status) + "</h1></body></html>\r\n";
}

} // namespace

FaultServer::Answer FaultServer::statusAnswer(int status)
{
    return {statusLine(status), page(status)};
}

FaultServer::Answer FaultServer::answerFor(const Request &request, const QByteArray &content,
                                           Fault fault)
{
    const qint64 size = content.size();
    switch (fault) {
    case Fault::Status403:
        return statusAnswer(403);
    case Fault::Status404:
        return statusAnswer(404);
    case Fault::Status500:
        return statusAnswer(500);
    case Fault::Status502:
        return statusAnswer(502);
    case Fault::WholeFile200:
        return {statusLine(200), content};
    case Fault::Empty200:
        return {statusLine(200), {}};
    case Fault::Status416:
        return {statusLine(416) + "\r\nContent-Range: bytes */" + QByteArray::number(size),
                page(416)};
    case Fault::Redirect:
        return {statusLine(302) + "\r\nLocation: /moved" + request.path, page(302)};
    default:
        break;
    }
    // The nginx way for an honest request.
    if (request.start < 0)
        return {statusLine(200), content};
    if (size == 0 && request.start == 0)
        return {statusLine(200), {}};
    if (request.start >= size)
        return {statusLine(416) + "\r\nContent-Range: bytes */" + QByteArray::number(size),
                page(416)};
    return rangeAnswer(content, fault, request.start, qMin(request.end, size - 1));
}

// A 206 for bytes first..last of content, broken as the fault says.
FaultServer::Answer FaultServer::rangeAnswer(const QByteArray &content, Fault fault, qint64 first,
                                             qint64 last)
{
    qint64 total = content.size();
    if (fault == Fault::WrongStart)
        first = qMin(first + 1, last);
    if (fault == Fault::WrongEnd)
        last = qMax(first, last - 1);
    if (fault == Fault::ChangingTotal)
        total += 1;
    if (fault == Fault::HugeTotal)
        total = HugeTotal;
    QByteArray body = content.mid(first, last - first + 1);
    const QByteArray range = contentRange(first, last, total);
    QByteArray head = statusLine(206);
    if (fault == Fault::MalformedContentRange)
        head += "\r\nContent-Range: bytes=" + QByteArray::number(first) + '-' +
                QByteArray::number(last) + '/' + QByteArray::number(total);
    else if (fault != Fault::MissingContentRange)
        head += "\r\n" + range;
    if (fault == Fault::DuplicateContentRange)
        head += "\r\n" + range;
    const qsizetype length = body.size();
    if (fault == Fault::LongerBody)
        body += QByteArray(10, 'x');
    if (fault == Fault::ShorterBody || fault == Fault::WrongContentLength)
        body.chop(1);
    if (fault == Fault::Gzip) {
        // Of exactly the announced length, so that only the encoding
        // tells it apart.
        body = gzip(body).leftJustified(length, '\0', true);
        head += "\r\nContent-Encoding: gzip";
    }
    const bool declareLength = fault != Fault::LongerBody && fault != Fault::ShorterBody;
    return {head, body, declareLength};
}
