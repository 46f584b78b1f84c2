#include "web/ruffleschemehandler.h"

#include "core/swf/swfrewriter.h"
#include "web/pagecontract.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>

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
    // Not owned by the job: a reply owned by it is freed inside the job's
    // destructor, while the engine may still hold on to it. It goes once the
    // event loop has moved on.
    auto *buffer = new QBuffer;
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    QObject::connect(job, &QObject::destroyed, buffer, &QObject::deleteLater);
    job->reply(mime, buffer);
}

} // namespace

RuffleSchemeHandler::RuffleSchemeHandler(const QString &ruffleFolder, QObject *parent)
    : QWebEngineUrlSchemeHandler(parent), m_ruffleFolder(ruffleFolder)
{
}

void RuffleSchemeHandler::setMovie(int generation, const QByteArray &movie, const QString &folder)
{
    m_generation = generation;
    m_movie = movie;
    m_movieFolder = folder;
    m_commandId = 0;
    m_command.clear();
}

void RuffleSchemeHandler::setCommand(int id, const QByteArray &variables)
{
    m_commandId = id;
    m_command = variables;
}

void RuffleSchemeHandler::requestStarted(QWebEngineUrlRequestJob *job)
{
    const QUrl url = job->requestUrl();
    if (url.host() != QLatin1String(PageContract::Host)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QStringList parts = url.path().split(u'/', Qt::SkipEmptyParts);
    if (parts.size() == 1 &&
        (parts[0] == QLatin1String("player.html") || parts[0] == QLatin1String("player.js"))) {
        return servePage(job, parts[0]);
    } else if (parts.size() == 2 && parts[0] == QLatin1String("ruffle")) {
        return serveRuntime(job, parts[1]);
    } else if (parts.size() == 3 && parts[0] == QLatin1String(PageContract::MovieFolder)) {
        return serveMovie(job, parts);
    } else if (parts.size() == 2 && parts[0] == QLatin1String("control")) {
        return serveControl(job, parts[1], QUrlQuery(url).queryItemValue(QStringLiteral("k")));
    }
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
}

void RuffleSchemeHandler::servePage(QWebEngineUrlRequestJob *job, const QString &name)
{
    QFile file(QStringLiteral(":/player/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    // The script learns what it shares with the program ahead of its own code.
    const QByteArray prefix =
        name.endsWith(QLatin1String(".js")) ? PageContract::constantsScript() : QByteArray();
    replyWith(job, mimeTypeOf(name), prefix + file.readAll());
}

void RuffleSchemeHandler::serveControl(QWebEngineUrlRequestJob *job, const QString &generation,
                                       const QString &ranLast)
{
    // A movie of an earlier generation still polling gets nothing to do.
    // The handler goes with its player, and the request may go first.
    auto answer = [this, job = QPointer<QWebEngineUrlRequestJob>(job), generation] {
        if (job)
            replyWith(job, "text/plain",
                      generation == QString::number(m_generation) ? m_command : QByteArray());
    };
    const bool current = generation == QString::number(m_generation);
    if (current && !ranLast.isEmpty())
        Q_EMIT commandRan(ranLast.toInt());
    // The movie asks again as soon as it has its answer: with nothing new,
    // the answer waits a moment (or until the request goes away).
    if (!current || m_commandId == 0 || QString::number(m_commandId) == ranLast)
        QTimer::singleShot(swf::hook::PollIntervalMs, this, answer);
    else
        answer();
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
    if (m_movie.isEmpty() || parts[1] != QString::number(m_generation) ||
        !isPlainFileName(parts[2])) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    if (parts[2] == QLatin1String(PageContract::MovieFile))
        return replyWith(job, mimeTypeOf(parts[2]), m_movie);
    QFile file(QDir(m_movieFolder).filePath(parts[2]));
    if (m_movieFolder.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    replyWith(job, mimeTypeOf(parts[2]), file.readAll());
}
