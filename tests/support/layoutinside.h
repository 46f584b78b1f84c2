#pragma once

#include "gui/layout/layoutengine.h"

// The first sizes the layout engine recorded, which every later layout
// scales from.
struct LayoutInside
{
    static const QList<LayoutRecord> &formRecords(const LayoutEngine &engine)
    {
        return engine.m_formRecords;
    }
    static const QList<LayoutRecord> &controlRecords(const LayoutEngine &engine)
    {
        return engine.m_controlRecords;
    }
};
