#include "core/download/downloadqueue.h"

#include "core/base/atomicfile.h"
#include "core/catalogue/programmelist.h"
#include "core/download/rangetransfer.h"
#include "core/download/server.h"
#include "core/download/serverkey.h"

#include <QFile>
#include <QTimer>

int downloadPercent(qint64 lastByte, qint64 total)
{
    return total > 0 ? static_cast<int>(lastByte * 100 / total) : 0;
}

DownloadQueue::DownloadQueue(Settings settings, std::function<QString()> serverKey, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_serverKey(std::move(serverKey))
{
}

DownloadQueue::~DownloadQueue()
{
    // Leaving mid-download keeps the empty cache file, which the next list
    // load recognises and removes.
    if (m_transfer)
        m_transfer->disconnect(this);
}

QStringList DownloadQueue::names() const
{
    QStringList names;
    for (const Entry &e : m_entries)
        names.append(e.name);
    return names;
}

bool DownloadQueue::request(const ProgrammeItem &programme)
{
    if (count() >= MaxEntries || names().contains(programme.name))
        return false;
    m_entries.enqueue(Entry{programme.name, programme.state});
    report(m_entries.last(), ProgrammeState::Queued);
    if (count() == 1)
        startHead();
    return true;
}

void DownloadQueue::startHead()
{
    const Entry &head = m_entries.head();
    m_file = cacheFileOf(m_settings.paths.flashDir(), head.name);

    // The empty file marks a download in progress; should the program end
    // now, the next list load finds it empty and offers the programme again.
    QFile marker(m_file);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(TransferOutcome::FileError);
        return;
    }
    marker.close();
    report(head, ProgrammeState::Starting);

    m_transfer = new RangeTransfer(
        Server::programmeUrl(m_settings.server, m_serverKey(), head.name),
        RangeTransfer::Options{m_settings.rangeWaitMs, RangeTransfer::DefaultMaxTotal}, this);
    connect(m_transfer, &RangeTransfer::progressed, this, &DownloadQueue::onProgress);
    connect(m_transfer, &RangeTransfer::finished, this, &DownloadQueue::onFinished);
    m_transfer->start();
}

void DownloadQueue::onProgress(qint64 lastByte, qint64 total)
{
    report(m_entries.head(), ProgrammeState::Downloading, downloadPercent(lastByte, total));
}

void DownloadQueue::onFinished(TransferOutcome outcome)
{
    RangeTransfer *transfer = m_transfer;
    m_transfer = nullptr;
    transfer->deleteLater();

    if (outcome == TransferOutcome::Completed && save(transfer->takeData())) {
        const Entry &head = m_entries.head();
        report(head, ProgrammeState::Cached);
        Q_EMIT arrived(head.name, m_file);
        continueQueue();
        return;
    }
    if (outcome == TransferOutcome::Completed)
        outcome = TransferOutcome::FileError;
    const QString message = messageFor(outcome);
    if (!message.isEmpty())
        Q_EMIT failed(m_entries.head().name, message);
    fail(outcome);
}

QString DownloadQueue::messageFor(TransferOutcome outcome) const
{
    switch (outcome) {
    case TransferOutcome::TooManyConnections:
        return QStringLiteral("连接数过多");
    case TransferOutcome::NotFound:
        return QStringLiteral("文件无法找到");
    case TransferOutcome::TimedOut:
        return QStringLiteral("下载文件超时");
    case TransferOutcome::ServerError:
    case TransferOutcome::NetworkError:
        // A server that cannot be reached counts as a busy network. Said
        // once, for the last of a run of failures.
        return count() == 1 ? QStringLiteral("网络繁忙或不畅,请再试") : QString();
    case TransferOutcome::NotResumable:
        return QStringLiteral("不支持断点续传");
    case TransferOutcome::MissingContentRange:
        return QStringLiteral("无法获取文件大小！");
    case TransferOutcome::Completed:
    case TransferOutcome::BadRange:
    case TransferOutcome::FileError:
    case TransferOutcome::Aborted:
        break;
    }
    return {};
}

bool DownloadQueue::save(const QByteArray &data)
{
    return AtomicFile::write(m_file, data).ok();
}

void DownloadQueue::fail(TransferOutcome outcome)
{
    QFile::remove(m_file);
    const Entry &head = m_entries.head();
    report(head, head.before);
    // After a 404 the key may be out of date: the next entry must already
    // use the new one, so it waits for the refresh.
    if (outcome == TransferOutcome::NotFound)
        refreshKeyThenContinue();
    else
        continueQueue();
}

void DownloadQueue::refreshKeyThenContinue()
{
    m_keyRefresh = new QObject(this);
    refreshServerKey(m_settings.rangeWaitMs, m_settings.server, m_settings.paths.appDir(),
                     m_keyRefresh, [this](TransferOutcome, std::optional<QString>) {
                         Q_EMIT keyFileRefreshed();
                         m_keyRefresh->deleteLater();
                         m_keyRefresh = nullptr;
                         continueQueue();
                     });
}

void DownloadQueue::continueQueue()
{
    Q_EMIT ended(m_entries.dequeue().name);
    if (m_entries.isEmpty())
        return;
    // Let the finished transfer unwind before the next one starts.
    QTimer::singleShot(0, this, [this] {
        if (!m_entries.isEmpty() && !m_transfer)
            startHead();
    });
}

void DownloadQueue::report(const Entry &entry, ProgrammeState state, int percent)
{
    Q_EMIT stateChanged(entry.name, state, percent);
}
