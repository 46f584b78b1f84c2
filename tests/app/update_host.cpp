// A window that looks for an update as the program does, on a shortened
// tick, and starts the updater the system's way. Echoes each line it reads,
// so that a test can see that it still answers; to "state" it answers with
// the ticks counted so far and the number of update checks under way.
//
//   update_host <application folder> <download server> <tick in ms> own|installed
#include "core/update/updatecheck.h"
#include "gui/platform/systemprocessstarter.h"
#include "gui/window/categorybar.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmepanel.h"
#include "gui/window/updateschedule.h"
#include "support/fakes.h"
#include "support/windowinside.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 5)
        return 2;
    FakePlayer player;
    FakeBrowser browser;
    RecordingMessages messages;
    FakeSound sound;
    SystemProcessStarter processes;
    AppSettings settings{QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                         QStringLiteral("http://127.0.0.1:9/"), 5000};
    settings.timerIntervalMs = QByteArray(argv[3]).toInt();
    settings.installedMode = QByteArray(argv[4]) == "installed";
    MainWindow form(settings, Services{&player, &browser, &messages, &sound, &processes});
    if (!form.load())
        return 1;

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    const UpdateSchedule *schedule = form.findChild<UpdateSchedule *>();
    if (!schedule)
        return 3;
    QObject::connect(&input, &QSocketNotifier::activated, &form, [&input, schedule] {
        char line[256];
        if (!std::fgets(line, sizeof line, stdin))
            return input.setEnabled(false);
        if (QByteArray(line) == "state\n")
            std::printf("%d %lld\n", ScheduleInside::ticks(*schedule),
                        static_cast<long long>(schedule->findChildren<UpdateCheck *>().size()));
        else
            std::fputs(line, stdout);
        std::fflush(stdout);
    });
    return app.exec();
}
