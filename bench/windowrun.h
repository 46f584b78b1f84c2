#pragma once

#include <QByteArray>
#include <QString>

// One programme fetched the way a child fetches it: a click on its row in
// List1 of a real window, with doubles for player, browser, messages and
// sound, and the real network.
struct WindowRun
{
    double ms = 0;             // from the click until the row reads "  <name>"
    double lastRangeMs = 0;    // from the click until the row showed the last progress
    double longestBlockMs = 0; // only with the probe
    QString error;             // empty when the programme arrived intact
};

// The server must serve the programme at <base>h4icd2/flash/<name>.swf, the
// key every fresh test application folder holds.
WindowRun clickAndDownload(const QString &serverBase, const QString &name,
                           const QByteArray &expected, bool probe);
