#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Movies a parent hands the program (dropped on the window) become the
// child's own programmes: copied into a folder of the custom-programmes
// folder, never over a file that is there.
namespace OwnMovieImport {

// Where dropped movies go when no folder of the child's own is shown.
inline const QString DefaultFolder = QStringLiteral("我的节目");

struct Copy
{
    QString source;
    QString target; // a free name in its folder
    qint64 size = 0;
};

struct LeftOut
{
    QString path;
    QString reason;
};

struct Plan
{
    QList<Copy> copies;
    QList<LeftOut> leftOut;
    qint64 totalBytes = 0;
};

// Why `path` cannot be played as a movie of the child's own; empty when it
// can: it exists, is a file, is no larger than the player takes, starts as a
// Flash movie does and has a name a list row can show.
QString refusalOf(const QString &path);

// Files go into `shownFolder` (a folder of customDir, "" for none: then
// DefaultFolder); a dropped folder becomes a new folder of customDir with
// its own .swf files, deeper folders left out.
Plan plan(const QStringList &paths, const QString &customDir, const QString &shownFolder);

struct Outcome
{
    QStringList copied; // targets, in the plan's order
    QList<LeftOut> failed;
    bool cancelled = false;
};

// Copies through the checked writer; `progress` hears the bytes copied of
// the whole plan and may cancel by answering false. A copy that fails leaves
// nothing behind.
Outcome run(const Plan &plan, const std::function<bool(qint64 copied)> &progress = {});

// One message for everything left out, or empty.
QString report(const QList<LeftOut> &leftOut);

} // namespace OwnMovieImport
