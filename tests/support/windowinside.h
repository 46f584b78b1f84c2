#pragma once

#include "gui/window/mainwindow.h"

// The main window's areas, which the window keeps to itself: a test drives
// one area and watches what another does.
struct WindowInside
{
    static ProgrammePanel *panel(const MainWindow &window) { return window.m_programmePanel; }
    static PlayerBar *playerBar(const MainWindow &window) { return window.m_playerBar; }
    static UpdateSchedule *updateSchedule(const MainWindow &window) { return window.m_updates; }
    static ParentCorner *parentCorner(const MainWindow &window) { return window.m_parentCorner; }
    static bool isFullScreen(const MainWindow &window) { return window.m_fullScreen; }
};
