#include "core/lists/savedgames.h"

#include "core/base/apppaths.h"
#include "core/base/atomicfile.h"
#include "core/base/datafolder.h"
#include "core/catalogue/programmename.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QtEndian>

namespace {

Q_LOGGING_CATEGORY(lcSaves, "qorvel.saves", QtWarningMsg)

const QString Suffix = QStringLiteral(".sol");
const QString CacheSaves = QStringLiteral("节目");

// Characters no file name may hold here or on the systems a parent copies
// the saves to, and the escape character itself.
bool needsEscape(QChar c)
{
    return c.unicode() < 0x20 || QStringLiteral("/\\%:*?\"<>|").contains(c);
}

} // namespace

QString SavedGames::defaultRoot()
{
    return QDir(DataFolder::userFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()))
        .filePath(QStringLiteral("saves"));
}

QString SavedGames::programmeOf(const QString &moviePath)
{
    const QFileInfo movie(QDir::cleanPath(QFileInfo(moviePath).absoluteFilePath()));
    const QDir folder = movie.dir();
    const QString parent = QFileInfo(folder.path()).dir().dirName();
    if (folder.dirName() == QLatin1String("fla") && parent == QLatin1String("res")) {
        if (movie.suffix() == QLatin1String("swf") && isUsableCacheName(movie.completeBaseName()))
            return CacheSaves + QLatin1Char('/') + movie.completeBaseName();
        return {}; // a download under way, or a file the cache does not know
    }
    // The child's own movies, and movies opened from anywhere else, by their
    // folder and file name.
    if (isUsableProgrammeName(folder.dirName()) && isUsableProgrammeName(movie.fileName()))
        return AppPaths::CustomFolderName + QLatin1Char('/') + folder.dirName() + QLatin1Char('/') +
               movie.fileName();
    return {};
}

bool SavedGames::isSaveFile(const QByteArray &bytes)
{
    // 00 BF, the length of what follows, "TCSO".
    return bytes.size() >= 16 && bytes.size() <= MaxSaveBytes && bytes.startsWith("\x00\xbf") &&
           qFromBigEndian<quint32>(bytes.constData() + 2) == quint32(bytes.size() - 6) &&
           bytes.mid(6, 4) == "TCSO";
}

QString SavedGames::fileNameOf(const QString &name)
{
    QString escaped;
    for (const QChar c : name) {
        if (needsEscape(c))
            escaped += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            escaped += c;
    }
    // "." and ".." are never file names here: every one ends in ".sol".
    escaped += Suffix;
    return name.isEmpty() || escaped.toUtf8().size() > 250 ? QString() : escaped;
}

QString SavedGames::folderOf(const QString &programme) const
{
    return QDir(m_root).filePath(programme);
}

QMap<QString, QByteArray> SavedGames::load(const QString &programme) const
{
    QMap<QString, QByteArray> saves;
    if (programme.isEmpty())
        return saves;
    const QDir folder(folderOf(programme));
    const QFileInfoList files = folder.entryInfoList({QStringLiteral("*") + Suffix},
                                                     QDir::Files | QDir::Hidden, QDir::Name);
    for (const QFileInfo &info : files) {
        QFile file(info.filePath());
        if (info.size() > MaxSaveBytes || !file.open(QIODevice::ReadOnly)) {
            qCWarning(lcSaves) << "skipping the save" << info.filePath();
            continue;
        }
        const QByteArray bytes = file.read(MaxSaveBytes + 1);
        const QString name = QString::fromUtf8(
            QByteArray::fromPercentEncoding(info.fileName().chopped(Suffix.size()).toUtf8()));
        if (!isSaveFile(bytes) || fileNameOf(name) != info.fileName()) {
            qCWarning(lcSaves) << "skipping the damaged save" << info.filePath();
            continue;
        }
        saves.insert(name, bytes);
    }
    return saves;
}

bool SavedGames::canSave(const QString &programme) const
{
    if (programme.isEmpty())
        return false;
    // The folder is made at the first save only: most programmes never save.
    QFileInfo nearest(folderOf(programme));
    while (!nearest.exists() && !nearest.isRoot())
        nearest = QFileInfo(nearest.absolutePath());
    return nearest.isDir() && nearest.isWritable();
}

bool SavedGames::save(const QString &programme, const QString &name, const QByteArray &bytes) const
{
    const QString file = fileNameOf(name);
    if (programme.isEmpty() || file.isEmpty() || !isSaveFile(bytes) ||
        !QDir().mkpath(folderOf(programme)))
        return false;
    const Result<> written = AtomicFile::write(QDir(folderOf(programme)).filePath(file), bytes);
    if (!written)
        qCWarning(lcSaves) << "cannot keep the save" << name << "of" << programme << ":"
                           << written.error().description();
    return written.ok();
}

bool SavedGames::remove(const QString &programme, const QString &name) const
{
    const QString file = fileNameOf(name);
    if (programme.isEmpty() || file.isEmpty())
        return false;
    const QString path = QDir(folderOf(programme)).filePath(file);
    return !QFileInfo::exists(path) || QFile::remove(path);
}
