#pragma once

#include "gui/sound/soundoutput.h"

#include <QObject>
#include <QString>

class DesktopShortcut;
class FlashPlayer;
class PlayClock;
class ProcessStarter;
class QWidget;

// The information strip along the bottom of the window.
class InfoBrowser : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void navigate(const QString &urlOrFile) = 0;
    // Silent: pages may not open dialogs of their own.
    virtual void setSilent(bool silent) = 0;
    virtual QWidget *widget() = 0;

Q_SIGNALS:
    // A navigation failed (no network, page missing, server error).
    void navigateError(const QString &url);
};

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
    InfoBrowser *browser = nullptr;
    MessageBoxes *messages = nullptr;
    SoundOutput *sound = nullptr;
    ProcessStarter *processes = nullptr; // none: no updater is ever started
    DesktopShortcut *shortcut = nullptr; // none: "桌面快捷" does nothing
    const PlayClock *clock = nullptr;    // none: the system's clocks
};
