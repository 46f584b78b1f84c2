#include "core/catalogue/programmename.h"

bool isUsableProgrammeName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name.contains(QLatin1String("..")))
        return false;
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f || forbidden.contains(c))
            return false;
    }
    return true;
}

bool isUsableCacheName(const QString &name)
{
    return isUsableProgrammeName(name) && name.toUtf8().size() <= MaxCacheNameBytes;
}

QString unusableNameMessage(const QString &name)
{
    return QStringLiteral("节目名称“%1”不是有效的文件名，无法使用。").arg(name);
}
