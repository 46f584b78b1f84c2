#pragma once

#include "core/base/apppaths.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/transferoutcome.h"
#include "core/playback/programmeselection.h"

#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>

#include <functional>

class RangeTransfer;

// The programmes waiting to be fetched, in the order they were chosen. The
// head is the one being fetched; one download at a time. Each entry keeps
// its row of the list model, whose state it moves along (queued, starting,
// downloading N %) and puts back when the download fails.
class DownloadQueue : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxEntries = MaxQueuedDownloads;

    struct Settings
    {
        QString server; // base URL ending in "/"
        AppPaths paths; // the cache and the key files
        int rangeWaitMs = 24000;
    };

    // serverKey is asked for the key at the start of every download, so a
    // key read anew after a refresh is used by the next entry.
    DownloadQueue(ProgrammeListModel *list, Settings settings, std::function<QString()> serverKey,
                  QObject *parent = nullptr);
    ~DownloadQueue() override;

    // Queues the programme of the row and starts the queue when it was idle.
    // False, and nothing changes, when the queue is full.
    bool request(int row);

    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // The rows of the entries, the one being fetched first.
    QList<int> rows() const;

Q_SIGNALS:
    // The programme of the row has arrived in the cache as file; the entry
    // still heads the queue while this is handled.
    void arrived(int row, const QString &file);
    // A download failed. message is what to tell the user (empty: nothing);
    // whoever shows it returns only once it is closed, and the next entry
    // waits for that.
    void failed(int row, const QString &message);
    // The entry of the row has left the queue, fetched or not.
    void ended(int row);
    // The key file was fetched anew after a 404; read the key again.
    void keyFileRefreshed();

private:
    struct Entry
    {
        int row;
        QString name;
        ProgrammeState before; // the row's state when it was chosen
    };

    void startHead();
    void onProgress(qint64 lastByte, qint64 total);
    void onFinished(TransferOutcome outcome);
    QString messageFor(TransferOutcome outcome) const;
    bool save(const QByteArray &data);
    void fail(TransferOutcome outcome);
    void refreshKeyThenContinue();
    void continueQueue();

    ProgrammeListModel *m_list;
    Settings m_settings;
    std::function<QString()> m_serverKey;
    QQueue<Entry> m_entries;
    QPointer<RangeTransfer> m_transfer;
    QObject *m_keyRefresh = nullptr;
    QString m_file; // the head's cache file
};

// The whole percent of a download: lastByte / total * 100, rounded down.
int downloadPercent(qint64 lastByte, qint64 total);
