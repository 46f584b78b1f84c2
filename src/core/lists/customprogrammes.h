#pragma once

#include <QString>
#include <QStringList>

// The child's own programmes: each sub-folder of the custom-programmes folder
// is one custom category, the .swf files directly inside it its programmes.
namespace CustomProgrammes {

// The sub-folders, by name; none when the folder is missing.
QStringList folders(const QString &customDir);

// The programmes of one folder: their file names, ending in ".swf" in any
// case. A file is played by this name, so "Game.SWF" and "Game.swf" are two
// programmes.
QStringList programmes(const QString &folder);

// Said when a folder holds no programme; names the folder as it is on this
// computer.
QString emptyFolderMessage(const QString &customDir);

} // namespace CustomProgrammes
