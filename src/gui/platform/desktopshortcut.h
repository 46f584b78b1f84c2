#pragma once

#include <QString>
#include <memory>

// Puts a shortcut to the program on the user's desktop.
class DesktopShortcut
{
public:
    struct Target
    {
        QString programDir; // the folder holding the program file
        QString appDir;     // the application folder: where the program starts
    };

    virtual ~DesktopShortcut() = default;

    // The user's desktop folder; empty when there is none.
    virtual QString desktopFolder() const = 0;
    // Writes the shortcut into desktopFolder, over one made before. False
    // when it could not be written; nothing half-written is left then.
    virtual bool create(const QString &desktopFolder, const Target &target) = 0;
};

// The shortcut of the system the program was built for: a launcher in the
// XDG desktop folder on Linux, a .lnk in the registry's desktop folder on
// Windows.
std::unique_ptr<DesktopShortcut> makeSystemShortcut();
