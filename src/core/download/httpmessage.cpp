#include "core/download/httpmessage.h"

namespace HttpMessage {

namespace {

bool parseLength(const QByteArray &value, qint64 &length)
{
    if (value.isEmpty() || value.size() > 18)
        return false;
    for (char c : value)
        if (c < '0' || c > '9')
            return false;
    length = value.toLongLong();
    return true;
}

} // namespace

QByteArray Head::field(QByteArrayView name) const
{
    QByteArray value;
    bool found = false;
    for (const auto &[n, v] : fields) {
        if (n.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (found)
            value += ", ";
        value += v;
        found = true;
    }
    return value;
}

QString originOf(const QUrl &url)
{
    const bool https = url.scheme().compare(u"https", Qt::CaseInsensitive) == 0;
    return (https ? QStringLiteral("https://") : QStringLiteral("http://")) +
           url.host(QUrl::FullyEncoded).toLower() + u':' +
           QString::number(url.port(https ? 443 : 80));
}

QByteArray request(const QUrl &url, const Fields &fields)
{
    QByteArray target = url.path(QUrl::FullyEncoded).toLatin1();
    if (target.isEmpty())
        target = "/";
    if (url.hasQuery())
        target += '?' + url.query(QUrl::FullyEncoded).toLatin1();
    QByteArray request =
        "GET " + target + " HTTP/1.1\r\nHost: " +
        url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() + "\r\n";
    for (const auto &[name, value] : fields)
        request += name + ": " + value + "\r\n";
    return request + "\r\n";
}

qsizetype endOfHead(const QByteArray &in, qsizetype &skip)
{
    for (qsizetype line = in.indexOf('\n'); line >= 0; line = in.indexOf('\n', line + 1)) {
        if (line + 1 < in.size() && in.at(line + 1) == '\n') {
            skip = 2;
            return line;
        }
        if (line + 2 < in.size() && in.at(line + 1) == '\r' && in.at(line + 2) == '\n') {
            skip = line > 0 && in.at(line - 1) == '\r' ? 4 : 3;
            return line - (skip - 3);
        }
        if (line > MaxHeadBytes)
            break;
    }
    return -1;
}

bool parseHead(const QByteArray &text, Head &head)
{
    const QList<QByteArray> lines = text.split('\n');
    const QByteArray status = lines.front().trimmed();
    if (!status.startsWith("HTTP/1.") || status.size() < 12 || status.at(8) != ' ')
        return false;
    bool ok = false;
    head.status = status.mid(9, 3).toInt(&ok);
    if (!ok || head.status < 100)
        return false;
    head.keepAlive = status.at(7) != '0';
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        head.fields.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const QByteArray connection = head.field("Connection").toLower();
    if (connection.contains("close"))
        head.keepAlive = false;
    else if (connection.contains("keep-alive"))
        head.keepAlive = true;
    const QByteArray length = head.field("Content-Length");
    if (!length.isEmpty() && !parseLength(length, head.contentLength))
        return false; // also two different lengths, which come joined
    head.otherFraming = !head.field("Transfer-Encoding").isEmpty();
    if (head.otherFraming) {
        // The length means nothing then, and the end of the body is unknown.
        head.contentLength = -1;
        head.keepAlive = false;
    }
    return true;
}

} // namespace HttpMessage
