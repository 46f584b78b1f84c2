// The personal lists: favourites, history and the child's own folders.
#include "app/folderbox.h"
#include "app/form1.h"
#include "app/programmelistview.h"
#include "catalogue/categorytable.h"
#include "catalogue/programmelistmodel.h"
#include "download/downloadqueue.h"
#include "lists/customprogrammes.h"

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
