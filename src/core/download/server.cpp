#include "core/download/server.h"

namespace Server {

namespace {
QUrl below(const QString &base, const QString &path)
{
    return QUrl(base + path);
}
} // namespace

QUrl programmeUrl(const QString &base, const QString &serverKey, const QString &name)
{
    // QUrl percent-encodes non-ASCII characters as UTF-8; '%' and '#' in a
    // name must not be taken as URL syntax, so encode the name ourselves.
    // The key comes from a file the server sends: it is one path segment
    // whatever it holds. Letters and digits pass unchanged.
    const QByteArray encoded = QUrl::toPercentEncoding(name);
    const QByteArray key = QUrl::toPercentEncoding(serverKey);
    return QUrl(base + QString::fromLatin1(key) + QStringLiteral("/flash/") +
                    QString::fromLatin1(encoded) + QStringLiteral(".swf"),
                QUrl::StrictMode);
}

QUrl keyFileUrl(const QString &base)
{
    return below(base, QStringLiteral("guihu.txt"));
}

QUrl versionFileUrl(const QString &base)
{
    return below(base, QStringLiteral("gengxin/update.txt"));
}

QUrl updaterUrl(const QString &base)
{
    return below(base, QStringLiteral("gengxin/qvgx.txt"));
}

Answer classify(int httpStatus)
{
    switch (httpStatus) {
    case 206:
        return Answer::Range;
    case 416:
        return Answer::PastEnd;
    case 403:
        return Answer::TooManyUsers;
    case 404:
        return Answer::NotFound;
    default:
        return Answer::Failure;
    }
}

} // namespace Server
