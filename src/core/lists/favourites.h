#pragma once

#include "core/base/result.h"
#include "core/catalogue/programmelistmodel.h"

#include <QString>
#include <QStringList>

// Changes to the favourites and history files. Every change replaces the
// file in one step (a temporary file renamed over it), so a crash, a full
// disk or a power cut leaves the old list or the new one, never half of
// each. A change that cannot be written fails and leaves the file as it was.
namespace Favourites {

// Why the row cannot be added to the favourites, or an empty text when it
// can. selected is null when no row is selected.
QString refusal(bool customMode, const ProgrammeItem *selected);

// Adds the name as the last line; the file is made when missing. A last line
// without its line ending (a file edited by hand) is ended first, so the two
// names are never glued together.
Result<> append(const QString &listFile, const QString &name);

// Writes the names as the whole list.
Result<> rewrite(const QString &listFile, const QStringList &names);

// Leaves the list empty: a file of length 0, made when missing.
Result<> clear(const QString &listFile);

} // namespace Favourites
