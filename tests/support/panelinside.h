#pragma once

#include "gui/window/programmepanel.h"

// What the programme panel keeps to itself: the list shown, its model, the
// downloads and the lists' menus.
struct PanelInside
{
    static const ListSource &source(const ProgrammePanel &panel) { return panel.m_source; }
    static QString serverKey(const ProgrammePanel &panel) { return panel.m_serverKey; }
    static ProgrammeListModel *programmes(const ProgrammePanel &panel)
    {
        return panel.m_programmes;
    }
    static DownloadQueue *downloads(const ProgrammePanel &panel) { return panel.m_downloads; }
    static ProgrammeListView *listView(const ProgrammePanel &panel) { return panel.m_list; }
    static QMenu *menuFor(const ProgrammePanel &panel, const ListSource &source)
    {
        return panel.menuFor(source);
    }
};
