#include "app/firstpaint.h"
#include "app/form1.h"
#include "app/qtmessageboxes.h"
#include "app/webpartshost.h"
#include "core/apperror.h"
#include "core/datafolder.h"
#include "platform/desktopshortcut.h"
#include "platform/systemprocessstarter.h"
#include "sound/heldsound.h"
#include "sound/wavesound.h"

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

    // Unpacked into a folder of its own, the program keeps its data beside
    // itself; installed, in the user's data folder, filled on first start.
    // Ruffle always lies beside the program.
    const QString programDir = QCoreApplication::applicationDirPath();
    DataFolder::Location where;
    try {
        where = DataFolder::locate(
            programDir, QDir(programDir).filePath(QStringLiteral(QORVEL_DEFAULTS_DIR)),
            DataFolder::userFolder(qEnvironmentVariable("XDG_DATA_HOME"), QDir::homePath()));
    } catch (const AppError &error) {
        static_cast<MessageBoxes &>(messages).show(error.report());
        return 1;
    }
    const AppSettings settings{.appDir = where.appDir,
                               .downloadServer = QStringLiteral(QORVEL_DOWNLOAD_SERVER),
                               .infoSite = QStringLiteral(QORVEL_INFO_SITE),
                               .installedMode = where.installed,
                               .tempDir = QDir::tempPath()};
    // The media back end takes about as long to load as the window takes to
    // show: the start-up sound plays once the window is on screen.
    HeldSound sound([] { return std::make_unique<WaveSound>(); });
    // The player and the information strip need the web engine, which takes
    // several times as long to load as the window takes to show: it is
    // loaded from its own library once the window is on screen.
    WebPartsHost web(
        [programDir](NavigateErrorHandler onError, QString *error) {
            return loadWebLibrary(programDir, std::move(onError), error);
        },
        &messages);
    SystemProcessStarter processes;
    const std::unique_ptr<DesktopShortcut> shortcut = makeSystemShortcut();
    Form1 form(settings, Services{.player = web.player(),
                                  .browser = web.browser(),
                                  .messages = &messages,
                                  .sound = &sound,
                                  .processes = &processes,
                                  .shortcut = shortcut.get()});
    messages.setParent(&form);
    try {
        form.Form_Load();
    } catch (const AppError &error) {
        // Without its key file or first list the program cannot work: say
        // which file is missing and end before the window shows.
        messages.setParent(nullptr);
        static_cast<MessageBoxes &>(messages).show(error.report());
        return 1;
    }
    // Centred at its design size when restored; maximised at start.
    const QRect screen = form.screen()->availableGeometry();
    form.move(screen.center() - form.rect().center());
    afterFirstPaint(&form, [&sound] { sound.release(); });
    form.showMaximizedOnScreen();
    makeSharedOpenGLContext();
    return app.exec();
}
