#include "catalogue/programmelist.h"

#include "app/apperror.h"
#include "catalogue/programmename.h"
#include "catalogue/textfile.h"

#include <QFile>
#include <QFileInfo>

QString cacheFileOf(const QString &flashDir, const QString &name)
{
    return flashDir + name + QStringLiteral(".swf");
}

namespace {

QString markRow(const QString &flashDir, const QString &name)
{
    // A name that cannot be a file name is never looked up on disk.
    if (!isUsableCacheName(name))
        return ProgrammeRow::NotCached + name;
    const QString path = cacheFileOf(flashDir, name);
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile() || info.isHidden())
        return ProgrammeRow::NotCached + name;
    if (info.size() != 0)
        return ProgrammeRow::Cached + name;
    if (!QFile::remove(path))
        throw AppError(AppError::PermissionDenied,
                       QStringLiteral("没有权限: %1").arg(info.fileName()));
    return ProgrammeRow::NotCached + name;
}

} // namespace

QStringList loadProgrammeRows(const QString &appDir, const QString &listFile,
                              const QString &flashDir)
{
    QString relative = listFile;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList lines = TextFile::readLines(appDir + QLatin1Char('/') + relative);

    QStringList rows;
    for (const QString &line : lines) {
        if (!line.isEmpty())
            rows.append(markRow(flashDir, line));
    }
    return rows;
}
