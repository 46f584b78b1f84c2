#include "core/playback/programmeselection.h"

#include "core/catalogue/programmelist.h"
#include "core/catalogue/programmename.h"

SelectionRoad chooseRoad(const SelectionInput &in, bool (*fileExists)(const QString &))
{
    if (in.row < 0)
        return {};
    if (in.customMode) {
        const QString &name = in.name;
        if (!isUsableProgrammeName(name) || !isUsableProgrammeName(in.customFolder))
            return {SelectionRoad::UnusableName, name, {}};
        const QString path = in.customDir + in.customFolder + QLatin1Char('/') + name;
        return {SelectionRoad::Custom, name, fileExists(path) ? path : QString()};
    }
    const QString &name = in.name;
    if (in.queuedNames.contains(name))
        return {};
    if (!isUsableCacheName(name))
        return {SelectionRoad::UnusableName, name, {}};
    const QString path = cacheFileOf(in.flashDir, name);
    // The cache is looked at afresh: the row's mark only tells what the last
    // list load saw.
    if (fileExists(path))
        return {SelectionRoad::Cached, name, path};
    if (in.queuedNames.size() >= MaxQueuedDownloads)
        return {SelectionRoad::QueueFull, name, {}};
    return {SelectionRoad::Download, name, {}};
}
