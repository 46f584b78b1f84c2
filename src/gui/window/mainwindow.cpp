#include "gui/window/mainwindow.h"

#include "core/parental/playclock.h"
#include "gui/parental/lockableplayer.h"
#include "gui/parental/parentcorner.h"
#include "gui/window/categorybar.h"
#include "gui/window/designgeometry.h"
#include "gui/window/desktoplink.h"
#include "gui/window/imagebutton.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmepanel.h"
#include "gui/window/resources.h"
#include "gui/window/style.h"
#include "gui/window/updateschedule.h"
#include "webapi/flashplayer.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

using DesignGeometry::Control;

namespace {

// The program's icon in the sizes a desktop asks for.
QIcon programIcon()
{
    const QPixmap big(QStringLiteral(":/icons/qorvel.png"));
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(big.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    return icon;
}

} // namespace

MainWindow::MainWindow(AppSettings settings, Services services, QWidget *parent)
    : QWidget(parent), m_settings(std::move(settings)), m_services(services)
{
    Q_ASSERT(m_services.player && m_services.browser && m_services.messages && m_services.sound);
    const AppPaths paths(m_settings.appDir);
    setUpWindow();
    m_categoryBar =
        new CategoryBar(this, m_services.browser, m_services.sound,
                        CategoryBar::Settings{m_settings.infoSite, paths.offlinePage()});
    QWidget *player = m_services.player->widget();
    player->setParent(this);
    DesignGeometry::place(player, Control::Player);
    player->setAccessibleName(QStringLiteral("播放器"));
    // A file dropped on the player is the window's, not a page to open.
    player->setAcceptDrops(false);
    m_programmePanel = new ProgrammePanel(
        this, DownloadQueue::Settings{m_settings.downloadServer, paths, m_settings.rangeWaitMs},
        m_services.messages);
    m_lockablePlayer = std::make_unique<LockablePlayer>(m_services.player);
    m_playerBar = new PlayerBar(this, m_lockablePlayer.get(), m_services.sound);
    m_desktopLink = new DesktopLink(
        this, DesktopLink::Settings{paths, m_settings.installedMode, m_settings.tempDir},
        m_services.shortcut, m_services.messages);
    m_updates = new UpdateSchedule(UpdateSchedule::Settings{paths, m_settings.downloadServer,
                                                            m_settings.rangeWaitMs,
                                                            m_settings.installedMode},
                                   m_services.processes, this);
    m_links = m_programmePanel->links();
    m_links.prepend(m_desktopLink->link());
    for (ImageButton *link : m_links)
        styleLink(link);
    if (!m_services.clock)
        m_systemClock = std::make_unique<SystemPlayClock>();
    m_parentCorner = new ParentCorner(
        this, m_lockablePlayer.get(), m_services.messages,
        m_services.clock ? *m_services.clock : *m_systemClock,
        ParentCorner::Files{m_settings.parentSettingsFile, m_settings.playTimeFile});
    m_tick = new QTimer(this);
    connectAreas();
}

MainWindow::~MainWindow()
{
    m_parentCorner->keepPlayTime();
    // The player and the browser belong to whoever handed them in.
    m_services.player->widget()->setParent(nullptr);
    m_services.browser->widget()->setParent(nullptr);
}

void MainWindow::setUpWindow()
{
    setObjectName(DesignGeometry::objectName(Control::Window));
    setWindowTitle(QStringLiteral("Qorvel儿童乐园4.2"));
    setWindowIcon(programIcon());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Style::WindowGreen);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setAcceptDrops(true);
    QCoreApplication::instance()->installEventFilter(this);
    resize(LayoutEngine::toPixels(DesignGeometry::InnerWidthTwips),
           LayoutEngine::toPixels(DesignGeometry::InnerHeightTwips));
}

void MainWindow::connectAreas()
{
    ProgrammePanel *panel = m_programmePanel;
    connect(m_categoryBar, &CategoryBar::categoryClicked, panel, &ProgrammePanel::showCategory);
    connect(panel, &ProgrammePanel::listShown, m_categoryBar, &CategoryBar::onListShown);
    connect(panel, &ProgrammePanel::listShown, m_playerBar, &PlayerBar::onListShown);
    connect(panel, &ProgrammePanel::playRequested, m_playerBar, &PlayerBar::playFromStart);
    connect(panel, &ProgrammePanel::ownMovieRequested, m_playerBar, &PlayerBar::playOwnMovie);
    connect(panel, &ProgrammePanel::pauseRequested, m_playerBar, &PlayerBar::onPauseClicked);
    connect(panel, &ProgrammePanel::fullScreenRequested, this, &MainWindow::enterFullScreen);
    connect(m_playerBar, &PlayerBar::fullScreenRequested, this, &MainWindow::enterFullScreen);
    connect(m_playerBar, &PlayerBar::windowedRequested, m_parentCorner,
            &ParentCorner::requestLeaveFullScreen);
    connect(m_parentCorner, &ParentCorner::leaveFullScreenAllowed, this,
            &MainWindow::leaveFullScreen);
    connect(m_parentCorner, &ParentCorner::pagesChanged, this, &MainWindow::layOut);
    connect(panel, &ProgrammePanel::parentSettingsRequested, m_parentCorner,
            &ParentCorner::openSettings);
    connect(m_playerBar, &PlayerBar::playAllReachedEnd, panel,
            &ProgrammePanel::onPlayAllReachedEnd);
    connect(m_tick, &QTimer::timeout, m_playerBar, &PlayerBar::onTick);
    connect(m_tick, &QTimer::timeout, m_updates, &UpdateSchedule::onTick);
    connect(m_tick, &QTimer::timeout, m_parentCorner, &ParentCorner::onTick);
    connect(m_updates, &UpdateSchedule::updaterStarted, this, [this] {
        // List files are written whole within one event, so leaving the
        // event loops here cannot cut one off; a programme download under
        // way is dropped as it is when the window is closed.
        close();
        QCoreApplication::exit(0);
    });
}

