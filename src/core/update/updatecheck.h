#pragma once

#include "core/base/apppaths.h"
#include "core/update/versionfile.h"

#include <QObject>
#include <QString>

class ProcessStarter;

// The check for a new release: fetches the server's version file and, when
// its version differs from the installed one, fetches the updater and starts
// it. Asynchronous on the caller's thread and silent; every failure simply
// ends the check. The installed version changes only once the updater runs,
// so an update that could not be started is tried again by the next check.
class UpdateCheck : public QObject
{
    Q_OBJECT
public:
    enum class Result {
        UpToDate,        // same version; the fetched copy is removed
        NoVersionFile,   // no version file arrived and none is left from before
        BadVersionFile,  // what arrived is no version file; removed
        NoLocalVersion,  // cons/update.inb is missing or unreadable
        NoUpdater,       // the updater did not arrive
        UpdaterRejected, // empty, a web page, or not the file the checksum names; deleted
        StartFailed,     // the updater would not start; deleted
        UpdaterStarted,  // running, and its version is now the installed one
        FileError,       // an old updater could not be removed
    };
    Q_ENUM(Result)

    UpdateCheck(AppPaths paths, QString downloadServer, int rangeWaitMs, ProcessStarter &starter,
                QObject *parent = nullptr);

    // Runs the check once; finished() follows, always later.
    void start();

Q_SIGNALS:
    void finished(UpdateCheck::Result result);

private:
    void compareVersions();
    void fetchUpdater(const VersionFile &server);
    void startUpdater(const QByteArray &expectedSha256);
    std::optional<QString> localVersion() const;
    void finish(Result result);

    AppPaths m_paths;
    QString m_downloadServer;
    int m_rangeWaitMs;
    ProcessStarter &m_starter;
    bool m_running = false;
};
