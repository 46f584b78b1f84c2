#pragma once

#include "core/download/rangetransfer.h"
#include "core/download/transferoutcome.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

// A silent transfer of one URL to a file on disk. The temporary file is
// created empty at the start and, only when the whole file has arrived,
// written once and renamed over the final file. Any failure deletes the
// temporary file and leaves the final file as it was.
class ResumableDownload : public QObject
{
    Q_OBJECT
public:
    explicit ResumableDownload(int rangeWaitMs, QObject *parent = nullptr);
    explicit ResumableDownload(RangeTransfer::Options options, QObject *parent = nullptr);
    // A transfer still running is stopped and its temporary file deleted.
    ~ResumableDownload() override;

    void start(const QUrl &sourceUrl, const QString &temporaryPath, const QString &finalPath);

Q_SIGNALS:
    void finished(TransferOutcome outcome);

private:
    void onTransferFinished(TransferOutcome outcome);
    bool saveAndReplace(const QByteArray &data);
    void failLater(TransferOutcome outcome);
    void deleteTemporary();

    RangeTransfer::Options m_options;
    RangeTransfer *m_transfer = nullptr; // a child, while a transfer runs
    QString m_temporaryPath;
    QString m_finalPath;
};

// Fetches sourceUrl to finalPath by way of temporaryPath and calls done once
// with the outcome. The transfer belongs to context: if context is destroyed
// first, the transfer stops, its temporary file is deleted and done is not
// called.
void downloadWithResume(int rangeWaitMs, const QUrl &sourceUrl, const QString &temporaryPath,
                        const QString &finalPath, QObject *context,
                        std::function<void(TransferOutcome)> done);
