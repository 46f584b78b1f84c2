#pragma once

#include "core/base/apppaths.h"
#include "core/base/result.h"
#include "core/catalogue/programmelistmodel.h"

#include <QList>
#include <QString>

// Reads a list file (relative to the application folder) and marks every
// name as cached or not by looking into the cache folder. An empty cache file
// is what an interrupted download leaves: it is deleted and the programme
// offered for download again. Empty lines are skipped.
// Fails when the list file cannot be read or a cache file cannot be deleted.
Result<QList<ProgrammeItem>> loadProgrammeItems(const AppPaths &paths, const QString &listFile);

// Path of a programme's cache file.
QString cacheFileOf(const QString &flashDir, const QString &name);
