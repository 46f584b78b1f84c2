// A window that starts downloading the first programme of its list and runs
// until it is killed. Used to check what an interrupted download leaves.
//
//   download_victim <application folder> <download server>
#include "gui/window/categorybar.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmepanel.h"
#include "support/fakes.h"
#include "support/windowinside.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    FakePlayer player;
    FakeBrowser browser;
    RecordingMessages messages;
    FakeSound sound;
    MainWindow form(AppSettings{QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                QStringLiteral("http://127.0.0.1:9/"), 60000},
                    Services{&player, &browser, &messages, &sound});
    if (!form.load())
        return 1;
    WindowInside::panel(form)->chooseRow(0);
    return app.exec();
}
