#pragma once

#include "core/catalogue/programmelistmodel.h"

#include <QString>

// The favourites take only programmes already in the cache; the file itself
// is a ListFile.
namespace Favourites {

// Why the row cannot be added to the favourites, or an empty text when it
// can. selected is null when no row is selected.
QString refusal(bool customMode, const ProgrammeItem *selected);

} // namespace Favourites
