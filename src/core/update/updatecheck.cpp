#include "core/update/updatecheck.h"

#include "core/base/textfile.h"
#include "core/download/fileoperations.h"
#include "core/download/resumabledownload.h"
#include "core/download/server.h"
#include "core/update/processstarter.h"

#include <QFile>
#include <QTimer>

UpdateCheck::UpdateCheck(AppPaths paths, QString downloadServer, int rangeWaitMs,
                         ProcessStarter &starter, QObject *parent)
    : QObject(parent), m_paths(std::move(paths)), m_downloadServer(std::move(downloadServer)),
      m_rangeWaitMs(rangeWaitMs), m_starter(starter)
{
}

void UpdateCheck::start()
{
    if (m_running)
        return;
    m_running = true;
    // An updater left by the last update has done its work; never start it
    // again, whatever happens to this check.
    if (!deleteFileIfExists(m_paths.updaterFile())) {
        QTimer::singleShot(0, this, [this] { finish(Result::FileError); });
        return;
    }
    // A failed fetch leaves any copy from an earlier check in place: that one
    // is compared instead, so an updater that did not arrive is tried again.
    downloadWithResume(m_rangeWaitMs, Server::versionFileUrl(m_downloadServer),
                       m_paths.serverVersionTempFile(), m_paths.serverVersionFile(), this,
                       [this](TransferOutcome) { compareVersions(); });
}

void UpdateCheck::compareVersions()
{
    const QString fetched = m_paths.serverVersionFile();
    QFile file(fetched);
    if (!file.open(QIODevice::ReadOnly))
        return finish(Result::NoVersionFile);
    const std::optional<VersionFile> server =
        file.size() > VersionFile::MaxBytes ? std::nullopt : VersionFile::parse(file.readAll());
    file.close();
    if (!server) {
        deleteFileIfExists(fetched);
        return finish(Result::BadVersionFile);
    }
    const std::optional<QString> local = localVersion();
    if (!local)
        return finish(Result::NoLocalVersion);
    if (server->version == *local) {
        deleteFileIfExists(fetched);
        return finish(Result::UpToDate);
    }
    fetchUpdater(*server);
}

std::optional<QString> UpdateCheck::localVersion() const
{
    QFile file(m_paths.versionFile());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(VersionFile::MaxBytes); // only the first line counts
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return TextFile::firstField(bytes);
}

void UpdateCheck::fetchUpdater(const VersionFile &server)
{
    downloadWithResume(m_rangeWaitMs, Server::updaterUrl(m_downloadServer),
                       m_paths.updaterTempFile(), m_paths.updaterFile(), this,
                       [this, sha = server.updaterSha256](TransferOutcome) {
                           if (!QFile::exists(m_paths.updaterFile()))
                               return finish(Result::NoUpdater);
                           startUpdater(sha);
                       });
}

void UpdateCheck::startUpdater(const QByteArray &expectedSha256)
{
    const QString updater = m_paths.updaterFile();
    if (!isAcceptableUpdater(updater, expectedSha256)) {
        deleteFileIfExists(updater);
        return finish(Result::UpdaterRejected);
    }
    if (!m_starter.startDetached(updater, m_paths.appDir())) {
        // The installed version stays and the fetched one is kept, so the
        // next check fetches the updater again.
        deleteFileIfExists(updater);
        return finish(Result::StartFailed);
    }
    // Only now is the new release on its way. Should the rename fail, the
    // next check merely fetches the updater once more.
    static_cast<void>(replaceFile(m_paths.serverVersionFile(), m_paths.versionFile()));
    finish(Result::UpdaterStarted);
}

void UpdateCheck::finish(Result result)
{
    m_running = false;
    Q_EMIT finished(result);
}
