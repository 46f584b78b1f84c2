#include "download/programmedownload.h"

#include "catalogue/programmelist.h"
#include "download/rangetransfer.h"
#include "download/resumabledownload.h"
#include "download/server.h"

#include <QFile>
#include <QListWidget>
#include <QSaveFile>
#include <QTimer>

QString downloadProgressText(qint64 lastByte, qint64 total)
{
    const qint64 percent = total > 0 ? lastByte * 100 / total : 0;
    return QStringLiteral("正在下载 %1%").arg(percent);
}

ProgrammeDownloads::ProgrammeDownloads(DownloadHost *host, QListWidget *queue, int rangeWaitMs,
                                       QObject *parent)
    : QObject(parent), m_host(host), m_queue(queue), m_rangeWaitMs(rangeWaitMs)
{
}

ProgrammeDownloads::~ProgrammeDownloads()
{
    // Leaving mid-download keeps the empty cache file, which the next list
    // load recognises and removes.
    if (m_transfer)
        m_transfer->disconnect(this);
}

bool ProgrammeDownloads::isBusy() const
{
    return m_queue->count() > 0;
}

void ProgrammeDownloads::request(int row, const QString &rowText)
{
    auto *entry = new QListWidgetItem(rowText);
    entry->setData(Qt::UserRole, row);
    m_queue->addItem(entry);
    m_host->setRowText(row, QStringLiteral("准备下载"));
    if (m_queue->count() == 1)
        startHead();
}

void ProgrammeDownloads::startHead()
{
    QListWidgetItem *head = m_queue->item(0);
    m_row = head->data(Qt::UserRole).toInt();
    m_rowText = head->text();
    const QString name = ProgrammeRow::nameOf(m_rowText);
    m_file = cacheFileOf(m_host->cacheFolder(), name);

    // The empty file marks a download in progress; should the program end
    // now, the next list load finds it empty and offers the programme again.
    QFile marker(m_file);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        fail(false);
        return;
    }
    marker.close();
    m_host->setRowText(m_row, QStringLiteral("开始下载"));

    m_transfer = new RangeTransfer(
        Server::programmeUrl(m_host->programmeSource(), m_host->currentServerKey(), name),
        RangeTransfer::Options{m_rangeWaitMs, RangeTransfer::DefaultMaxTotal}, this);
    connect(m_transfer, &RangeTransfer::progressed, this, &ProgrammeDownloads::onProgress);
    connect(m_transfer, &RangeTransfer::finished, this, &ProgrammeDownloads::onFinished);
    m_transfer->start();
}

void ProgrammeDownloads::onProgress(qint64 lastByte, qint64 total)
{
    m_host->setRowText(m_row, downloadProgressText(lastByte, total));
}

void ProgrammeDownloads::onFinished(TransferOutcome outcome)
{
    RangeTransfer *transfer = m_transfer;
    m_transfer = nullptr;
    transfer->deleteLater();

    switch (outcome) {
    case TransferOutcome::Completed:
        if (!save(transfer->takeData())) {
            fail(false);
            return;
        }
        m_rowText.replace(QLatin1Char('*'), QLatin1Char(' '));
        // The entry is still at the head of the queue here, so the row
        // selection this causes does not load the programme a second time.
        m_host->programmeArrived(m_row, m_rowText, m_file);
        finishHead(false);
        return;
    case TransferOutcome::TooManyConnections:
        m_host->tellUser(QStringLiteral("连接数过多"));
        break;
    case TransferOutcome::NotFound:
        m_host->tellUser(QStringLiteral("文件无法找到"));
        fail(true);
        return;
    case TransferOutcome::TimedOut:
        m_host->tellUser(QStringLiteral("下载文件超时"));
        break;
    case TransferOutcome::ServerError:
    case TransferOutcome::NetworkError:
        // A server that cannot be reached counts as a busy network. Said
        // once, for the last of a run of failures.
        if (m_queue->count() == 1)
            m_host->tellUser(QStringLiteral("网络繁忙或不畅,请再试"));
        break;
    case TransferOutcome::NotResumable:
        m_host->tellUser(QStringLiteral("不支持断点续传"));
        break;
    case TransferOutcome::MissingContentRange:
        m_host->tellUser(QStringLiteral("无法获取文件大小！"));
        break;
    case TransferOutcome::BadRange:
    case TransferOutcome::FileError:
    case TransferOutcome::Aborted:
        break;
    }
    fail(false);
}

bool ProgrammeDownloads::save(const QByteArray &data)
{
    QSaveFile file(m_file);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

void ProgrammeDownloads::fail(bool refreshKey)
{
    QFile::remove(m_file);
    m_host->setRowText(m_row, m_rowText);
    finishHead(refreshKey);
}

void ProgrammeDownloads::finishHead(bool refreshKey)
{
    if (refreshKey) {
        refreshKeyThenContinue();
        return;
    }
    continueQueue();
}

void ProgrammeDownloads::refreshKeyThenContinue()
{
    // The next entry must already use the new key, so it waits for this.
    m_keyRefresh = new QObject(this);
    DownloadWithResume(m_rangeWaitMs, Server::keyFileUrl(m_host->programmeSource()),
                       m_host->applicationPath(QStringLiteral("cons/guihu2.inb")),
                       m_host->applicationPath(QStringLiteral("cons/guihu.inb")), m_keyRefresh,
                       [this](TransferOutcome) {
                           m_host->reloadServerKey();
                           m_keyRefresh->deleteLater();
                           m_keyRefresh = nullptr;
                           continueQueue();
                       });
}

void ProgrammeDownloads::continueQueue()
{
    delete m_queue->takeItem(0);
    if (m_queue->count() > 0) {
        // Let the finished transfer unwind before the next one starts.
        QTimer::singleShot(0, this, [this] {
            if (m_queue->count() > 0 && !m_transfer)
                startHead();
        });
        return;
    }
    Q_EMIT idle();
}
