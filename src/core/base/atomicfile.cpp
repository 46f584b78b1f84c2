#include "core/base/atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace AtomicFile {

namespace {

// Only data on the disk may replace the old file: a write can be accepted
// into the page cache and fail only when it is flushed.
bool syncData(int handle)
{
#ifdef Q_OS_UNIX
    return ::fdatasync(handle) == 0;
#else
    Q_UNUSED(handle);
    return true; // QSaveFile::commit() flushes the file itself there
#endif
}

// Makes the rename itself last through a power cut. Best effort: by now the
// new file is in place either way.
void syncFolder(const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

Outcome failed(QSaveFile &file)
{
    Outcome outcome{false, file.errorString()};
    file.cancelWriting(); // commit() now removes the temporary file
    static_cast<void>(file.commit());
    return outcome;
}

} // namespace

Outcome write(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    QSaveFile file(path);
    // Buffered, a small write only fills Qt's buffer; the flush inside
    // commit() can then meet a full disk and still have the empty file
    // renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    if (permissions && !file.setPermissions(permissions))
        return failed(file);
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return failed(file);
        done += n;
    }
    if (file.error() != QFileDevice::NoError)
        return failed(file);
    if (!syncData(file.handle())) {
        Outcome outcome{false, QStringLiteral("cannot sync %1 to the disk").arg(path)};
        file.cancelWriting();
        static_cast<void>(file.commit());
        return outcome;
    }
    if (!file.commit())
        return {false, file.errorString()};
    syncFolder(path);
    return {true, {}};
}

} // namespace AtomicFile
