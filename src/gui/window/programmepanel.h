#pragma once

#include "core/base/apppaths.h"
#include "core/base/result.h"
#include "core/catalogue/listsource.h"
#include "core/download/downloadqueue.h"
#include "core/playback/playallcursor.h"

#include <QObject>
#include <QString>

class FolderBox;
class ImageButton;
class MessageBoxes;
class ProgrammeListModel;
class ProgrammeListView;
class QFileSystemWatcher;
class QMenu;
class QWidget;

// The programme list on the right and what changes it: the categories'
// lists, the favourites and the history with their menus, the child's own
// folders, the programme order dialog, and the downloads of the programmes
// chosen that are not yet in the cache.
class ProgrammePanel : public QObject
{
    Q_OBJECT
public:
    // The controls are placed on `window`.
    ProgrammePanel(QWidget *window, DownloadQueue::Settings downloads, MessageBoxes *messages);

    // Start-up: reads the server key and shows the first category's list
    // and the child's folders. Fails when the installation is broken (key
    // file or first list missing).
    Result<> load();

    // The controls full screen hides.
    QList<QWidget *> windowedControls() const;
    // "收藏", "历史" and "设置".
    QList<ImageButton *> links() const;

public Q_SLOTS:
    void showCategory(int number);
    void showFavourites();
    void showHistory();
    // The user chose the list's current row.
    void onRowChosen();
    // Selects the row and runs the choice, as a click on it does.
    void chooseRow(int row);
    // Play-all reached the end of the programme playing.
    void onPlayAllReachedEnd();
    void addToFavourites();
    void removeFromFavourites();
    void clearFavourites();
    void removeFromHistory();
    void clearHistory();
    // "设置": the programme order dialog, modal, without an owner.
    void openOrderDialog();
    // Movies and folders a parent dropped on the window: copied into the
    // folder of the child's own shown (else "我的节目"), listed, and the
    // first one played.
    void addOwnMovies(const QStringList &paths);
    // Movies the desktop asked us to open: the first that can be played is,
    // as a movie of the child's own, from where it is.
    void openMovies(const QStringList &paths);

Q_SIGNALS:
    // Another list is shown.
    void listShown(const ListSource &source);
    // A programme of the cache to play from its first frame.
    void playRequested(const QString &file);
    // A movie of the child's own; an empty path: the file is gone.
    void ownMovieRequested(const QString &path);
    // The menus' "暂停" and "全屏".
    void pauseRequested();
    void fullScreenRequested();
    // "家长设置" in the order dialog, to open over it.
    void parentSettingsRequested(QWidget *over);

private:
    // Tests read the list shown, its model and the downloads through it.
    friend struct PanelInside;

    void createList(QWidget *window);
    void createFolderBox(QWidget *window);
    void createLinks(QWidget *window);
    void createMenus();
    void createDownloads(DownloadQueue::Settings settings);
    // The menu the list pops up for this list.
    QMenu *menuFor(const ListSource &source) const;
    void show(const ListSource &source, const QString &listFile);
    Result<> loadList(const QString &listFile);
    void loadServerKey();
    // The folder box: its list is about to drop down (false: refused), and a
    // folder was chosen.
    bool folderListMayOpen();
    void onFolderChosen();
    // Lists the folder; false when it holds no programme.
    bool showFolder(const QString &folder);
    // Something changed in the custom-programmes folder or the one shown.
    void onFolderChanged(const QString &path);
    void refreshFolders();
    void watchFolders();
    void play(const QString &file);
    void recordInHistory(const QString &name);
    void onProgrammeArrived(const QString &name, const QString &file);
    void removeSelectedFrom(const QString &listFile);
    void clearList(const QString &listFile, const QString &question);
    // Tells the user and returns true while downloads are queued.
    bool refusedWhileDownloading();
    void tellUser(const QString &text);

    AppPaths m_paths;
    MessageBoxes *m_messages;
    ListSource m_source;
    QString m_serverKey;
    ProgrammeListModel *m_programmes = nullptr;
    DownloadQueue *m_downloads = nullptr;
    PlayAllCursor m_playAll;

    ProgrammeListView *m_list = nullptr;
    FolderBox *m_folderBox = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
    bool m_addingMovies = false;
    ImageButton *m_favouritesLink = nullptr;
    ImageButton *m_historyLink = nullptr;
    ImageButton *m_settingsLink = nullptr;
    QMenu *m_categoryMenu = nullptr;
    QMenu *m_favouritesMenu = nullptr;
    QMenu *m_historyMenu = nullptr;
};
