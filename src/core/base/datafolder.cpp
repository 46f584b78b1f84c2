#include "core/base/datafolder.h"

#include "core/base/apperror.h"
#include "core/base/apppaths.h"
#include "core/base/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DataFolder {

namespace {

// A file is written under this suffix first and only then given its name,
// so a copy cut short never leaves a truncated file under the real name.
const QString PartSuffix = QStringLiteral(".qorvel-part");
const QString CacheFolder = QStringLiteral("res/fla");

QString folderName()
{
    return QStringLiteral("Qorvel儿童乐园");
}

[[noreturn]] void fail(const QString &userDir, const QString &reason)
{
    throw AppError(
        AppError::PathAccessError,
        QStringLiteral("无法建立数据文件夹 %1\n%2").arg(QDir::toNativeSeparators(userDir), reason));
}

bool hasLists(const QString &dir)
{
    return QFileInfo(QDir(dir).filePath(QStringLiteral("cons"))).isDir();
}

// Makes `dir` (and its parents); anything in the way is reported, not removed.
void makeFolder(const QString &userDir, const QString &dir)
{
    // The message names the data folder already; a folder inside it is named
    // again, the data folder itself is "it".
    const QString what =
        dir == userDir ? QStringLiteral("它") : QDir::toNativeSeparators(dir) + u' ';
    const QFileInfo info(dir);
    if (info.isSymLink() && !info.exists())
        fail(userDir, QStringLiteral("%1是一个指向不存在位置的链接").arg(what));
    if (info.exists() && !info.isDir())
        fail(userDir, QStringLiteral("%1是一个文件，不是文件夹").arg(what));
    if (!QDir().mkpath(dir))
        fail(userDir, QStringLiteral("无法创建%1（请检查写入权限和磁盘空间）").arg(what));
}

void copyIfMissing(const QString &userDir, const QString &from, const QString &to)
{
    const QString part = to + PartSuffix;
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink()) {
        QFile::remove(part); // left over from a copy that was overtaken
        return;
    }
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        fail(userDir, QStringLiteral("无法读取 %1：%2")
                          .arg(QDir::toNativeSeparators(from), in.errorString()));
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError)
        fail(userDir, QStringLiteral("无法读取 %1：%2")
                          .arg(QDir::toNativeSeparators(from), in.errorString()));
    if (const AtomicFile::Outcome written = AtomicFile::write(part, bytes); !written)
        fail(userDir,
             QStringLiteral("无法写入 %1：%2").arg(QDir::toNativeSeparators(to), written.error));
    // QFile::rename never replaces an existing file: if one appeared in the
    // meantime, it is the user's and stays.
    if (!QFile::rename(part, to)) {
        if (QFileInfo(to).exists()) {
            QFile::remove(part);
            return;
        }
        fail(userDir, QStringLiteral("无法写入 %1").arg(QDir::toNativeSeparators(to)));
    }
}

void copyTree(const QString &userDir, const QString &fromRoot, const QString &relative)
{
    const QDir from(QDir(fromRoot).filePath(relative));
    makeFolder(userDir, QDir(userDir).filePath(relative));
    // Only the empty cache folder is wanted, never programmes cached in a
    // read-only application folder we were started from.
    if (relative == CacheFolder)
        return;
    // Hidden files and links stay behind: the former are bookkeeping, the
    // latter could point anywhere.
    const auto entries =
        from.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                           QDir::Name | QDir::DirsFirst);
    for (const QFileInfo &entry : entries) {
        const QString rel = relative + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            copyTree(userDir, fromRoot, rel);
        else if (!entry.fileName().endsWith(PartSuffix))
            copyIfMissing(userDir, entry.filePath(), QDir(userDir).filePath(rel));
    }
}

} // namespace

bool isPortable(const QString &programDir)
{
    return QFileInfo(programDir).isWritable() && hasLists(programDir);
}

QString userFolder(const QString &xdgDataHome, const QString &home)
{
    const QString base = QDir::isAbsolutePath(xdgDataHome)
                             ? xdgDataHome
                             : QDir(home).filePath(QStringLiteral(".local/share"));
    return QDir::cleanPath(QDir(base).filePath(folderName()));
}

namespace {

void fillFolder(const QString &defaultsDir, const QString &userDir)
{
    const QString marker = QDir(userDir).filePath(CompleteMarker);
    makeFolder(userDir, userDir);
    if (QFileInfo::exists(marker))
        return;
    for (const QString &top :
         {QStringLiteral("cons"), QStringLiteral("res"), AppPaths::CustomFolderName})
        if (QFileInfo(QDir(defaultsDir).filePath(top)).isDir())
            copyTree(userDir, defaultsDir, top);
    makeFolder(userDir, QDir(userDir).filePath(CacheFolder));

    // Last of all: from now on the folder is the user's, and files they
    // delete are not brought back.
    if (const AtomicFile::Outcome written = AtomicFile::write(marker, "1\n"); !written)
        fail(
            userDir,
            QStringLiteral("无法写入 %1：%2").arg(QDir::toNativeSeparators(marker), written.error));
}

Location locateFolder(const QString &programDir, const QString &defaultsDir, const QString &userDir)
{
    if (isPortable(programDir))
        return {programDir, false};
    if (!QFileInfo::exists(QDir(userDir).filePath(CompleteMarker))) {
        // A read-only folder that holds the lists (a copy on a CD, a folder
        // of someone else's) seeds the user's folder itself.
        const QString source = hasLists(defaultsDir)  ? defaultsDir
                               : hasLists(programDir) ? programDir
                                                      : QString();
        if (source.isEmpty())
            throw AppError(AppError::FileNotFound,
                           QStringLiteral("找不到默认数据文件夹 %1")
                               .arg(QDir::toNativeSeparators(QDir::cleanPath(defaultsDir))));
        fillFolder(source, userDir);
    }
    return {QDir::cleanPath(userDir), true};
}

} // namespace

Result<> fill(const QString &defaultsDir, const QString &userDir)
{
    return attempt([&] { fillFolder(defaultsDir, userDir); });
}

Result<Location> locate(const QString &programDir, const QString &defaultsDir,
                        const QString &userDir)
{
    return attempt([&] { return locateFolder(programDir, defaultsDir, userDir); });
}

} // namespace DataFolder
