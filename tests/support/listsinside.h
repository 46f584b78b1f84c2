#pragma once

#include "core/lists/programmeorder.h"

// The list file the order would be saved over.
struct OrderInside
{
    static QString editedListFile(const ProgrammeOrder &order) { return order.editedListFile(); }
};
