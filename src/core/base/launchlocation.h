#pragma once

#include <QString>

// Where the program was started from.
namespace LaunchLocation {

// Whether the application folder looks like one an archive manager unpacked
// for a single run, so that whatever is downloaded into it is lost again:
// "Temp" anywhere in its path (case-sensitive, as Windows names that folder),
// or a folder inside the system's temporary folder tempDir (empty: not
// looked at). Both paths are taken as they are; resolve links beforehand.
bool isTemporary(const QString &appDir, const QString &tempDir);

} // namespace LaunchLocation
