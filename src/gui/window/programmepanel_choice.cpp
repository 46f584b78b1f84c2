// Choosing a programme of the list (play it from the cache or from the
// child's own folder, or fetch it first), play-all moving on, and the edits
// of the favourites and the history.
#include "gui/window/programmepanel.h"

#include "core/catalogue/listfile.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/catalogue/programmename.h"
#include "core/lists/favourites.h"
#include "core/lists/history.h"
#include "core/playback/programmeselection.h"
#include "core/playback/progresstick.h"
#include "gui/window/failuremessage.h"
#include "gui/window/programmelistview.h"
#include "gui/window/services.h"

#include <QFileInfo>

namespace {
bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}
} // namespace

void ProgrammePanel::onRowChosen()
{
    SelectionInput in;
    in.row = m_list->currentRow();
    in.name = m_programmes->isValidRow(in.row) ? m_programmes->item(in.row).name : QString();
    in.customMode = m_source.isFolder();
    in.queuedNames = m_downloads->names();
    in.customDir = m_paths.customDir();
    in.customFolder = m_source.folder;
    in.flashDir = m_paths.flashDir();

    const SelectionRoad road = chooseRoad(in, &isFile);
    switch (road.kind) {
    case SelectionRoad::Ignore:
    case SelectionRoad::QueueFull:
        return;
    case SelectionRoad::UnusableName:
        m_messages->show(unusableNameMessage(road.name));
        return;
    case SelectionRoad::Custom:
        if (!road.path.isEmpty())
            m_playAll.played();
        Q_EMIT ownMovieRequested(road.path);
        return;
    case SelectionRoad::Cached:
        play(road.path);
        recordInHistory(road.name);
        return;
    case SelectionRoad::Download:
        m_downloads->request(m_programmes->item(in.row));
        return;
    }
}

void ProgrammePanel::chooseRow(int row)
{
    m_list->setCurrentRow(row);
    onRowChosen();
}

void ProgrammePanel::onPlayAllReachedEnd()
{
    const int row = m_playAll.next(m_list->currentRow(), m_programmes->count());
    if (row < 0)
        return;
    chooseRow(row);
    m_playAll.chose(m_programmes->item(row).name, m_downloads->names());
}

void ProgrammePanel::play(const QString &file)
{
    Q_EMIT playRequested(file);
    // Play-all may move on again once something new is in the player.
    m_playAll.played();
}

void ProgrammePanel::recordInHistory(const QString &name)
{
    if (m_source.recordsHistory())
        History::record(m_paths.historyFile(), name);
}

void ProgrammePanel::onProgrammeArrived(const QString &name, const QString &file)
{
    // Selecting the row is the program's doing, not a choice: it plays the
    // programme here, once.
    m_list->setCurrentRow(m_programmes->rowOf(name));
    play(file);
    recordInHistory(name);
}

void ProgrammePanel::addToFavourites()
{
    const int row = m_list->currentRow();
    const ProgrammeItem *selected =
        m_programmes->isValidRow(row) ? &m_programmes->item(row) : nullptr;
    const QString refused = Favourites::refusal(m_source.isFolder(), selected);
    if (!refused.isEmpty()) {
        m_messages->show(refused);
        return;
    }
    if (failed(*m_messages, ListFile(m_paths.favouritesFile()).append(selected->name)))
        return;
    m_messages->show(m_programmes->rowText(row) + QStringLiteral(" 成功加入到收藏"));
}

void ProgrammePanel::removeFromFavourites()
{
    removeSelectedFrom(m_paths.favouritesFile());
}

void ProgrammePanel::removeFromHistory()
{
    removeSelectedFrom(m_paths.historyFile());
}

void ProgrammePanel::clearFavourites()
{
    clearList(m_paths.favouritesFile(), QStringLiteral("确实要清空收藏列表吗？"));
}

void ProgrammePanel::clearHistory()
{
    clearList(m_paths.historyFile(), QStringLiteral("确实要清空历史记录吗？"));
}

void ProgrammePanel::removeSelectedFrom(const QString &listFile)
{
    // Refused while downloads wait, as switching lists is: a row under
    // download shows its progress, not its name, and keeps its place.
    const int row = m_list->currentRow();
    if (!m_programmes->isValidRow(row) || refusedWhileDownloading())
        return;
    QStringList names;
    for (int i = 0; i < m_programmes->count(); ++i) {
        if (i != row)
            names.append(m_programmes->item(i).name);
    }
    // The file first: when it cannot be written the list stays as the file
    // still has it.
    if (failed(*m_messages, ListFile(listFile).rewrite(names)))
        return;
    m_programmes->removeRow(row);
    m_list->setCurrentRow(-1);
}

void ProgrammePanel::clearList(const QString &listFile, const QString &question)
{
    if (refusedWhileDownloading() || !m_messages->confirm(question))
        return;
    if (!failed(*m_messages, ListFile(listFile).clear()))
        m_programmes->clear();
}
