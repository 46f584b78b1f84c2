#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Games keep their progress in Flash SharedObjects. Each is kept as one
// ".sol" file (the Flash format, so a parent can back them up) per programme,
// per user, outside the application folder:
//   <root>/节目/<programme>/<name>.sol               a programme of the cache
//   <root>/自定义节目/<folder>/<file>/<name>.sol      a movie of the child's own
// A programme is the same programme wherever it is chosen from, and a moved
// application folder or a new download keeps its saves.
class SavedGames
{
public:
    // A save larger than this, or not a .sol file, is left alone and unread.
    static constexpr qsizetype MaxSaveBytes = 1 << 20;

    // `root` is the saves folder; see defaultRoot().
    explicit SavedGames(QString root) : m_root(std::move(root)) {}

    // $XDG_DATA_HOME/Qorvel儿童乐园/saves, in both modes of the program.
    static QString defaultRoot();
    // The programme a movie file is, from where it lies: a programme of the
    // cache, else a movie of the child's own, known by its folder and file
    // name wherever it lies. Empty for a file whose names cannot be used,
    // whose saves last only while it plays.
    static QString programmeOf(const QString &moviePath);
    // Whether `bytes` look like a whole .sol file of an acceptable size.
    static bool isSaveFile(const QByteArray &bytes);
    // The file name a SharedObject name is kept under; empty when the name
    // cannot be one (too long). No name leaves the programme's folder.
    static QString fileNameOf(const QString &name);

    // The programme's saves by SharedObject name; damaged ones are skipped.
    QMap<QString, QByteArray> load(const QString &programme) const;
    // Whether saves of the programme could be written now.
    bool canSave(const QString &programme) const;
    // Replaces one save whole (an empty `bytes` or a bad one is refused), or
    // removes it. False when that could not be done.
    bool save(const QString &programme, const QString &name, const QByteArray &bytes) const;
    bool remove(const QString &programme, const QString &name) const;

private:
    QString folderOf(const QString &programme) const;

    QString m_root;
};
