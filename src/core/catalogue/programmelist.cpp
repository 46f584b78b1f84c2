#include "core/catalogue/programmelist.h"

#include "core/base/apperror.h"
#include "core/base/textfile.h"
#include "core/catalogue/programmename.h"

#include <QFile>
#include <QFileInfo>

QString cacheFileOf(const QString &flashDir, const QString &name)
{
    return flashDir + name + QStringLiteral(".swf");
}

namespace {

ProgrammeState cacheStateOf(const QString &flashDir, const QString &name)
{
    // A name that cannot be a file name is never looked up on disk.
    if (!isUsableCacheName(name))
        return ProgrammeState::NotCached;
    const QString path = cacheFileOf(flashDir, name);
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.isHidden())
        return ProgrammeState::NotCached;
    if (info.size() != 0)
        return ProgrammeState::Cached;
    if (!QFile::remove(path))
        throw AppError(AppError::PermissionDenied,
                       QStringLiteral("没有权限: %1").arg(info.fileName()));
    return ProgrammeState::NotCached;
}

} // namespace

Result<QList<ProgrammeItem>> loadProgrammeItems(const AppPaths &paths, const QString &listFile)
{
    return attempt([&] {
        const QStringList lines = TextFile::readLines(paths.file(listFile));
        const QString flashDir = paths.flashDir();
        QList<ProgrammeItem> items;
        for (const QString &line : lines) {
            if (!line.isEmpty())
                items.append({line, cacheStateOf(flashDir, line)});
        }
        return items;
    });
}
