#pragma once

#include <QString>

// A programme name from a list file becomes a file name and part of a URL.
// Names that could escape the cache folder or break a path are shown in the
// list but never turned into a path or URL.
bool isUsableProgrammeName(const QString &name);

// A programme of the cache is stored as "<name>.swf" and written through a
// temporary companion "<name>.swf.XXXXXX"; both must fit the file system's
// limit of 255 bytes for one file name, which leaves 244 bytes of UTF-8 for
// the name itself.
inline constexpr int MaxCacheNameBytes = 255 - 4 - 7;

// A usable name that also fits the cache's file names.
bool isUsableCacheName(const QString &name);

// The message shown when such a name is chosen.
QString unusableNameMessage(const QString &name);
