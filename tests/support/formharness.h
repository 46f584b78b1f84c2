#pragma once

#include "appfolder.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "fakes.h"
#include "gui/window/form1.h"
#include "gui/window/programmelistview.h"

#include <memory>

// A main window on a throw-away application folder, with recording doubles
// for the player, the browser, message boxes and sound.
struct FormHarness
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
    std::unique_ptr<Form1> form;

    // Builds the window; port 9 on loopback refuses at once, so downloads
    // fail fast unless a test passes its own server.
    Form1 &make(const QString &downloadServer = QStringLiteral("http://127.0.0.1:9/"),
                const QString &infoSite = QStringLiteral("http://info.invalid/"),
                int rangeWaitMs = 1000)
    {
        AppSettings settings{app.path(), downloadServer, infoSite, rangeWaitMs};
        settings.tempDir = tempDir;
        form = std::make_unique<Form1>(
            settings, Services{&player, &browser, &messages, &sound, &processes, &shortcut});
        return *form;
    }
    // Builds the window and starts it up.
    Form1 &load(const QString &downloadServer = QStringLiteral("http://127.0.0.1:9/"),
                const QString &infoSite = QStringLiteral("http://info.invalid/"),
                int rangeWaitMs = 1000)
    {
        make(downloadServer, infoSite, rangeWaitMs).Form_Load();
        return *form;
    }

    ProgrammeListView *list() const
    {
        return form->findChild<ProgrammeListView *>(QStringLiteral("List1"));
    }
    ProgrammeListModel *model() const { return form->programmes(); }
    // The texts the rows show.
    QStringList rows() const
    {
        QStringList r;
        for (int i = 0; i < model()->count(); ++i)
            r.append(model()->rowText(i));
        return r;
    }
    QString row(int i) const { return model()->rowText(i); }
    int queued() const { return form->downloads()->count(); }
    // The user chooses the row, as a click on it does.
    void choose(int row) const { form->chooseRow(row); }
    // Queues the row's programme for download, as choosing it would.
    void queue(int row) const { form->downloads()->request(row); }
};
