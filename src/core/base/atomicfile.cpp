#include "core/base/atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <functional>

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

AppError because(const QString &reason)
{
    return AppError(AppError::Plain, reason);
}

// Gives up the temporary file (commit() now only removes it).
AppError failed(QSaveFile &file, const QString &reason)
{
    file.cancelWriting();
    static_cast<void>(file.commit());
    return because(reason);
}

// Opens the temporary file, lets `fill` write it (false: it failed, with the
// file's error), then syncs and renames it over path.
Result<> writeWith(const QString &path, QFileDevice::Permissions permissions,
                   const std::function<bool(QSaveFile &)> &fill)
{
    QSaveFile file(path);
    // Buffered, a small write only fills Qt's buffer; the flush inside
    // commit() can then meet a full disk and still have the empty file
    // renamed over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return because(file.errorString());
    if ((permissions && !file.setPermissions(permissions)) || !fill(file) ||
        file.error() != QFileDevice::NoError)
        return failed(file, file.errorString());
    if (!syncData(file.handle()))
        return failed(file, QStringLiteral("cannot sync %1 to the disk").arg(path));
    if (!file.commit())
        return because(file.errorString());
    syncFolder(path);
    return {};
}

bool writeAll(QSaveFile &file, const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const qint64 n = file.write(data + done, size - done);
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

Result<> write(const QString &path, const QByteArray &bytes, QFileDevice::Permissions permissions)
{
    return writeWith(path, permissions, [&bytes](QSaveFile &file) {
        return writeAll(file, bytes.constData(), bytes.size());
    });
}

Result<> copy(const QString &source, const QString &path,
              const std::function<bool(qint64 copied)> &progress)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return because(in.errorString());
    QString readError;
    Result<> outcome = writeWith(path, {}, [&](QSaveFile &file) {
        QByteArray chunk(1 << 20, Qt::Uninitialized);
        qint64 copied = 0;
        while (!in.atEnd()) {
            const qint64 n = in.read(chunk.data(), chunk.size());
            if (n < 0) {
                readError = in.errorString();
                return false;
            }
            if (!writeAll(file, chunk.constData(), n))
                return false;
            copied += n;
            if (progress && !progress(copied)) {
                readError = QStringLiteral("cancelled");
                return false;
            }
        }
        return true;
    });
    if (!outcome && !readError.isEmpty())
        return because(readError);
    return outcome;
}

} // namespace AtomicFile
