#include "core/base/apperror.h"
#include "core/base/datafolder.h"
#include "core/base/moviehandoff.h"
#include "core/parental/parentsettings.h"
#include "gui/platform/desktopshortcut.h"
#include "gui/platform/systemprocessstarter.h"
#include "gui/sound/heldsound.h"
#include "gui/sound/soundeffects.h"
#include "gui/webhost/webpartshost.h"
#include "gui/window/firstpaint.h"
#include "gui/window/mainwindow.h"
#include "gui/window/qtmessageboxes.h"
#include "gui/window/resources.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTimer>

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

    // Unpacked into a folder of its own, the program keeps its data beside
    // itself; installed, in the user's data folder, filled on first start.
    // Ruffle always lies beside the program.
    const QString programDir = QCoreApplication::applicationDirPath();
    const Result<DataFolder::Location> where = DataFolder::locate(
        programDir, QDir(programDir).filePath(QStringLiteral(QORVEL_DEFAULTS_DIR)),
        DataFolder::userFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()));
    if (!where) {
        static_cast<MessageBoxes &>(messages).show(where.error().report());
        return 1;
    }
    const AppSettings settings{.appDir = where.value().appDir,
                               .downloadServer = QStringLiteral(QORVEL_DOWNLOAD_SERVER),
                               .infoSite = QStringLiteral(QORVEL_INFO_SITE),
                               .installedMode = where.value().installed,
                               .tempDir = QDir::tempPath(),
                               .parentSettingsFile = ParentSettings::defaultFile(
                                   qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()),
                               .playTimeFile = ParentSettings::defaultPlayTimeFile(
                                   qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath())};
    // The start-up sound greets the window: it plays once that is on screen.
    HeldSound sound([] { return std::make_unique<SoundEffects>(Resources::sounds()); });
    // The player and the information strip need the web engine, which takes
    // several times as long to load as the window takes to show: it is
    // loaded from its own library once the window is on screen.
    WebPartsHost web(
        [programDir](NavigateErrorHandler onError) {
            return loadWebLibrary(programDir, std::move(onError));
        },
        &messages);
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
        static_cast<MessageBoxes &>(messages).show(loaded.error().report());
        return 1;
    }
    // Centred at its design size when restored; maximised at start.
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
    makeSharedOpenGLContext();
    return app.exec();
}
