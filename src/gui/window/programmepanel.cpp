// The programme panel's controls and which list it shows.
#include "gui/window/programmepanel.h"

#include "core/catalogue/categorytable.h"
#include "core/catalogue/programmelist.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/serverkey.h"
#include "core/lists/customprogrammes.h"
#include "gui/window/designgeometry.h"
#include "gui/window/failuremessage.h"
#include "gui/window/folderbox.h"
#include "gui/window/imagebutton.h"
#include "gui/window/programmelistview.h"
#include "gui/window/programmeorderdialog.h"
#include "gui/window/services.h"
#include "gui/window/style.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLineEdit>
#include <QMenu>
#include <QUrl>

using DesignGeometry::Control;

ProgrammePanel::ProgrammePanel(QWidget *window, DownloadQueue::Settings downloads,
                               MessageBoxes *messages)
    : QObject(window), m_paths(downloads.paths), m_messages(messages),
      m_programmes(new ProgrammeListModel(this))
{
    createList(window);
    createFolderBox(window);
    createLinks(window);
    createMenus();
    createDownloads(std::move(downloads));
}

void ProgrammePanel::createList(QWidget *window)
{
    m_list = DesignGeometry::place(new ProgrammeListView(window), Control::ProgrammeList);
    m_list->setAccessibleName(QStringLiteral("节目列表"));
    m_list->setModel(m_programmes);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Style::paintAsList(m_list);
    m_list->setFont(Style::chineseFont(10.5));
    m_list->setFrameShape(QFrame::Box);
    // Only the user's own choice plays or fetches a programme; a click also
    // counts on the row already selected, to try a failed download again.
    connect(m_list, &ProgrammeListView::rowChosen, this, &ProgrammePanel::onRowChosen);
    connect(m_list, &ProgrammeListView::menuRequested, this,
            [this](const QPoint &globalPos) { menuFor(m_source)->popup(globalPos); });
}

void ProgrammePanel::createFolderBox(QWidget *window)
{
    m_folderBox = DesignGeometry::place(new FolderBox(window), Control::FolderBox);
    m_folderBox->setAccessibleName(AppPaths::CustomFolderName);
    m_folderBox->setDropDownCheck([this] { return folderListMayOpen(); });
    connect(m_folderBox, &QComboBox::activated, this, [this] { onFolderChosen(); });
    m_folderBox->setEditable(true);
    m_folderBox->lineEdit()->setReadOnly(true);
    m_folderBox->setEditText(AppPaths::CustomFolderName);
    QPalette pal = m_folderBox->palette();
    pal.setColor(QPalette::Base, Style::WindowGreen);
    pal.setColor(QPalette::Button, Style::WindowGreen);
    m_folderBox->setPalette(pal);
    m_folderBox->setFont(Style::chineseFont(9));
}

void ProgrammePanel::createLinks(QWidget *window)
{
    const auto link = [window](Control control, const QString &text) {
        auto *label = DesignGeometry::place(new ImageButton(window), control);
        label->setAccessibleName(text);
        label->setText(text);
        return label;
    };
    m_favouritesLink = link(Control::FavouritesLink, QStringLiteral("收藏"));
    m_historyLink = link(Control::HistoryLink, QStringLiteral("历史"));
    m_settingsLink = link(Control::SettingsLink, QStringLiteral("设置"));
    connect(m_favouritesLink, &ImageButton::clicked, this, &ProgrammePanel::showFavourites);
    connect(m_historyLink, &ImageButton::clicked, this, &ProgrammePanel::showHistory);
    connect(m_settingsLink, &ImageButton::clicked, this, &ProgrammePanel::openOrderDialog);
}

