#pragma once

#include <QByteArray>
#include <QString>

// Launchers in the freedesktop.org desktop entry format, which Linux desktops
// show as icons that start a program with a double click.
namespace DesktopEntry {

struct Launcher
{
    QString name;       // shown under the icon
    QString program;    // absolute path of the program file
    QString workingDir; // the folder the program starts in
    QString icon;       // absolute path of a picture file
};

// A value of the string type: backslashes, newlines, tabs and carriage
// returns escaped, a leading space kept.
QString escapeString(const QString &value);

// The Exec value that starts exactly this program without arguments, whatever
// the path holds: quoted, with the characters that stay special inside quotes
// escaped, "%" doubled so it is not read as a field code, and then escaped as
// every string value is. A path holding "%" is started through env.
QString execValue(const QString &program);

// The whole file, UTF-8.
QByteArray text(const Launcher &launcher);

} // namespace DesktopEntry
