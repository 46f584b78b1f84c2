#include "core/base/launchlocation.h"

#include <QDir>

namespace LaunchLocation {

bool isTemporary(const QString &appDir, const QString &tempDir)
{
    if (appDir.contains(QLatin1String("Temp"), Qt::CaseSensitive))
        return true;
    if (tempDir.isEmpty())
        return false;
    const QString dir = QDir::cleanPath(appDir);
    QString temp = QDir::cleanPath(tempDir);
    if (dir == temp)
        return true;
    if (!temp.endsWith(QLatin1Char('/')))
        temp += QLatin1Char('/');
    return dir.startsWith(temp);
}

} // namespace LaunchLocation