void ProgrammePanel::createMenus()
{
    // Pop-up menus only; the window has no menu bar. Their object names are
    // the design's, numbered as its items.
    using Item = std::pair<QString, void (ProgrammePanel::*)()>;
    const auto menu = [this](const QString &name, const QString &title, QList<Item> items) {
        items.prepend({QStringLiteral("全屏"), &ProgrammePanel::fullScreenRequested});
        items.prepend({QStringLiteral("暂停"), &ProgrammePanel::pauseRequested});
        auto *m = new QMenu(title, m_list);
        m->setObjectName(name);
        int number = 0;
        for (const auto &[text, handler] : std::as_const(items)) {
            QAction *action = m->addAction(text);
            action->setObjectName(name + u'_' + QString::number(++number));
            connect(action, &QAction::triggered, this, handler);
        }
        return m;
    };
    m_categoryMenu = menu(QStringLiteral("file1"), QStringLiteral("菜单1"),
                          {{QStringLiteral("加入收藏"), &ProgrammePanel::addToFavourites}});
    m_favouritesMenu =
        menu(QStringLiteral("file2"), QStringLiteral("菜单2"),
             {{QStringLiteral("从收藏列表删除"), &ProgrammePanel::removeFromFavourites},
              {QStringLiteral("清空收藏列表"), &ProgrammePanel::clearFavourites}});
    m_historyMenu = menu(QStringLiteral("file3"), QStringLiteral("菜单3"),
                         {{QStringLiteral("从历史记录删除"), &ProgrammePanel::removeFromHistory},
                          {QStringLiteral("清空历史记录"), &ProgrammePanel::clearHistory}});
}

void ProgrammePanel::createDownloads(DownloadQueue::Settings settings)
{
    m_downloads = new DownloadQueue(
        std::move(settings), [this] { return m_serverKey; }, this);
    // The queue knows programmes by name; the list finds their rows.
    connect(m_downloads, &DownloadQueue::stateChanged, m_programmes,
            &ProgrammeListModel::setStateOf);
    connect(m_downloads, &DownloadQueue::arrived, this, &ProgrammePanel::onProgrammeArrived);
    connect(m_downloads, &DownloadQueue::failed, this,
            [this](const QString &, const QString &message) { tellUser(message); });
    connect(m_downloads, &DownloadQueue::keyFileRefreshed, this, &ProgrammePanel::loadServerKey);
    connect(m_downloads, &DownloadQueue::ended, this,
            [this](const QString &name) { m_playAll.downloadEnded(name); });
}

Result<> ProgrammePanel::load()
{
    if (Result<> key = checkKeyFile(m_paths.keyFile()); !key)
        return key;
    loadServerKey();

    m_source = ListSource::ofCategory(1);
    if (Result<> first = loadList(CategoryTable::row(1).listFile); !first)
        return first;
    m_folderBox->addItems(CustomProgrammes::folders(m_paths.customDir()));
    m_folderBox->setEditText(AppPaths::CustomFolderName);
    watchFolders();
    return {};
}

void ProgrammePanel::loadServerKey()
{
    // A key file that is missing or empty leaves the key as it was.
    if (const std::optional<QString> key = loadServerKeyFrom(m_paths.keyFile()))
        m_serverKey = *key;
}

QMenu *ProgrammePanel::menuFor(const ListSource &source) const
{
    switch (source.kind) {
    case ListSource::Favourites:
        return m_favouritesMenu;
    case ListSource::History:
        return m_historyMenu;
    case ListSource::Category:
    case ListSource::Folder:
        break;
    }
    return m_categoryMenu;
}

QList<QWidget *> ProgrammePanel::windowedControls() const
{
    return {m_list, m_folderBox};
}

QList<ImageButton *> ProgrammePanel::links() const
{
    return {m_favouritesLink, m_historyLink, m_settingsLink};
}

void ProgrammePanel::showCategory(int number)
{
    show(ListSource::ofCategory(number), CategoryTable::row(number).listFile);
}

void ProgrammePanel::showFavourites()
{
    show(ListSource::favourites(), AppPaths::FavouritesList);
}

void ProgrammePanel::showHistory()
{
    show(ListSource::history(), AppPaths::HistoryList);
}

void ProgrammePanel::show(const ListSource &source, const QString &listFile)
{
    if (m_source == source || refusedWhileDownloading())
        return;
    m_source = source;
    if (failed(*m_messages, loadList(listFile)))
        return;
    m_folderBox->setEditText(AppPaths::CustomFolderName);
    Q_EMIT listShown(m_source);
}

Result<> ProgrammePanel::loadList(const QString &listFile)
{
    m_programmes->clear();
    Result<QList<ProgrammeItem>> items = loadProgrammeItems(m_paths, listFile);
    if (!items)
        return items.error();
    m_programmes->setItems(std::move(items).value());
    m_list->setCurrentRow(-1);
    return {};
}

bool ProgrammePanel::refusedWhileDownloading()
{
    if (m_downloads->isEmpty())
        return false;
    m_messages->show(QStringLiteral("正在下载，请稍候！"), QStringLiteral("提示"),
                     MessageBoxes::Icon::Information);
    return true;
}

