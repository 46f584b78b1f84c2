#pragma once

#include <QString>
#include <QStringList>

// The child's own programmes: each sub-folder of the custom-programmes folder
// is one custom category, the .swf files directly inside it its programmes.
namespace CustomProgrammes {

// The sub-folders, by name; none when the folder is missing.
QStringList folders(const QString &customDir);

// The programmes of one folder: file names without ".swf" (in any case).
QStringList programmes(const QString &folder);

// Said when a folder holds no programme.
QString emptyFolderMessage();

} // namespace CustomProgrammes
