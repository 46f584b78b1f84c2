// The personal lists: favourites, history and the child's own folders.
#include "app/folderbox.h"
#include "app/form1.h"

#include "catalogue/categorytable.h"
#include "lists/customprogrammes.h"

#include "app/programmelistview.h"

#include <QListWidget>

void Form1::Label2_Click()
{
    guarded([&] { showPersonalList(ListMode::Favourites, QStringLiteral("cons/shoucang.inb")); });
}

void Form1::Label3_Click()
{
    guarded([&] { showPersonalList(ListMode::History, QStringLiteral("cons/lishi.inb")); });
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
    Combo1->setEditText(QStringLiteral("自定义节目"));
}

bool Form1::refusedWhileDownloading()
{
    if (List2->count() == 0)
        return false;
    m_services.messages->show(QStringLiteral("正在下载，请稍候！"), QStringLiteral("提示"),
                              MessageBoxes::Icon::Information);
    return true;
}

void Form1::LoadCustomCategories()
{
    Combo1->addItems(CustomProgrammes::folders(appPath(QStringLiteral("自定义节目"))));
    Combo1->setEditText(QStringLiteral("自定义节目"));
}

bool Form1::Combo1_DropDown()
{
    if (CurrentCategory == ListMode::Custom || List2->count() == 0)
        return true;
    Combo1->setEditText(QStringLiteral("自定义节目"));
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
    List1->clear();
    const QString folder = Combo1->currentText();
    if (!folder.contains(QLatin1Char('/')) && !folder.contains(QLatin1String("..")))
        List1->addItems(
            CustomProgrammes::programmes(appPath(QStringLiteral("自定义节目/")) + folder));
    if (List1->count() == 0)
        m_services.messages->show(CustomProgrammes::emptyFolderMessage());
    List1->setFocus();
}
