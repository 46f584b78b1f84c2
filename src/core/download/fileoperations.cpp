#include "core/download/fileoperations.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::path(path.toStdU16String());
}

} // namespace

bool deleteFileIfExists(const QString &path)
{
    const QFileInfo info(path);
    // A dangling link is still a directory entry to be removed.
    if (info.isDir() || (!info.exists() && !info.isSymLink()))
        return true;
    return QFile::remove(path);
}

bool replaceFile(const QString &source, const QString &target)
{
    // QFile::rename refuses an existing target, and deleting first would
    // leave no file at all if the rename then failed. std::filesystem::rename
    // is rename(2) on POSIX and MoveFileEx with REPLACE_EXISTING on Windows.
    std::error_code error;
    std::filesystem::rename(nativePath(source), nativePath(target), error);
    return !error;
}
