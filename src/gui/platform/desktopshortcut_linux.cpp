// The desktop shortcut on Linux: a launcher in the user's XDG desktop folder.
#include "core/base/apppaths.h"
#include "core/base/atomicfile.h"
#include "core/base/desktopentry.h"
#include "gui/platform/desktopshortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace {

const QString LauncherName = AppPaths::ProgramName + QStringLiteral(".desktop");

// XDG_DESKTOP_DIR from user-dirs.dirs, read the way the XDG user-dirs lookup
// reads it: "$HOME/..." or an absolute path in double quotes, a backslash
// taking the next character literally. Empty when the file does not say.
QString desktopFromUserDirs(const QString &file, const QString &home)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QString prefix = QStringLiteral("XDG_DESKTOP_DIR");
    QString found;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (!line.startsWith(prefix))
            continue;
        QString rest = line.mid(prefix.size()).trimmed();
        if (!rest.startsWith(QLatin1Char('=')))
            continue;
        rest = rest.mid(1).trimmed();
        if (!rest.startsWith(QLatin1Char('"')))
            continue;
        rest = rest.mid(1);
        QString path;
        if (rest.startsWith(QLatin1String("$HOME/")) || rest.startsWith(QLatin1String("$HOME\""))) {
            path = home;
            rest = rest.mid(5);
        } else if (!rest.startsWith(QLatin1Char('/'))) {
            continue;
        }
        for (qsizetype i = 0; i < rest.size() && rest.at(i) != QLatin1Char('"'); ++i) {
            if (rest.at(i) == QLatin1Char('\\') && i + 1 < rest.size())
                ++i;
            path += rest.at(i);
        }
        found = path; // the last line that names it counts, as in a shell
    }
    return found;
}

// Desktops that ask before starting an untrusted launcher (GNOME, Xfce) look
// at this mark; elsewhere the command fails harmlessly or does not exist.
void markTrusted(const QString &launcher)
{
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return;
    QProcess process;
    process.start(gio, {QStringLiteral("set"), launcher, QStringLiteral("metadata::trusted"),
                        QStringLiteral("true")});
    if (!process.waitForFinished(3000))
        process.kill();
    process.waitForFinished(1000);
}

class XdgDesktopShortcut : public DesktopShortcut
{
public:
    QString desktopFolder() const override
    {
        const QString home = QDir::homePath();
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty() || !QDir::isAbsolutePath(config))
            config = home + QStringLiteral("/.config");
        QString desktop = desktopFromUserDirs(config + QStringLiteral("/user-dirs.dirs"), home);
        if (desktop.isEmpty())
            desktop = home + QStringLiteral("/Desktop");
        return QFileInfo(desktop).isDir() ? desktop : QString();
    }

    bool create(const QString &desktopFolder, const Target &target) override
    {
        const AppPaths app(target.appDir);
        // The picture is built into the program; a launcher needs it as a
        // file. Without it the desktop shows its default icon.
        if (!QFileInfo::exists(app.iconFile())) {
            QFile icon(QStringLiteral(":/icons/qorvel.png"));
            if (icon.open(QIODevice::ReadOnly))
                static_cast<void>(AtomicFile::write(app.iconFile(), icon.readAll()));
        }

        const QByteArray text = DesktopEntry::text(
            {AppPaths::ProgramName, AppPaths(target.programDir).file(AppPaths::ProgramName),
             target.appDir, app.iconFile()});
        const QString path = QDir(desktopFolder).filePath(LauncherName);
        // Desktops start only launchers that are executable.
        if (!AtomicFile::write(path, text,
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                   QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                   QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                   QFileDevice::ExeOther))
            return false;
        markTrusted(path);
        return true;
    }
};

} // namespace

std::unique_ptr<DesktopShortcut> makeSystemShortcut()
{
    return std::make_unique<XdgDesktopShortcut>();
}
