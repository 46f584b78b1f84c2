#include "core/download/serverkey.h"

#include "core/base/apppaths.h"
#include "core/base/textfile.h"

#include <QFile>

namespace ServerKey {

QString fromField(const QString &field)
{
    return field.mid(10, 3) + field.mid(3, 3);
}

std::optional<QString> fromFileBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    return fromField(TextFile::firstField(bytes));
}

QString keyFilePath(const QString &appDir)
{
    return AppPaths(appDir).keyFile();
}

QString refreshFilePath(const QString &appDir)
{
    return AppPaths(appDir).keyRefreshFile();
}

} // namespace ServerKey

std::optional<QString> loadServerKeyFrom(const QString &keyFilePath)
{
    // Only the first line counts; a key file of megabytes is not read whole.
    constexpr qint64 ReadLimit = 64 * 1024;
    QFile file(keyFilePath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(ReadLimit);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return ServerKey::fromFileBytes(bytes);
}

Result<> checkKeyFile(const QString &keyFilePath)
{
    QFile file(keyFilePath);
    if (!file.exists())
        return AppError(AppError::FileNotFound, QStringLiteral("文件未找到: guihu.inb"));
    if (!file.open(QIODevice::ReadOnly))
        return AppError(AppError::PathAccessError, QStringLiteral("路径/文件访问错误: guihu.inb"));
    if (file.size() == 0)
        return AppError(62, QStringLiteral("输入超出文件尾: guihu.inb"));
    return {};
}
