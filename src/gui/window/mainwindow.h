#pragma once

#include "core/base/apppaths.h"
#include "core/base/result.h"
#include "gui/layout/layoutengine.h"
#include "gui/window/services.h"
#include "gui/window/settings.h"

#include <QWidget>

#include <memory>

class CategoryBar;
class DesktopLink;
class ImageButton;
class LockablePlayer;
class ParentCorner;
class PlayClock;
class PlayerBar;
class ProgrammePanel;
class QTimer;
class UpdateSchedule;

// The main window: the category bar along the top, the player with its bar
// below it, the programme panel on the right and the information strip at
// the bottom. It creates the areas, hands them the services, lays them out
// at any size or in full screen, and connects them; the areas do the rest.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    MainWindow(AppSettings settings, Services services, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Everything that must be ready before the first click. Fails when the
    // installation is broken (key file or first list missing).
    Result<> load();

    // Shows the window maximised; where no window manager does that, the
    // window takes the screen's working area itself.
    void showMaximizedOnScreen();

public Q_SLOTS:
    // Movies the desktop asked us to open: the window comes forward and
    // plays the first one.
    void openMovies(const QStringList &paths);
    void enterFullScreen();
    void leaveFullScreen();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Files and folders dropped from the desktop become the child's own
    // programmes.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Tests reach the areas through it, to drive one and watch another.
    friend struct WindowInside;

    void setUpWindow();
    void connectAreas();
    void styleLink(ImageButton *link);
    void layOut();
    void pinFixedSizes();
    // The controls full screen hides.
    QList<QWidget *> windowedControls() const;
    void fillScreenIfIgnored();
    void acceptFiles(QDragMoveEvent *event);

    AppSettings m_settings;
    Services m_services;
    LayoutEngine m_layout;
    bool m_fullScreen = false;
    CategoryBar *m_categoryBar = nullptr;
    ProgrammePanel *m_programmePanel = nullptr;
    PlayerBar *m_playerBar = nullptr;
    DesktopLink *m_desktopLink = nullptr;
    UpdateSchedule *m_updates = nullptr;
    QList<ImageButton *> m_links;
    QTimer *m_tick = nullptr;
    std::unique_ptr<PlayClock> m_systemClock;
    std::unique_ptr<LockablePlayer> m_lockablePlayer;
    ParentCorner *m_parentCorner = nullptr;
};
