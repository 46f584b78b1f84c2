#include "gui/window/resources.h"

#include "core/base/apperror.h"

#include <QFile>

namespace Resources {

QPixmap bitmap(const QString &name)
{
    const QPixmap pixmap(QStringLiteral(":/bitmaps/%1.bmp").arg(name.toUpper()));
    if (pixmap.isNull())
        throw AppError(AppError::ResourceNotFound,
                       QStringLiteral("找不到资源 %1 的位图").arg(name));
    return pixmap;
}

QByteArray wave(const QString &name)
{
    QFile file(QStringLiteral(":/sounds/%1.wav").arg(name.toUpper()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace Resources
