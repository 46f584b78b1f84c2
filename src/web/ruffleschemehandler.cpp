#include "web/ruffleschemehandler.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>

const QByteArray RuffleSchemeHandler::Scheme = QByteArrayLiteral("qvplayer");
const QString RuffleSchemeHandler::Origin = QStringLiteral("qvplayer://app");

namespace {

QByteArray mimeTypeOf(const QString &name)
{
    if (name.endsWith(QLatin1String(".html")))
        return "text/html";
    if (name.endsWith(QLatin1String(".js")))
        return "text/javascript";
    if (name.endsWith(QLatin1String(".wasm")))
        return "application/wasm";
    if (name.endsWith(QLatin1String(".swf")))
        return "application/x-shockwave-flash";
    if (name.endsWith(QLatin1String(".map")) || name.endsWith(QLatin1String(".json")))
        return "application/json";
    return "application/octet-stream";
}

// A bare file name: no folders, nothing hidden, nothing that climbs out.
bool isPlainFileName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[^/\\\\.][^/\\\\]*$"));
    return plain.match(name).hasMatch();
}

void replyWith(QWebEngineUrlRequestJob *job, const QByteArray &mime, const QByteArray &data)
{
    auto *buffer = new QBuffer(job);
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    job->reply(mime, buffer);
}

} // namespace

RuffleSchemeHandler::RuffleSchemeHandler(const QString &ruffleFolder, RuffleContent *content,
                                         QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_ruffleFolder(ruffleFolder), m_content(content)
{
}

void RuffleSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (url.host() != QLatin1String("app")) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QStringList parts = url.path().split(u'/', Qt::SkipEmptyParts);
    if (parts.size() == 1 &&
        (parts[0] == QLatin1String("player.html") || parts[0] == QLatin1String("player.js"))) {
        QFile file(QStringLiteral(":/player/") + parts[0]);
        if (file.open(QIODevice::ReadOnly))
            return replyWith(job, mimeTypeOf(parts[0]), file.readAll());
    } else if (parts.size() == 2 && parts[0] == QLatin1String("ruffle")) {
        return serveRuntime(job, parts[1]);
    } else if (parts.size() == 3 && parts[0] == QLatin1String("movie")) {
        return serveMovie(job, parts);
    } else if (parts.size() == 2 && parts[0] == QLatin1String("control")) {
        // A movie of an earlier generation still polling gets nothing to do.
        const bool current = parts[1] == QString::number(m_content->generation);
        if (current)
            m_content->acknowledged = QUrlQuery(url).queryItemValue(QStringLiteral("k")).toInt();
        return replyWith(job, "text/plain", current ? m_content->commandReply : QByteArray());
    }
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

void RuffleSchemeHandler::serveRuntime(QWebEngineUrlRequestJob *job, const QString &name)
{
    if (!isPlainFileName(name)) {
        job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        return;
    }
    auto cached = m_runtimeCache.constFind(name);
    if (cached == m_runtimeCache.constEnd()) {
        QFile file(QDir(m_ruffleFolder).filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        cached = m_runtimeCache.insert(name, file.readAll());
    }
    replyWith(job, mimeTypeOf(name), *cached);
}

void RuffleSchemeHandler::serveMovie(QWebEngineUrlRequestJob *job, const QStringList &parts)
{
    if (parts[1] != QString::number(m_content->generation) || !isPlainFileName(parts[2])) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (parts[2] == QLatin1String("movie.swf"))
        return replyWith(job, mimeTypeOf(parts[2]), m_content->movie);
    QFile file(QDir(m_content->movieFolder).filePath(parts[2]));
    if (m_content->movieFolder.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    replyWith(job, mimeTypeOf(parts[2]), file.readAll());
}