bool ProgrammePanel::folderListMayOpen()
{
    if (m_source.isFolder() || m_downloads->isEmpty())
        return true;
    m_folderBox->setEditText(AppPaths::CustomFolderName);
    refusedWhileDownloading();
    m_list->setFocus();
    return false;
}

void ProgrammePanel::onFolderChosen()
{
    // A folder chosen with the keyboard, without the list dropping down, is
    // refused the same way: the rows must not change under a download.
    if (!m_source.isFolder() && !folderListMayOpen())
        return;
    const QString folder = m_folderBox->currentText();
    if (!showFolder(folder)) {
        const QString dir = QDir(m_paths.customDir()).filePath(folder);
        if (m_messages->offer(CustomProgrammes::emptyFolderMessage(m_paths.customDir()),
                              QStringLiteral("打开文件夹")))
            QDesktopServices::openUrl(
                QUrl::fromLocalFile(QFileInfo(dir).isDir() ? dir : m_paths.customDir()));
    }
    m_list->setFocus();
}

bool ProgrammePanel::showFolder(const QString &folder)
{
    m_source = ListSource::ofFolder(folder);
    m_folderBox->setEditText(folder);
    Q_EMIT listShown(m_source);
    QList<ProgrammeItem> items;
    if (!folder.contains(QLatin1Char('/')) && !folder.contains(QLatin1String(".."))) {
        for (const QString &name : CustomProgrammes::programmes(m_paths.customDir() + folder))
            items.append({name, ProgrammeState::Custom});
    }
    m_programmes->setItems(items);
    watchFolders();
    return !items.isEmpty();
}

void ProgrammePanel::openOrderDialog()
{
    // Loaded afresh at every opening; the list shown is not reloaded
    // afterwards, so a new order shows the next time the category is loaded.
    ProgrammeOrderDialog dialog(m_paths, *m_messages);
    dialog.setWindowModality(Qt::ApplicationModal);
    connect(&dialog, &ProgrammeOrderDialog::parentSettingsRequested, this,
            [this, &dialog] { Q_EMIT parentSettingsRequested(&dialog); });
    dialog.exec();
}

void ProgrammePanel::tellUser(const QString &text)
{
    m_messages->show(text, QStringLiteral("提示"), MessageBoxes::Icon::Information);
}

void ProgrammePanel::watchFolders()
{
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this,
                &ProgrammePanel::onFolderChanged);
    }
    if (const QStringList old = m_watcher->directories(); !old.isEmpty())
        m_watcher->removePaths(old);
    QStringList dirs{m_paths.customDir()};
    if (m_source.isFolder())
        dirs.append(m_paths.customDir() + m_source.folder);
    for (const QString &dir : std::as_const(dirs)) {
        if (QFileInfo(dir).isDir())
            m_watcher->addPath(dir);
    }
}

void ProgrammePanel::onFolderChanged(const QString &path)
{
    if (QDir(path) == QDir(m_paths.customDir())) {
        refreshFolders();
        return;
    }
    // The rows of a download are written by position: nothing moves under it.
    if (!m_source.isFolder() || !m_downloads->isEmpty())
        return;
    // New files are listed and gone ones dropped; the row chosen stays
    // chosen, and what plays plays on.
    const int row = m_list->currentRow();
    const QString chosen = m_programmes->isValidRow(row) ? m_programmes->item(row).name : QString();
    QList<ProgrammeItem> items;
    for (const QString &name : CustomProgrammes::programmes(m_paths.customDir() + m_source.folder))
        items.append({name, ProgrammeState::Custom});
    m_programmes->setItems(items);
    m_list->setCurrentRow(chosen.isEmpty() ? -1 : m_programmes->rowOf(chosen));
    watchFolders();
}

void ProgrammePanel::refreshFolders()
{
    const QString text = m_folderBox->currentText();
    const QStringList folders = CustomProgrammes::folders(m_paths.customDir());
    QStringList items;
    for (int i = 0; i < m_folderBox->count(); ++i)
        items.append(m_folderBox->itemText(i));
    if (items != folders) {
        m_folderBox->clear();
        m_folderBox->addItems(folders);
        m_folderBox->setEditText(text);
    }
    watchFolders();
}
