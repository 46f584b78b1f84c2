#include "core/lists/customprogrammes.h"

#include <QDir>

namespace CustomProgrammes {

QStringList folders(const QString &customDir)
{
    return QDir(customDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList programmes(const QString &folder)
{
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*.swf")});
    return dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString emptyFolderMessage(const QString &customDir)
{
    return QStringLiteral("您可以把喜欢的swf格式flash放在\"%1\"各分类文件夹下,请参照使用帮助")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(customDir)));
}

} // namespace CustomProgrammes
