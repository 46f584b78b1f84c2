#include "core/base/apppaths.h"

QString AppPaths::file(const QString &relative) const
{
    QString r = relative;
    r.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return m_appDir + QLatin1Char('/') + r;
}
