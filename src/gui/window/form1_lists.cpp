// The personal lists: favourites, history and the child's own folders.
#include "core/catalogue/categorytable.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "core/lists/customprogrammes.h"
#include "core/lists/favourites.h"
#include "gui/window/folderbox.h"
#include "gui/window/form1.h"
#include "gui/window/programmelistview.h"

void Form1::Label2_Click()
{
    guarded([&] { showPersonalList(ListMode::Favourites, AppPaths::FavouritesList); });
}

void Form1::Label3_Click()
{
    guarded([&] { showPersonalList(ListMode::History, AppPaths::HistoryList); });
}

void Form1::showPersonalList(const QString &mode, const QString &listFile)
{
    if (CurrentCategory == mode)
        return;
    if (refusedWhileDownloading())
        return;
    CurrentCategory = mode;
    LoadProgrammeList(listFile);
    uncheckOptions();
    m_services.browser->navigate(m_settings.infoSite + QStringLiteral("show15.htm"));
    ResetCategoryButtons();
    Combo1->setEditText(AppPaths::CustomFolderName);
}

bool Form1::refusedWhileDownloading()
{
    if (m_downloads->isEmpty())
        return false;
    m_services.messages->show(QStringLiteral("正在下载，请稍候！"), QStringLiteral("提示"),
                              MessageBoxes::Icon::Information);
    return true;
}

void Form1::LoadCustomCategories()
{
    Combo1->addItems(CustomProgrammes::folders(m_paths.customDir()));
    Combo1->setEditText(AppPaths::CustomFolderName);
}

bool Form1::Combo1_DropDown()
{
    if (CurrentCategory == ListMode::Custom || m_downloads->isEmpty())
        return true;
    Combo1->setEditText(AppPaths::CustomFolderName);
    refusedWhileDownloading();
    List1->setFocus();
    return false;
}

void Form1::Combo1_Click()
{
    // A folder chosen with the keyboard, without the list dropping down, is
    // refused the same way: the rows must not change under a download.
    if (CurrentCategory != ListMode::Custom && !Combo1_DropDown())
        return;
    CurrentCategory = ListMode::Custom;
    uncheckOptions();
    m_services.browser->navigate(m_settings.infoSite + QStringLiteral("show15.htm"));
    guarded([&] { ResetCategoryButtons(); });
    QList<ProgrammeItem> items;
    const QString folder = Combo1->currentText();
    if (!folder.contains(QLatin1Char('/')) && !folder.contains(QLatin1String(".."))) {
        for (const QString &name : CustomProgrammes::programmes(m_paths.customDir() + folder))
            items.append({name, ProgrammeState::Custom});
    }
    m_programmes->setItems(items);
    if (items.isEmpty())
        m_services.messages->show(CustomProgrammes::emptyFolderMessage());
    List1->setFocus();
}

void Form1::file1_3_Click()
{
    guarded([&] {
        const int row = List1->currentRow();
        const ProgrammeItem *selected =
            m_programmes->isValidRow(row) ? &m_programmes->item(row) : nullptr;
        const QString refused = Favourites::refusal(CurrentCategory == ListMode::Custom, selected);
        if (!refused.isEmpty()) {
            m_services.messages->show(refused);
            return;
        }
        Favourites::append(m_paths.favouritesFile(), selected->name);
        m_services.messages->show(m_programmes->rowText(row) + QStringLiteral(" 成功加入到收藏"));
    });
}

void Form1::file2_3_Click()
{
    removeSelectedFrom(m_paths.favouritesFile());
}

void Form1::file3_3_Click()
{
    removeSelectedFrom(m_paths.historyFile());
}

void Form1::file2_4_Click()
{
    clearList(m_paths.favouritesFile(), QStringLiteral("确实要清空收藏列表吗？"));
}

void Form1::file3_4_Click()
{
    clearList(m_paths.historyFile(), QStringLiteral("确实要清空历史记录吗？"));
}

void Form1::removeSelectedFrom(const QString &listFile)
{
    // Refused while downloads wait, as switching lists is: a row under
    // download shows its progress, not its name, and keeps its place.
    const int row = List1->currentRow();
    if (!m_programmes->isValidRow(row) || refusedWhileDownloading())
        return;
    guarded([&] {
        QStringList names;
        for (int i = 0; i < m_programmes->count(); ++i) {
            if (i != row)
                names.append(m_programmes->item(i).name);
        }
        // The file first: when it cannot be written the list stays as the
        // file still has it.
        Favourites::rewrite(listFile, names);
        m_programmes->removeRow(row);
        List1->setCurrentRow(-1);
    });
}

void Form1::clearList(const QString &listFile, const QString &question)
{
    if (refusedWhileDownloading() || !m_services.messages->confirm(question))
        return;
    guarded([&] {
        Favourites::clear(listFile);
        m_programmes->clear();
    });
}
