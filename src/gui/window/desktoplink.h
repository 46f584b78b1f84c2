#pragma once

#include "core/base/apppaths.h"

#include <QObject>

class DesktopShortcut;
class ImageButton;
class MessageBoxes;
class QWidget;

// "桌面快捷": a shortcut to the program on the desktop; and the warning,
// at start, that the program runs from a folder that will be cleaned away.
class DesktopLink : public QObject
{
    Q_OBJECT
public:
    struct Settings
    {
        AppPaths paths;
        // Installed by the system's package manager: the program file lies
        // elsewhere than the user's data folder.
        bool installedMode = false;
        // The system's temporary folder; empty: only the folder's own name
        // is looked at.
        QString tempDir;
    };

    // The link is placed on `window`. No shortcut: the link does nothing.
    DesktopLink(QWidget *window, Settings settings, DesktopShortcut *shortcut,
                MessageBoxes *messages);

    ImageButton *link() const { return m_link; }
    void warnIfRunFromTemp();

public Q_SLOTS:
    void onClicked();

private:
    // The application folder looks like an archive manager's unpacking.
    bool runsFromTemp() const;

    Settings m_settings;
    DesktopShortcut *m_shortcut;
    MessageBoxes *m_messages;
    ImageButton *m_link = nullptr;
};
