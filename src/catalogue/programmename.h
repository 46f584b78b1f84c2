#pragma once

#include <QString>

// A programme name from a list file becomes a file name and part of a URL.
// Names that could escape the cache folder or break a path are shown in the
// list but never turned into a path or URL.
bool isUsableProgrammeName(const QString &name);

// The message shown when such a name is chosen.
QString unusableNameMessage(const QString &name);