Result<> MainWindow::load()
{
    layOut();
    if (Result<> panel = m_programmePanel->load(); !panel)
        return panel;
    // A picture or sound missing from the program is a broken installation too.
    if (const QStringList absent = Resources::missing(); !absent.isEmpty())
        return AppError(AppError::ResourceNotFound,
                        QStringLiteral("找不到资源 %1").arg(absent.join(QStringLiteral("、"))));
    m_playerBar->start();
    m_services.browser->setSilent(true);
    m_categoryBar->showStart();
    m_tick->start(m_settings.timerIntervalMs);
    m_desktopLink->warnIfRunFromTemp();
    return {};
}

void MainWindow::styleLink(ImageButton *link)
{
    link->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    link->setFont(Style::chineseFont(9));
    link->setCursor(Qt::PointingHandCursor);
    link->setMouseTracking(true);
    link->installEventFilter(this);
    Style::setTextColour(link, palette().color(QPalette::ButtonText));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The web views would open a file dropped on them as a page: a drop
    // anywhere on the window is the window's.
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget != this && isAncestorOf(widget)) {
            if (type == QEvent::Drop)
                dropEvent(static_cast<QDropEvent *>(event));
            else
                acceptFiles(static_cast<QDragMoveEvent *>(event));
            return true;
        }
    }
    // A pointer that jumps onto a link (a fast mouse, a warped pointer) may
    // send no move over it, only its arrival.
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        for (ImageButton *link : std::as_const(m_links)) {
            if (watched == link)
                Style::setTextColour(link, Style::LinkRed);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    // Only the window's own background puts the links back; moving from one
    // link onto another control leaves it red.
    if (!childAt(event->position().toPoint())) {
        for (ImageButton *link : std::as_const(m_links))
            Style::setTextColour(link, palette().color(QPalette::ButtonText));
    }
    QWidget::mouseMoveEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void MainWindow::layOut()
{
    m_layout.resizeControls(this);
    pinFixedSizes();
    QWidget *player = m_services.player->widget();
    if (m_fullScreen) {
        // The player takes the whole window over every other control; the
        // return button stays above it.
        player->setGeometry(rect());
        player->raise();
    }
    m_parentCorner->layOut(player->geometry());
    if (m_fullScreen)
        m_playerBar->raiseBackButton();
}

void MainWindow::pinFixedSizes()
{
    // Some controls keep their size; only their place follows the window.
    for (QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QSize fixed = DesignGeometry::fixedTwips(w->objectName());
        if (!fixed.isValid())
            continue;
        QRect t = LayoutEngine::geometryInTwips(w);
        if (fixed.width() > 0)
            t.setWidth(fixed.width());
        t.setHeight(fixed.height());
        LayoutEngine::setGeometryInTwips(w, t);
    }
}

QList<QWidget *> MainWindow::windowedControls() const
{
    return m_programmePanel->windowedControls() + m_playerBar->windowedControls() +
           QList<QWidget *>{m_services.browser->widget()};
}

void MainWindow::enterFullScreen()
{
    // Hiding leaves the repeat mode as it is; the player then covers the
    // window and only the return button stays above it.
    m_fullScreen = true;
    for (QWidget *w : windowedControls())
        w->hide();
    showFullScreen();
    fillScreenIfIgnored();
    layOut();
    m_playerBar->showBackButton(true);
    m_parentCorner->setFullScreen(true);
}

void MainWindow::leaveFullScreen()
{
    m_fullScreen = false;
    m_parentCorner->setFullScreen(false);
    for (QWidget *w : windowedControls())
        w->show();
    m_playerBar->showBackButton(false);
    showMaximizedOnScreen();
    layOut();
}

void MainWindow::showMaximizedOnScreen()
{
    showMaximized();
    fillScreenIfIgnored();
}

void MainWindow::fillScreenIfIgnored()
{
    // Without a window manager (a bare X server) maximising and full screen
    // change nothing, so the window takes the area itself once it is clear
    // that nobody else will.
    QTimer::singleShot(500, this, [this] {
        if (!screen())
            return;
        const QRect target = m_fullScreen ? screen()->geometry() : screen()->availableGeometry();
        const bool wanted = m_fullScreen ? isFullScreen() : isMaximized();
        if (wanted && frameGeometry().width() < target.width() - 8)
            setGeometry(target);
    });
}

namespace {

QStringList localFilesOf(const QMimeData *data)
{
    QStringList paths;
    if (data && data->hasUrls()) {
        for (const QUrl &url : data->urls()) {
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
        }
    }
    return paths;
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    acceptFiles(event);
}

void MainWindow::acceptFiles(QDragMoveEvent *event)
{
    if (!localFilesOf(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFilesOf(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    // The copy may ask questions and show progress: not inside the drop,
    // which holds the desktop's drag until it returns.
    QMetaObject::invokeMethod(
        m_programmePanel, [panel = m_programmePanel, paths] { panel->addOwnMovies(paths); },
        Qt::QueuedConnection);
}

void MainWindow::openMovies(const QStringList &paths)
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
    m_programmePanel->openMovies(paths);
}
