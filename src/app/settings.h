#pragma once

#include <QString>

// Fixed settings of one run, handed to the window by main() or by a test.
struct AppSettings
{
    QString appDir;          // folder holding the program, no trailing separator
    QString downloadServer;  // base URL ending in "/"
    QString infoSite;        // base URL ending in "/"
    int rangeWaitMs = 24000; // how long one range may take (480 x 50 ms)
};
