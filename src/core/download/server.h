#pragma once

#include <QString>
#include <QUrl>

// The download server's paths. All of them lie below the configured base URL,
// which ends in "/". A plain static HTTP server with byte-range support
// serves them.
namespace Server {

// One programme's movie: <base><key>/flash/<name>.swf. The name is sent as
// UTF-8 percent-encoding; it must already have passed isUsableProgrammeName.
QUrl programmeUrl(const QString &base, const QString &serverKey, const QString &name);
// The key file; the first field of its first line holds the key characters.
QUrl keyFileUrl(const QString &base);
// The version file of the current release.
QUrl versionFileUrl(const QString &base);
// The updater program's bytes.
QUrl updaterUrl(const QString &base);

// Every request asks for bytes=start-(start+RangeStep), so a full range
// carries RangeStep + 1 bytes and the next one starts RangeStep further on.
inline constexpr qint64 RangeStep = 40960;

// What the client makes of an answer's status.
enum class Answer {
    Range,        // 206 with a Content-Range: a piece of the file
    PastEnd,      // 416: the requested start lies past the end
    TooManyUsers, // 403: refused, too many connections
    NotFound,     // 404: for a programme, the key is out of date
    Failure,      // 200 or any other status above 299
};
Answer classify(int httpStatus);

} // namespace Server
