#pragma once

#include "gui/sound/soundoutput.h"
#include "webapi/infostrip.h"

#include <QObject>
#include <QString>

class DesktopShortcut;
class FlashPlayer;
class PlayClock;
class ProcessStarter;
class QWidget;

// Modal message boxes. Tests answer them with a recording double.
class MessageBoxes
{
public:
    enum class Icon { None, Information, Stop };
    virtual ~MessageBoxes() = default;
    // OK button only. An empty title shows the application's title.
    virtual void show(const QString &text, const QString &title = QString(),
                      Icon icon = Icon::None) = 0;
    // Yes and No, stop icon, No the default; true only for Yes.
    virtual bool confirm(const QString &text) = 0;
    // OK and one more button, `action`; true when that one was chosen.
    virtual bool offer(const QString &text, const QString &action) = 0;
};

// The pieces the window is built from.
struct Services
{
    FlashPlayer *player = nullptr;
    InfoStrip *browser = nullptr;
    MessageBoxes *messages = nullptr;
    SoundOutput *sound = nullptr;
    ProcessStarter *processes = nullptr; // none: no updater is ever started
    DesktopShortcut *shortcut = nullptr; // none: "桌面快捷" does nothing
    const PlayClock *clock = nullptr;    // none: the system's clocks
};
