#pragma once

#include "core/base/result.h"

#include <QString>

// Where this run keeps its lists, cache and folders: beside the program when
// it was unpacked into a folder of its own, in the user's data folder when
// it was installed into a folder the user may not write to.
namespace DataFolder {

struct Location
{
    QString appDir;         // the application folder, no trailing separator
    bool installed = false; // the data lives in the user's own folder
};

// The program's folder is the application folder when the user may write
// there and it holds the lists (cons/).
bool isPortable(const QString &programDir);

// $XDG_DATA_HOME/Qorvel儿童乐园, or ~/.local/share/Qorvel儿童乐园 when
// XDG_DATA_HOME is unset or not an absolute path.
QString userFolder(const QString &xdgDataHome, const QString &home);

// Decides where the application folder is. In the installed case the user's
// folder is filled from the installed defaults first (or from the program's
// own folder when that holds the lists but is read-only). Fails naming the
// folder when it cannot be made or filled.
Result<Location> locate(const QString &programDir, const QString &defaultsDir,
                        const QString &userDir);

// Copies the default data (the lists and key, the version file,
// res/showoff.htm, the custom-programmes folder) into userDir and makes an
// empty res/fla/. A file the user already has is never replaced. Once
// everything is there a marker is written; until then every call carries on
// where the last one stopped, so a copy cut short is finished next time.
Result<> fill(const QString &defaultsDir, const QString &userDir);

// Written into userDir once fill() has completed.
inline const QString CompleteMarker = QStringLiteral(".defaults-copied");

} // namespace DataFolder
