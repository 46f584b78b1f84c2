#include "lists/favourites.h"

#include "core/apperror.h"
#include "core/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Favourites {

namespace {

QByteArray readAll(const QString &path)
{
    bool present = false;
    return TextFile::readIfPresent(path, &present);
}

void replaceWith(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(AppError::PathAccessError,
                       QStringLiteral("路径/文件访问错误: %1").arg(QFileInfo(path).fileName()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(AppError::DeviceIoError,
                       QStringLiteral("设备 I/O 错误: %1").arg(QFileInfo(path).fileName()));
}

} // namespace

QString refusal(bool customMode, const ProgrammeItem *selected)
{
    if (customMode)
        return QStringLiteral("此类不能加入！");
    if (!selected)
        return QStringLiteral("请先选择节目");
    if (selected->state != ProgrammeState::Cached)
        return QStringLiteral("请下载完成后再加入“收藏”！");
    return {};
}

void append(const QString &listFile, const QString &name)
{
    QByteArray bytes = readAll(listFile);
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'))
        bytes += "\r\n";
    bytes += TextFile::encodeLines({name});
    replaceWith(listFile, bytes);
}

void rewrite(const QString &listFile, const QStringList &names)
{
    TextFile::writeLines(listFile, names);
}

void clear(const QString &listFile)
{
    replaceWith(listFile, {});
}

} // namespace Favourites
