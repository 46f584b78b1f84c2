#pragma once

#include <QString>
#include <QStringList>

// What choosing a row of the programme list leads to.
struct SelectionRoad
{
    enum Kind {
        Ignore,       // no row, or the row is waiting in the download queue
        Custom,       // a file of the child's own folder: play it, record nothing
        Cached,       // in the cache: play it afresh and record it
        Download,     // not cached: queue it
        QueueFull,    // not cached, but five downloads are waiting already
        UnusableName, // the name cannot be a file name; tell the user
    };
    Kind kind = Ignore;
    QString name; // the programme's name
    QString path; // the movie file, for Custom and Cached
};

// The facts the choice depends on.
struct SelectionInput
{
    int row = -1;
    QString name; // the programme of the row (for a custom one, its file name)
    bool customMode = false;
    QStringList queuedNames; // programmes waiting in the download queue
    QString customDir;       // the custom-programmes folder, ending in "/"
    QString customFolder;    // the folder shown in the folder box
    QString flashDir;        // the cache, ending in "/"
};

inline constexpr int MaxQueuedDownloads = 5;

// The custom folder is looked at before the queue: its files are never
// queued, and a programme of the same name waiting from a category must not
// stop a custom programme from playing.
SelectionRoad chooseRoad(const SelectionInput &in, bool (*fileExists)(const QString &));
