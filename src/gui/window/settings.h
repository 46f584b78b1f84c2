#pragma once

#include <QString>

// Fixed settings of one run, handed to the window by main() or by a test.
struct AppSettings
{
    QString appDir;            // the application folder, no trailing separator
    QString downloadServer;    // base URL ending in "/"
    QString infoSite;          // base URL ending in "/"
    int rangeWaitMs = 24000;   // how long one range may take (480 x 50 ms)
    int timerIntervalMs = 500; // the window's tick; tests shorten it
    // Installed by the system's package manager (the program's own folder is
    // not writable): the application folder is the user's data folder and
    // the package manager, not the program, brings updates.
    bool installedMode = false;
    // The system's temporary folder: an application folder inside it was
    // unpacked by an archive manager and will be cleaned away. Empty: only
    // the folder's own name is looked at.
    QString tempDir = {};
    // The parent's settings and the day's play time. Empty: everything a
    // parent could turn on stays off and nothing is kept.
    QString parentSettingsFile = {};
    QString playTimeFile = {};
};
