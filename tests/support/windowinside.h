#pragma once

#include "gui/window/imagebutton.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmeorderdialog.h"
#include "gui/window/updateschedule.h"

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

// Which picture a button shows, as the user sees it.
struct ImageButtonInside
{
    static QString pictureName(const ImageButton &button) { return button.m_pictureName; }
};

struct PlayerBarInside
{
    static bool isMuted(const PlayerBar &bar) { return bar.m_muted; }
};

// The ticks counted since the start, which decide when the update check runs.
struct ScheduleInside
{
    static int ticks(const UpdateSchedule &schedule) { return schedule.m_ticks; }
};

struct OrderDialogInside
{
    static ProgrammeOrder *order(const ProgrammeOrderDialog &dialog) { return dialog.m_order; }
};
