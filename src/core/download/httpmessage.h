#pragma once

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <utility>

// The parts of HTTP/1.1 messages that our range requests need: the request
// we send and the head of an answer. Pure, so that it is easy to test.
namespace HttpMessage {

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
inline constexpr qsizetype MaxHeadBytes = 64 * 1024;

// "scheme://host:port" of url, the same for every URL on one connection.
QString originOf(const QUrl &url);
// A GET for url with these fields besides Host.
QByteArray request(const QUrl &url, const Fields &fields);
// Where the head at the start of in ends (the empty line, CR LF or a bare
// LF), -1 if it has not all come yet; skip is the length of the line ends
// there. Looks no further than MaxHeadBytes.
qsizetype endOfHead(const QByteArray &in, qsizetype &skip);
// Parses "HTTP/1.x NNN reason" and the fields after it. False for anything
// that is not an HTTP/1 head or whose length is not one plain number.
bool parseHead(const QByteArray &text, Head &head);

} // namespace HttpMessage
