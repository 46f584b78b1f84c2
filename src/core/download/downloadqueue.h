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
// head is the one being fetched; one download at a time. It knows programmes
// by name only: it reports each one's state as it moves along (queued,
// starting, downloading N %) and the state it had before when the download
// fails, for whichever list shows the programme.
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
    DownloadQueue(Settings settings, std::function<QString()> serverKey, QObject *parent = nullptr);
    ~DownloadQueue() override;

    // Queues the programme and starts the queue when it was idle. False, and
    // nothing changes, when the queue is full or the programme waits already.
    bool request(const ProgrammeItem &programme);

    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // The programmes waiting, the one being fetched first.
    QStringList names() const;

Q_SIGNALS:
    // The programme's state changed; percent counts while downloading.
    void stateChanged(const QString &name, ProgrammeState state, int percent);
    // The programme has arrived in the cache as file; its entry still heads
    // the queue while this is handled.
    void arrived(const QString &name, const QString &file);
    // A download failed. message is what to tell the user (empty: nothing);
    // whoever shows it returns only once it is closed, and the next entry
    // waits for that.
    void failed(const QString &name, const QString &message);
    // The programme's entry has left the queue, fetched or not.
    void ended(const QString &name);
    // The key file was fetched anew after a 404; read the key again.
    void keyFileRefreshed();

private:
    struct Entry
    {
        QString name;
        ProgrammeState before; // its state when it was chosen
    };

    void startHead();
    void onProgress(qint64 lastByte, qint64 total);
    void onFinished(TransferOutcome outcome);
    QString messageFor(TransferOutcome outcome) const;
    bool save(const QByteArray &data);
    void fail(TransferOutcome outcome);
    void refreshKeyThenContinue();
    void continueQueue();
    void report(const Entry &entry, ProgrammeState state, int percent = 0);

    Settings m_settings;
    std::function<QString()> m_serverKey;
    QQueue<Entry> m_entries;
    QPointer<RangeTransfer> m_transfer;
    QObject *m_keyRefresh = nullptr;
    QString m_file; // the head's cache file
};

// The whole percent of a download: lastByte / total * 100, rounded down.
int downloadPercent(qint64 lastByte, qint64 total);
