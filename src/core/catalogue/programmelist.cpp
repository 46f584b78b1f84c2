#include "core/catalogue/programmelist.h"

#include "core/catalogue/listfile.h"
#include "core/catalogue/programmename.h"

#include <QFile>
#include <QFileInfo>

QString cacheFileOf(const QString &flashDir, const QString &name)
{
    return flashDir + name + QStringLiteral(".swf");
}

namespace {

Result<ProgrammeState> cacheStateOf(const QString &flashDir, const QString &name)
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
        return AppError(AppError::PermissionDenied,
                        QStringLiteral("没有权限: %1").arg(info.fileName()));
    return ProgrammeState::NotCached;
}

} // namespace

Result<QList<ProgrammeItem>> loadProgrammeItems(const AppPaths &paths, const QString &listFile)
{
    const Result<QStringList> names = ListFile(paths.file(listFile)).read();
    if (!names)
        return names.error();
    const QString flashDir = paths.flashDir();
    QList<ProgrammeItem> items;
    for (const QString &name : names.value()) {
        const Result<ProgrammeState> state = cacheStateOf(flashDir, name);
        if (!state)
            return state.error();
        items.append({name, state.value()});
    }
    return items;
}
