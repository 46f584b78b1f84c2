#pragma once

#include "core/base/apppaths.h"

#include <QObject>

class ProcessStarter;

// The update check, once per run, five minutes after start. Nothing is shown
// at any step; when the updater of a new release has started, the program
// must end so that it can do its work.
class UpdateSchedule : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        AppPaths paths;
        QString server; // base URL ending in "/"
        int rangeWaitMs = 24000;
        // Installed by a package manager, which brings the updates.
        bool installedMode = false;
    };

    // No starter: no updater is ever started, so no check is made.
    UpdateSchedule(Settings settings, ProcessStarter *processes, QObject *parent = nullptr);

public Q_SLOTS:
    // One tick of the window's 500 ms timer.
    void onTick();

Q_SIGNALS:
    void updaterStarted();

private:
    // Tests count the ticks through it.
    friend struct ScheduleInside;

    void check();

    Settings m_settings;
    ProcessStarter *m_processes;
    int m_ticks = 0;
    bool m_checking = false;
};
