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

AppError failure(const QString &userDir, const QString &reason)
{
    return AppError(
        AppError::PathAccessError,
        QStringLiteral("无法建立数据文件夹 %1\n%2").arg(QDir::toNativeSeparators(userDir), reason));
}

bool hasLists(const QString &dir)
{
    return QFileInfo(QDir(dir).filePath(QStringLiteral("cons"))).isDir();
}

// Makes `dir` (and its parents); anything in the way is reported, not removed.
Result<> makeFolder(const QString &userDir, const QString &dir)
{
    // The message names the data folder already; a folder inside it is named
    // again, the data folder itself is "it".
    const QString what =
        dir == userDir ? QStringLiteral("它") : QDir::toNativeSeparators(dir) + u' ';
    const QFileInfo info(dir);
    if (info.isSymLink() && !info.exists())
        return failure(userDir, QStringLiteral("%1是一个指向不存在位置的链接").arg(what));
    if (info.exists() && !info.isDir())
        return failure(userDir, QStringLiteral("%1是一个文件，不是文件夹").arg(what));
    if (!QDir().mkpath(dir))
        return failure(userDir, QStringLiteral("无法创建%1（请检查写入权限和磁盘空间）").arg(what));
    return {};
}

Result<> copyIfMissing(const QString &userDir, const QString &from, const QString &to)
{
    const QString part = to + PartSuffix;
    const QFileInfo target(to);
    if (target.exists() || target.isSymLink()) {
        QFile::remove(part); // left over from a copy that was overtaken
        return {};
    }
    QFile in(from);
    const QByteArray bytes = in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    if (!in.isOpen() || in.error() != QFileDevice::NoError)
        return failure(userDir, QStringLiteral("无法读取 %1：%2")
                                    .arg(QDir::toNativeSeparators(from), in.errorString()));
    if (const Result<> written = AtomicFile::write(part, bytes); !written)
        return failure(userDir,
                       QStringLiteral("无法写入 %1：%2")
                           .arg(QDir::toNativeSeparators(to), written.error().description()));
    // QFile::rename never replaces an existing file: if one appeared in the
    // meantime, it is the user's and stays.
    if (!QFile::rename(part, to)) {
        if (QFileInfo(to).exists()) {
            QFile::remove(part);
            return {};
        }
        return failure(userDir, QStringLiteral("无法写入 %1").arg(QDir::toNativeSeparators(to)));
    }
    return {};
}

Result<> copyTree(const QString &userDir, const QString &fromRoot, const QString &relative)
{
    const QDir from(QDir(fromRoot).filePath(relative));
    // Only the empty cache folder is wanted, never programmes cached in a
    // read-only application folder we were started from.
    if (Result<> made = makeFolder(userDir, QDir(userDir).filePath(relative));
        !made || relative == CacheFolder)
        return made;
    // Hidden files and links stay behind: the former are bookkeeping, the
    // latter could point anywhere.
    const auto entries =
        from.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                           QDir::Name | QDir::DirsFirst);
    for (const QFileInfo &entry : entries) {
        const QString rel = relative + QLatin1Char('/') + entry.fileName();
        Result<> copied;
        if (entry.isDir())
            copied = copyTree(userDir, fromRoot, rel);
        else if (!entry.fileName().endsWith(PartSuffix))
            copied = copyIfMissing(userDir, entry.filePath(), QDir(userDir).filePath(rel));
        if (!copied)
            return copied;
    }
    return {};
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

Result<> fill(const QString &defaultsDir, const QString &userDir)
{
    const QString marker = QDir(userDir).filePath(CompleteMarker);
    if (Result<> made = makeFolder(userDir, userDir); !made || QFileInfo::exists(marker))
        return made;
    for (const QString &top :
         {QStringLiteral("cons"), QStringLiteral("res"), AppPaths::CustomFolderName}) {
        if (!QFileInfo(QDir(defaultsDir).filePath(top)).isDir())
            continue;
        if (Result<> copied = copyTree(userDir, defaultsDir, top); !copied)
            return copied;
    }
    if (Result<> made = makeFolder(userDir, QDir(userDir).filePath(CacheFolder)); !made)
        return made;

    // Last of all: from now on the folder is the user's, and files they
    // delete are not brought back.
    if (const Result<> written = AtomicFile::write(marker, "1\n"); !written)
        return failure(userDir,
                       QStringLiteral("无法写入 %1：%2")
                           .arg(QDir::toNativeSeparators(marker), written.error().description()));
    return {};
}

Result<Location> locate(const QString &programDir, const QString &defaultsDir,
                        const QString &userDir)
{
    if (isPortable(programDir))
        return Location{programDir, false};
    if (!QFileInfo::exists(QDir(userDir).filePath(CompleteMarker))) {
        // A read-only folder that holds the lists (a copy on a CD, a folder
        // of someone else's) seeds the user's folder itself.
        const QString source = hasLists(defaultsDir)  ? defaultsDir
                               : hasLists(programDir) ? programDir
                                                      : QString();
        if (source.isEmpty())
            return AppError(AppError::FileNotFound,
                            QStringLiteral("找不到默认数据文件夹 %1")
                                .arg(QDir::toNativeSeparators(QDir::cleanPath(defaultsDir))));
        if (Result<> filled = fill(source, userDir); !filled)
            return filled.error();
    }
    return Location{QDir::cleanPath(userDir), true};
}

} // namespace DataFolder
