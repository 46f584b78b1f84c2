#include "core/download/resumabledownload.h"

#include "core/base/atomicfile.h"
#include "core/download/fileoperations.h"

#include <QDir>
#include <QFile>
#include <QTimer>

ResumableDownload::ResumableDownload(int rangeWaitMs, QObject *parent)
    : ResumableDownload(RangeTransfer::Options{rangeWaitMs}, parent)
{
}

ResumableDownload::ResumableDownload(RangeTransfer::Options options, QObject *parent)
    : QObject(parent), m_options(options)
{
}

ResumableDownload::~ResumableDownload()
{
    if (m_transfer) {
        delete m_transfer;
        deleteTemporary();
    }
}

void ResumableDownload::start(const QUrl &sourceUrl, const QString &temporaryPath,
                              const QString &finalPath)
{
    if (m_transfer)
        return;
    m_temporaryPath = temporaryPath;
    m_finalPath = finalPath;
    m_transfer = new RangeTransfer(sourceUrl, m_options, this);
    connect(m_transfer, &RangeTransfer::finished, this, &ResumableDownload::onTransferFinished);
    // Creating the temporary file would empty the final file if both were
    // the same.
    if (QDir::cleanPath(temporaryPath) == QDir::cleanPath(finalPath)) {
        m_temporaryPath.clear(); // nothing of ours to delete
        failLater(TransferOutcome::FileError);
        return;
    }
    QFile temporary(temporaryPath);
    if (!temporary.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        failLater(TransferOutcome::FileError);
        return;
    }
    temporary.close();
    m_transfer->start();
}

// Keeps finished() asynchronous, as it is for every network outcome.
void ResumableDownload::failLater(TransferOutcome outcome)
{
    QTimer::singleShot(0, m_transfer, [this, outcome] { onTransferFinished(outcome); });
}

void ResumableDownload::onTransferFinished(TransferOutcome outcome)
{
    RangeTransfer *transfer = m_transfer;
    m_transfer = nullptr;
    if (outcome == TransferOutcome::Completed && !saveAndReplace(transfer->takeData()))
        outcome = TransferOutcome::FileError;
    if (outcome != TransferOutcome::Completed)
        deleteTemporary();
    transfer->deleteLater();
    Q_EMIT finished(outcome);
}

bool ResumableDownload::saveAndReplace(const QByteArray &data)
{
    return AtomicFile::write(m_temporaryPath, data).ok() &&
           replaceFile(m_temporaryPath, m_finalPath);
}

void ResumableDownload::deleteTemporary()
{
    if (m_temporaryPath.isEmpty())
        return;
    // A temporary file that stays does no harm: the final file is untouched
    // either way.
    deleteFileIfExists(m_temporaryPath);
}

void downloadWithResume(int rangeWaitMs, const QUrl &sourceUrl, const QString &temporaryPath,
                        const QString &finalPath, QObject *context,
                        std::function<void(TransferOutcome)> done)
{
    auto *download = new ResumableDownload(rangeWaitMs, context);
    QObject::connect(download, &ResumableDownload::finished, download,
                     [download, done = std::move(done)](TransferOutcome outcome) {
                         download->deleteLater();
                         if (done)
                             done(outcome);
                     });
    download->start(sourceUrl, temporaryPath, finalPath);
}
