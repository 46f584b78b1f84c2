#include "core/base/desktopentry.h"

namespace DesktopEntry {

QString escapeString(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            out += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            out += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            out += QLatin1String("\\r");
        else if (c == QLatin1Char(' ') && i == 0)
            out += QLatin1String("\\s"); // leading blanks are trimmed otherwise
        else
            out += c;
    }
    return out;
}

QString execValue(const QString &program)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += c;
    }
    quoted += QLatin1Char('"');
    // GLib looks for the first word of Exec as a file before it turns "%%"
    // back into "%", and refuses the launcher when that file is missing; a
    // program path with "%" in it is therefore handed to env.
    if (program.contains(QLatin1Char('%')))
        quoted.prepend(QStringLiteral("env "));
    return escapeString(quoted);
}

QByteArray text(const Launcher &launcher)
{
    QString out = QStringLiteral("[Desktop Entry]\n"
                                 "Type=Application\n"
                                 "Version=1.0\n");
    out += QStringLiteral("Name=") + escapeString(launcher.name) + QLatin1Char('\n');
    // Flash movies dropped on the launcher, or opened with it, are played.
    out += QStringLiteral("Exec=") + execValue(launcher.program) + QStringLiteral(" %F\n");
    out += QStringLiteral(
        "MimeType=application/x-shockwave-flash;application/vnd.adobe.flash.movie;\n");
    out += QStringLiteral("Path=") + escapeString(launcher.workingDir) + QLatin1Char('\n');
    out += QStringLiteral("Icon=") + escapeString(launcher.icon) + QLatin1Char('\n');
    out += QStringLiteral("Terminal=false\n");
    return out.toUtf8();
}

} // namespace DesktopEntry
