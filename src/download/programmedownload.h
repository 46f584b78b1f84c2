#pragma once

#include "download/transferoutcome.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QListWidget;
class RangeTransfer;

// What the download queue needs of the window it works for.
class DownloadHost
{
public:
    virtual ~DownloadHost() = default;
    virtual QString programmeSource() const = 0; // download server base URL
    virtual QString currentServerKey() const = 0;
    virtual QString cacheFolder() const = 0; // ends in "/"
    virtual QString applicationPath(const QString &relative) const = 0;
    virtual void setRowText(int row, const QString &text) = 0;
    // The programme has arrived: mark and select its row, play it, record it.
    virtual void programmeArrived(int row, const QString &rowText, const QString &file) = 0;
    // A modal message with the title "提示"; returns when it is closed.
    virtual void tellUser(const QString &text) = 0;
    virtual void reloadServerKey() = 0;
};

// The download queue: entries wait in a hidden list (text = the row text at
// request time, item data = the row's index); the first entry is the one
// being fetched. One download at a time, in order; each failure's message is
// closed before the next entry starts.
class ProgrammeDownloads : public QObject
{
    Q_OBJECT
public:
    ProgrammeDownloads(DownloadHost *host, QListWidget *queue, int rangeWaitMs,
                       QObject *parent = nullptr);
    ~ProgrammeDownloads() override;

    // Queues the row and starts the queue when it was idle.
    void request(int row, const QString &rowText);
    bool isBusy() const;

Q_SIGNALS:
    // The queue has run empty.
    void idle();

private:
    void startHead();
    void onProgress(qint64 lastByte, qint64 total);
    void onFinished(TransferOutcome outcome);
    bool save(const QByteArray &data);
    void fail(bool refreshKey);
    void finishHead(bool refreshKey);
    void refreshKeyThenContinue();
    void continueQueue();

    DownloadHost *m_host;
    QListWidget *m_queue;
    int m_rangeWaitMs;
    QPointer<RangeTransfer> m_transfer;
    QObject *m_keyRefresh = nullptr;
    int m_row = -1;
    QString m_rowText;
    QString m_file;
};

// "正在下载 N%": N is the whole part of lastByte / total * 100.
QString downloadProgressText(qint64 lastByte, qint64 total);
