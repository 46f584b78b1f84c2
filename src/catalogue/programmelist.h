#pragma once

#include <QString>
#include <QStringList>

// Rows of the programme list: a two-character status prefix and the name.
namespace ProgrammeRow {

inline const QString NotCached = QStringLiteral("* ");
inline const QString Cached = QStringLiteral("  ");

// The name is the row text without its first two characters.
inline QString nameOf(const QString &rowText)
{
    return rowText.mid(2);
}

} // namespace ProgrammeRow

// Reads a list file and marks every name as cached or not by looking into the
// cache folder. An empty cache file is what an interrupted download leaves:
// it is deleted and the programme offered for download again.
// Throws AppError when the list file cannot be read or a cache file cannot be
// deleted.
QStringList loadProgrammeRows(const QString &appDir, const QString &listFile,
                              const QString &flashDir);

// Path of a programme's cache file.
QString cacheFileOf(const QString &flashDir, const QString &name);
