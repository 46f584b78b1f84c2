#pragma once

#include "gui/layout/layoutengine.h"

// The first sizes the layout engine recorded, which every later layout
// scales from, and the steps it takes from them.
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
    static int findFormRecord(const LayoutEngine &engine, const QWidget *window)
    {
        return engine.findFormRecord(window);
    }
    static int findControlRecord(const LayoutEngine &engine, const QWidget *control,
                                 const QString &formName)
    {
        return engine.findControlRecord(control, formName);
    }
    static std::int32_t widthPercent(LayoutEngine &engine, QWidget *window)
    {
        return engine.widthPercent(window);
    }
    static std::int32_t heightPercent(LayoutEngine &engine, QWidget *window)
    {
        return engine.heightPercent(window);
    }
    static std::int32_t normalizeLeft(std::int32_t left)
    {
        return LayoutEngine::normalizeLeft(left);
    }
};
