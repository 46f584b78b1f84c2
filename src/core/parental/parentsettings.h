#pragma once

#include "core/base/result.h"
#include "core/parental/playtimerules.h"

#include <QList>
#include <QString>

// The parent's choices, all off unless a parent turned them on. Kept in the
// user's settings file, group [parent].
struct ParentSettings
{
    PlayLimits limits;
    // Full screen can only be left through the parental gate.
    bool fullScreenLock = false;

    static const QList<int> DailyChoices;   // minutes of play a day
    static const QList<int> EyeRestChoices; // minutes of play between rests

    bool isOff() const
    {
        return limits.dailyMinutes == 0 && limits.eyeRestMinutes == 0 && !fullScreenLock;
    }

    // $XDG_CONFIG_HOME/Qorvel儿童乐园/settings.ini (~/.config when unset).
    static QString defaultFile(const QString &xdgConfigHome, const QString &home);
    // The play time of each day, per user, beside the saved games.
    static QString defaultPlayTimeFile(const QString &xdgDataHome, const QString &home);

    // A missing file is all off, and so is one that cannot be read (said in
    // the log). So is a damaged one, or one with values the
    // program never writes; it is then copied beside itself as
    // "<name>.damaged" for a look, and the program goes on.
    static ParentSettings load(const QString &file);
    // Replaces the file whole, keeping any other group in it. Fails, naming
    // the file, when it cannot be written.
    Result<> save(const QString &file) const;
};
