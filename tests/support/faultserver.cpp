#include "support/faultserver.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <zlib.h>

#include <memory>

namespace {

constexpr qint64 Step = 40960;
constexpr qint64 HugeTotal = 9'000'000'000'000;
constexpr int MaxRequestHead = 64 * 1024;

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

// Parses "bytes=S-E"; false for anything else.
bool parseRange(const QByteArray &value, qint64 &start, qint64 &end)
{
    if (!value.startsWith("bytes="))
        return false;
    const QList<QByteArray> parts = value.mid(6).split('-');
    bool okStart = false;
    bool okEnd = false;
    if (parts.size() != 2)
        return false;
    start = parts[0].toLongLong(&okStart);
    end = parts[1].toLongLong(&okEnd);
    return okStart && okEnd && start <= end;
}

} // namespace

QByteArray FaultServer::Request::header(const QByteArray &name) const
{
    for (const auto &[key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

int FaultServer::Request::headerCount(const QByteArray &name) const
{
    int count = 0;
    for (const auto &pair : headers)
        count += pair.first.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return count;
}

FaultServer::FaultServer(QObject *parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &FaultServer::onNewConnection);
}

FaultServer::~FaultServer() = default;

bool FaultServer::listen()
{
    return m_server->listen(QHostAddress::LocalHost, 0);
}

quint16 FaultServer::port() const
{
    return m_server->serverPort();
}

QString FaultServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

QUrl FaultServer::url(const QString &path) const
{
    return QUrl(baseUrl() + path.mid(1));
}

void FaultServer::setFile(const QByteArray &path, const QByteArray &content)
{
    m_files.insert(path, content);
}

void FaultServer::removeFile(const QByteArray &path)
{
    m_files.remove(path);
}

void FaultServer::setFault(const QByteArray &path, Fault fault, int rangeIndex)
{
    m_faults.insert(path, {fault, rangeIndex});
}

void FaultServer::clearFaults()
{
    m_faults.clear();
}

QList<QByteArray> FaultServer::rangesFor(const QByteArray &path) const
{
    QList<QByteArray> ranges;
    for (const Request &request : m_requests)
        if (request.path == path)
            ranges.append(request.header("Range"));
    return ranges;
}

int FaultServer::lastRangeIndex(qint64 size)
{
    int index = 0;
    while (index * Step + Step < size - 1)
        ++index;
    return index;
}

void FaultServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}

void FaultServer::onReadyRead(QTcpSocket *socket)
{
    // One request per connection: every answer closes it, so nothing after
    // the head matters.
    if (socket->property("answered").toBool())
        return;
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    const qsizetype endOfHead = head.indexOf("\r\n\r\n");
    if (endOfHead < 0) {
        if (head.size() > MaxRequestHead)
            socket->abort();
        else
            socket->setProperty("head", head);
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> lines = head.left(endOfHead).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    Request request;
    request.method = requestLine.value(0);
    request.path = requestLine.value(1).split('?').value(0);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.headers.append(
                {lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
    }
    qint64 start = 0;
    qint64 end = -1;
    const bool ranged = parseRange(request.header("Range"), start, end);
    request.rangeIndex = ranged ? int(start / Step) : 0;
    m_requests.append(request);
    respond(socket, request, ranged ? start : -1, end);
}

void FaultServer::respond(QTcpSocket *socket, const Request &request, qint64 start, qint64 end)
{
    const auto file = m_files.constFind(request.path);
    if (file == m_files.constEnd()) {
        send(socket, {statusLine(404), page(404)}, Fault::None);
        return;
    }
    const FaultSetting setting = m_faults.value(request.path);
    const bool applies =
        setting.rangeIndex == EveryRange || setting.rangeIndex == request.rangeIndex;
    const Fault fault = applies ? setting.fault : Fault::None;
    send(socket, answerFor(request, *file, fault, start, end), fault);
}

FaultServer::Answer FaultServer::answerFor(const Request &request, const QByteArray &content,
                                           Fault fault, qint64 start, qint64 end) const
{
    const qint64 size = content.size();
    switch (fault) {
    case Fault::Status403:
    case Fault::Status404:
    case Fault::Status500:
    case Fault::Status502: {
        const int status = fault == Fault::Status403   ? 403
                           : fault == Fault::Status404 ? 404
                           : fault == Fault::Status500 ? 500
                                                       : 502;
        return {statusLine(status), page(status)};
    }
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
    if (start < 0)
        return {statusLine(200), content};
    if (size == 0 && start == 0)
        return {statusLine(200), {}};
    if (start >= size)
        return {statusLine(416) + "\r\nContent-Range: bytes */" + QByteArray::number(size),
                page(416)};
    return rangeAnswer(content, fault, start, qMin(end, size - 1));
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

void FaultServer::send(QTcpSocket *socket, const Answer &answer, Fault fault)
{
    QByteArray head = answer.head;
    head +=
        "\r\nServer: fault-server\r\nConnection: close\r\nContent-Type: application/octet-stream";
    if (answer.declareLength)
        head += "\r\nContent-Length: " + QByteArray::number(answer.body.size());
    head += "\r\n\r\n";
    socket->write(head);
    switch (fault) {
    case Fault::StallAfterHeaders:
        return;
    case Fault::SlowDrip:
        drip(socket, answer.body);
        return;
    case Fault::ResetMidBody:
        socket->write(answer.body.left(answer.body.size() / 2));
        // abort() would throw away what is still buffered: wait until the
        // half body has left, then cut the connection.
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
            if (socket->bytesToWrite() == 0)
                socket->abort();
        });
        return;
    default:
        socket->write(answer.body);
        socket->disconnectFromHost();
        return;
    }
}

void FaultServer::drip(QTcpSocket *socket, const QByteArray &body)
{
    auto *timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, body, sent] {
        if (*sent >= body.size()) {
            timer->stop();
            socket->disconnectFromHost();
            return;
        }
        socket->write(body.mid(*sent, 1));
        ++*sent;
    });
    timer->start(m_dripIntervalMs);
}
