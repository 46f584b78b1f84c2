#pragma once

#include "appfolder.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "fakeclock.h"
#include "fakes.h"
#include "gui/parental/parentcorner.h"
#include "gui/window/categorybar.h"
#include "gui/window/folderbox.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmelistview.h"
#include "gui/window/programmepanel.h"
#include "gui/window/updateschedule.h"
#include "panelinside.h"
#include "windowinside.h"

#include <memory>

// A main window on a throw-away application folder, with recording doubles
// for the player, the browser, message boxes and sound.
struct WindowHarness
{
    AppFolder app;
    FakePlayer player;
    FakeBrowser browser;
    RecordingMessages messages;
    FakeSound sound;
    RecordingStarter processes;
    RecordingShortcut shortcut;
    // The system's temporary folder as the window is told it; empty, since
    // the throw-away application folder itself lies in the real one.
    QString tempDir;
    // The parent's corner: off unless a test gives it a settings file.
    FakeClock clock;
    QString parentSettingsFile;
    QString playTimeFile;
    std::unique_ptr<MainWindow> form;

    // Builds the window; port 9 on loopback refuses at once, so downloads
    // fail fast unless a test passes its own server.
    MainWindow &make(const QString &downloadServer = QStringLiteral("http://127.0.0.1:9/"),
                     const QString &infoSite = QStringLiteral("http://info.invalid/"),
                     int rangeWaitMs = 1000)
    {
        AppSettings settings{app.path(), downloadServer, infoSite, rangeWaitMs};
        settings.tempDir = tempDir;
        settings.parentSettingsFile = parentSettingsFile;
        settings.playTimeFile = playTimeFile;
        form = std::make_unique<MainWindow>(settings, Services{&player, &browser, &messages, &sound,
                                                               &processes, &shortcut, &clock});
        return *form;
    }
    // Builds the window and starts it up.
    MainWindow &load(const QString &downloadServer = QStringLiteral("http://127.0.0.1:9/"),
                     const QString &infoSite = QStringLiteral("http://info.invalid/"),
                     int rangeWaitMs = 1000)
    {
        if (const Result<> loaded = make(downloadServer, infoSite, rangeWaitMs).load(); !loaded)
            qFatal("the window did not start: %s", qPrintable(loaded.error().report()));
        return *form;
    }

    ProgrammePanel *panel() const { return WindowInside::panel(*form); }
    ProgrammeListView *list() const { return PanelInside::listView(*panel()); }
    ProgrammeListModel *model() const { return PanelInside::programmes(*panel()); }
    // The texts the rows show.
    QStringList rows() const
    {
        QStringList r;
        for (int i = 0; i < model()->count(); ++i)
            r.append(model()->rowText(i));
        return r;
    }
    QString row(int i) const { return model()->rowText(i); }
    FolderBox *combo() const { return form->findChild<FolderBox *>(QStringLiteral("Combo1")); }
    // Chooses the child's folder in the folder box.
    void chooseFolder(const QString &folder) const
    {
        combo()->setCurrentIndex(combo()->findText(folder));
        Q_EMIT combo()->activated(combo()->currentIndex());
    }
    // One tick of the window's timer, which both of these listen to.
    void tick() const
    {
        WindowInside::playerBar(*form)->onTick();
        WindowInside::updateSchedule(*form)->onTick();
        WindowInside::parentCorner(*form)->onTick();
    }
    int queued() const { return PanelInside::downloads(*panel())->count(); }
    // The user chooses the row, as a click on it does.
    void choose(int row) const { panel()->chooseRow(row); }
    // Queues the row's programme for download, as choosing it would.
    void queue(int row) const { PanelInside::downloads(*panel())->request(model()->item(row)); }
};
