#pragma once

#include "core/base/apppaths.h"
#include "gui/layout/layoutengine.h"
#include "gui/window/services.h"
#include "gui/window/settings.h"

#include <QWidget>
#include <array>
#include <functional>

class AppError;
class DownloadQueue;
class FolderBox;
class ImageButton;
class ProgrammeListModel;
class ProgrammeListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

// The main window. It owns the controls and the window-level state and wires
// them to the models; the decisions are made by the subsystems its handlers
// call.
class Form1 : public QWidget
{
    Q_OBJECT
public:
    Form1(AppSettings settings, Services services, QWidget *parent = nullptr);
    ~Form1() override;

    // Everything that must be ready before the first click. Throws AppError
    // when the installation is broken (key file or first list missing).
    void Form_Load();

    // Window-level state.
    QString FlashDir;
    QString ServerKey;
    QString CurrentCategory;
    QByteArray SoundBuffer;
    bool SoundMuted = false;
    int TimerTicks = 0;

    // Routines shared by the subsystems.
    void LoadProgrammeList(const QString &listFile);
    void ResetCategoryButtons();
    void PlayResourceSound(const QString &name);
    void LoadServerKey();

    void AddToHistory();
    void StartProgrammeDownload();
    void CheckForUpdate();

    // Click on category button n (1 .. 14).
    void ImageClick(int n);
    // The user chose a row of the programme list.
    void List1_Click();
    // Selects the row and runs the choice, as a click on it does.
    void chooseRow(int row);
    // "收藏" and "历史": show the favourites or the history.
    void Label2_Click();
    void Label3_Click();
    // The folder box: its list is about to drop down (false: refused), and a
    // folder was chosen.
    bool Combo1_DropDown();
    void Combo1_Click();
    // The list's menu items: add to the favourites; remove from and clear
    // the favourites or the history.
    void file1_3_Click();
    void file2_3_Click();
    void file2_4_Click();
    void file3_3_Click();
    void file3_4_Click();
    // "桌面快捷": a shortcut to the program on the desktop.
    void Label1_Click();
    // "设置": the programme order dialog, modal, without an owner.
    void Label4_Click();
    // Start-up's last step: tells the user when the program runs from a
    // folder that will be cleaned away.
    void WarnIfRunFromTemp();

    // The player's buttons and the progress timer.
    void Image15_Click();  // play
    void Image16_Click();  // pause: no repeat mode, then stop
    void Image17_Click();  // full screen
    void Command6_Click(); // back from full screen
    void Image20_Click();  // mute the program's own sound, or sound it again
    void HScroll1_Scroll(int frame);
    void Timer1_Timer();
    bool isFullScreenMode() const { return m_fullScreen; }

    // Shows the window maximised; where no window manager does that, the
    // window takes the screen's working area itself.
    void showMaximizedOnScreen();

    // The pop-up menus of the list: file1 in a category, file2 in the
    // favourites, file3 in the history.
    QMenu *menuFor(const QString &category) const;

    const AppSettings &settings() const { return m_settings; }
    const AppPaths &paths() const { return m_paths; }
    const LayoutEngine &layout() const { return m_layout; }
    // The rows of the list shown and the downloads waiting, for whoever
    // needs their state (play-all, menus, tests).
    ProgrammeListModel *programmes() const { return m_programmes; }
    DownloadQueue *downloads() const { return m_downloads; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createMenus();
    void connectPlayerControls();
    void setLinksHovered(QWidget *label);
    void pinFixedSizes();
    // The controls full screen hides.
    QList<QWidget *> windowedControls() const;
    void fillScreenIfIgnored();
    void programmeLoaded();
    void Form_Resize();
    void ShowStartCategory();
    void LoadCustomCategories();
    void WebBrowser1_NavigateError(const QString &url);
    void resetOptions(bool enabled);
    void uncheckOptions();
    void showPersonalList(const QString &mode, const QString &listFile);
    void removeSelectedFrom(const QString &listFile);
    void clearList(const QString &listFile, const QString &question);
    // Tells the user and returns true while downloads are queued.
    bool refusedWhileDownloading();
    // The application folder looks like an archive manager's unpacking.
    bool runsFromTemp() const;
    // Runs a handler; a failure is reported and the program carries on.
    void guarded(const std::function<void()> &handler);
    void report(const AppError &error);
    void playFromStart(const QString &file);
    void setPositionMaximum(int totalFrames);
    void programmeArrived(int row, const QString &file);
    void tellUser(const QString &text);

    AppSettings m_settings;
    AppPaths m_paths;
    Services m_services;
    ProgrammeListModel *m_programmes = nullptr;
    DownloadQueue *m_downloads = nullptr;
    LayoutEngine m_layout;
    bool m_fullScreen = false;
    // Play-all moved to this row and waits for it to load or fail; -1: not.
    int m_playAllRow = -1;

    // Controls, named as the design names them (also their objectNames).
    std::array<ImageButton *, 14> m_categoryButtons{};
    ImageButton *Image15 = nullptr;
    ImageButton *Image16 = nullptr;
    ImageButton *Image17 = nullptr;
    ImageButton *Image20 = nullptr;
    ProgrammeListView *List1 = nullptr;
    QScrollBar *HScroll1 = nullptr;
    QRadioButton *Option1 = nullptr;
    QRadioButton *Option2 = nullptr;
    FolderBox *Combo1 = nullptr;
    std::array<ImageButton *, 4> m_links{};
    QPushButton *Command6 = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *file1 = nullptr;
    QMenu *file2 = nullptr;
    QMenu *file3 = nullptr;
};
