#pragma once

#include <QString>

// The application folder and the files the program keeps in it. This is the
// one place that spells their names; everything else asks here.
class AppPaths
{
public:
    AppPaths() = default;
    // appDir: the folder holding the program, without a trailing separator.
    explicit AppPaths(QString appDir) : m_appDir(std::move(appDir)) {}

    QString appDir() const { return m_appDir; }
    // A file given relative to the application folder; the old backslash
    // separators of the list table are accepted.
    QString file(const QString &relative) const;

    QString flashDir() const { return file(QStringLiteral("res/fla/")); } // the cache
    QString customDir() const { return file(CustomFolderName + QLatin1Char('/')); }
    QString offlinePage() const { return file(QStringLiteral("res/showoff.htm")); }
    QString keyFile() const { return file(QStringLiteral("cons/guihu.inb")); }
    QString keyRefreshFile() const { return file(QStringLiteral("cons/guihu2.inb")); }
    QString favouritesFile() const { return file(FavouritesList); }
    QString historyFile() const { return file(HistoryList); }
    // The installed release's version, the server's as fetched, and the
    // updater, each with the temporary name it has while it arrives.
    QString versionFile() const { return file(QStringLiteral("cons/update.inb")); }
    QString serverVersionFile() const { return file(QStringLiteral("cons/update2.inb")); }
    QString serverVersionTempFile() const { return file(QStringLiteral("cons/updatetemp.inb")); }
    QString updaterFile() const { return file(QStringLiteral("cons/qvgx.exe")); }
    QString updaterTempFile() const { return file(QStringLiteral("cons/qvgxtemp.txt")); }
    // The program's picture as a file, for launchers that cannot read it out
    // of the program.
    QString iconFile() const { return file(QStringLiteral("res/qorvel.png")); }

    // Relative names, for the routines that take a list file as the
    // category table does.
    static inline const QString FavouritesList = QStringLiteral("cons/shoucang.inb");
    static inline const QString HistoryList = QStringLiteral("cons/lishi.inb");
    // The child's own folders; also the caption of the folder box.
    static inline const QString CustomFolderName = QStringLiteral("自定义节目");
    // The program file, whatever the running copy is called; Windows adds
    // ".exe". Launchers and shortcuts point at this name.
    static inline const QString ProgramName = QStringLiteral("Qorvel儿童乐园");

private:
    QString m_appDir;
};
