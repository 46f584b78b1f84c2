#include "core/lists/ownmovieimport.h"

#include "core/base/atomicfile.h"
#include "core/swf/swfreader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace OwnMovieImport {

namespace {

bool startsAsMovie(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head.size() == 4 &&
           (head.startsWith("FWS") || head.startsWith("CWS") || head.startsWith("ZWS"));
}

bool hasControlCharacters(const QString &name)
{
    return std::any_of(name.begin(), name.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

// "name.swf", else "name (2).swf", "name (3).swf", ... free in `dir` and
// not already planned.
QString freeName(const QDir &dir, const QString &base, const QString &suffix, QSet<QString> &taken)
{
    for (int n = 1;; ++n) {
        const QString name = (n == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(n)) + suffix;
        const QString path = dir.filePath(name);
        if (!taken.contains(path) && !QFileInfo::exists(path)) {
            taken.insert(path);
            return path;
        }
    }
}

void addFile(Plan &plan, const QString &source, const QDir &into, QSet<QString> &taken)
{
    if (const QString why = refusalOf(source); !why.isEmpty()) {
        plan.leftOut.append({source, why});
        return;
    }
    const QFileInfo info(source);
    // Played by its name ending in ".swf": a movie named otherwise gets it.
    const bool swfName = info.suffix().compare(QLatin1String("swf"), Qt::CaseInsensitive) == 0;
    const QString base = swfName ? info.completeBaseName() : info.fileName();
    const QString suffix = swfName ? QLatin1Char('.') + info.suffix() : QStringLiteral(".swf");
    plan.copies.append({source, freeName(into, base, suffix, taken), info.size()});
    plan.totalBytes += info.size();
}

} // namespace

QString refusalOf(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("找不到这个文件");
    if (info.isDir())
        return QStringLiteral("这是一个文件夹，不是flash文件");
    if (hasControlCharacters(info.fileName()))
        return QStringLiteral("文件名里有换行等不能显示的字符");
    if (info.size() > swf::DefaultMaxSize)
        return QStringLiteral("文件太大（超过%1 MB）").arg(swf::DefaultMaxSize >> 20);
    if (!info.isReadable())
        return QStringLiteral("没有权限读取这个文件");
    if (!startsAsMovie(path))
        return QStringLiteral("不是swf格式的flash文件");
    return {};
}

Plan plan(const QStringList &paths, const QString &customDir, const QString &shownFolder)
{
    Plan plan;
    QSet<QString> taken;
    const QDir custom(customDir);
    const QDir shown(custom.filePath(shownFolder.isEmpty() ? DefaultFolder : shownFolder));
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (!info.isDir() || hasControlCharacters(info.fileName())) {
            addFile(plan, path, shown, taken);
            continue;
        }
        const QDir into(freeName(custom, info.fileName(), QString(), taken));
        QDir source(path);
        source.setNameFilters({QStringLiteral("*.swf")});
        const QStringList movies = source.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
        if (movies.isEmpty())
            plan.leftOut.append({path, QStringLiteral("文件夹里没有swf格式的flash文件")});
        for (const QString &name : movies)
            addFile(plan, source.filePath(name), into, taken);
    }
    return plan;
}

Outcome run(const Plan &plan, const std::function<bool(qint64 copied)> &progress)
{
    Outcome outcome;
    qint64 before = 0;
    for (const Copy &c : plan.copies) {
        if (!QDir().mkpath(QFileInfo(c.target).absolutePath())) {
            outcome.failed.append({c.source, QStringLiteral("无法建立文件夹")});
            continue;
        }
        bool stopped = false;
        const Result<> copied = AtomicFile::copy(c.source, c.target, [&](qint64 n) {
            stopped = progress && !progress(before + n);
            return !stopped;
        });
        before += c.size;
        if (stopped) {
            outcome.cancelled = true;
            break;
        }
        if (copied)
            outcome.copied.append(c.target);
        else
            outcome.failed.append({c.source, QStringLiteral("无法保存，请检查磁盘空间和写入权限")});
    }
    return outcome;
}

QString report(const QList<LeftOut> &leftOut)
{
    if (leftOut.isEmpty())
        return {};
    QStringList lines{QStringLiteral("下面的文件没有加入：")};
    for (const LeftOut &l : leftOut)
        lines.append(QStringLiteral("%1：%2").arg(QFileInfo(l.path).fileName(), l.reason));
    return lines.join(u'\n');
}

} // namespace OwnMovieImport
