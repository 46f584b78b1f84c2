#include "core/base/datafolder.h"
#include "core/base/moviehandoff.h"
#include "core/parental/parentsettings.h"
#include "gui/platform/desktopshortcut.h"
#include "gui/platform/systemprocessstarter.h"
#include "gui/sound/heldsound.h"
#include "gui/sound/soundeffects.h"
#include "gui/webhost/webpartshost.h"
#include "gui/window/failuremessage.h"
#include "gui/window/firstpaint.h"
#include "gui/window/mainwindow.h"
#include "gui/window/qtmessageboxes.h"
#include "gui/window/resources.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

namespace {

// Unpacked into a folder of its own, the program keeps its data beside
// itself; installed, in the user's data folder, filled on first start.
Result<DataFolder::Location> locateData(const QString &programDir)
{
    return DataFolder::locate(
        programDir, QDir(programDir).filePath(QStringLiteral(QORVEL_DEFAULTS_DIR)),
        DataFolder::userFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()));
}

AppSettings settingsFor(const DataFolder::Location &where)
{
    return AppSettings{.appDir = where.appDir,
                       .downloadServer = QStringLiteral(QORVEL_DOWNLOAD_SERVER),
                       .infoSite = QStringLiteral(QORVEL_INFO_SITE),
                       .installedMode = where.installed,
                       .tempDir = QDir::tempPath(),
                       .parentSettingsFile = ParentSettings::defaultFile(
                           qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()),
                       .playTimeFile = ParentSettings::defaultPlayTimeFile(
                           qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath())};
}

// Centred at its design size when restored; maximised at start. From then on
// movies handed over by later starts open here.
void showWindow(MainWindow &window, MovieHandOff &handOff, HeldSound &sound,
                const QStringList &movies)
{
    const QRect screen = window.screen()->availableGeometry();
    window.move(screen.center() - window.rect().center());
    handOff.listen();
    QObject::connect(&handOff, &MovieHandOff::received, &window, &MainWindow::openMovies);
    afterFirstPaint(&window, [&sound, &window, movies] {
        sound.release();
        if (!movies.isEmpty())
            window.openMovies(movies);
    });
    window.showMaximizedOnScreen();
}

} // namespace

int main(int argc, char *argv[])
{
    prepareBeforeApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Qorvel儿童乐园"));
    QGuiApplication::setDesktopFileName(QStringLiteral(QORVEL_DESKTOP_ID));
    QtMessageBoxes messages;
    // Movies to open go to the window already running, if there is one.
    const QStringList movies = MovieHandOff::moviesIn(QCoreApplication::arguments());
    MovieHandOff handOff(MovieHandOff::defaultSocketPath());
    if (!movies.isEmpty() && handOff.handOver(movies))
        return 0;

    // Ruffle always lies beside the program.
    const QString programDir = QCoreApplication::applicationDirPath();
    const Result<DataFolder::Location> where = locateData(programDir);
    if (failed(messages, where))
        return 1;
    const AppSettings settings = settingsFor(where.value());
    // The start-up sound greets the window: it plays once that is on screen.
    HeldSound sound([] { return std::make_unique<SoundEffects>(Resources::sounds()); });
    // The player and the information strip need the web engine, which takes
    // several times as long to load as the window takes to show: it is
    // loaded from its own library once the window is on screen.
    WebPartsHost web([programDir] { return loadWebLibrary(programDir); }, &messages);
    SystemProcessStarter processes;
    const std::unique_ptr<DesktopShortcut> shortcut = makeSystemShortcut();
    MainWindow window(settings, Services{.player = web.player(),
                                         .browser = web.browser(),
                                         .messages = &messages,
                                         .sound = &sound,
                                         .processes = &processes,
                                         .shortcut = shortcut.get()});
    messages.setParent(&window);
    if (const Result<> loaded = window.load(); !loaded) {
        // Without its key file or first list the program cannot work: say
        // which file is missing and end before the window shows.
        messages.setParent(nullptr);
        report(messages, loaded.error());
        return 1;
    }
    showWindow(window, handOff, sound, movies);
    makeSharedOpenGLContext();
    return app.exec();
}
