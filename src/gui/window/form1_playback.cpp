// Choosing a programme: play it from the cache, from the child's own folder,
// or fetch it first.
#include "core/base/apperror.h"
#include "core/catalogue/categorytable.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/catalogue/programmename.h"
#include "core/download/downloadqueue.h"
#include "core/lists/history.h"
#include "core/playback/programmeselection.h"
#include "gui/webhost/flashplayer.h"
#include "gui/window/folderbox.h"
#include "gui/window/form1.h"
#include "gui/window/programmelistview.h"

#include <QFileInfo>
#include <QScrollBar>

namespace {
bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}
} // namespace

void Form1::List1_Click()
{
    guarded([&] {
        SelectionInput in;
        in.row = List1->currentRow();
        in.name = m_programmes->isValidRow(in.row) ? m_programmes->item(in.row).name : QString();
        in.customMode = CurrentCategory == ListMode::Custom;
        in.queuedRows = m_downloads->rows();
        in.customDir = m_paths.customDir();
        in.customFolder = Combo1->currentText();
        in.flashDir = FlashDir;

        const SelectionRoad road = chooseRoad(in, &isFile);
        switch (road.kind) {
        case SelectionRoad::Ignore:
        case SelectionRoad::QueueFull:
            return;
        case SelectionRoad::UnusableName:
            m_services.messages->show(unusableNameMessage(road.name));
            return;
        case SelectionRoad::Custom:
            m_services.player->SetMovie(FlashPlayer::EmptyMovie);
            if (!road.path.isEmpty()) {
                m_services.player->SetMovie(road.path);
                programmeLoaded();
                setPositionMaximum(m_services.player->TotalFrames());
            }
            return;
        case SelectionRoad::Cached:
            playFromStart(road.path);
            AddToHistory();
            return;
        case SelectionRoad::Download:
            StartProgrammeDownload();
            return;
        }
    });
}

void Form1::playFromStart(const QString &file)
{
    // Emptying the player first makes it load the file afresh, from frame 1,
    // even when the same programme is already loaded.
    m_services.player->SetMovie(FlashPlayer::EmptyMovie);
    m_services.player->SetMovie(file);
    m_services.player->Play();
    setPositionMaximum(m_services.player->TotalFrames());
    programmeLoaded();
}

void Form1::setPositionMaximum(int totalFrames)
{
    // The bar holds at most 32 767 steps; longer programmes are shown
    // coarser at their end rather than refused.
    const int maximum = qBound(0, totalFrames, 32767);
    HScroll1->setMaximum(maximum);
    if (HScroll1->value() > maximum)
        HScroll1->setValue(maximum);
}

void Form1::AddToHistory()
{
    if (!History::isRecorded(CurrentCategory))
        return;
    const int row = List1->currentRow();
    if (!m_programmes->isValidRow(row))
        return;
    History::record(m_paths.historyFile(), m_programmes->item(row).name);
}

void Form1::StartProgrammeDownload()
{
    const int row = List1->currentRow();
    if (row >= 0)
        m_downloads->request(row);
}

void Form1::programmeArrived(int row, const QString &file)
{
    // Selecting the row is the program's doing, not a choice: it plays the
    // programme here, once.
    List1->setCurrentRow(row);
    playFromStart(file);
    AddToHistory();
}

void Form1::tellUser(const QString &text)
{
    m_services.messages->show(text, QStringLiteral("提示"), MessageBoxes::Icon::Information);
}
