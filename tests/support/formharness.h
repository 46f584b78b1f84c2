#pragma once

#include "app/form1.h"
#include "appfolder.h"
#include "fakes.h"

#include <QListWidget>
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
    std::unique_ptr<Form1> form;

    // Builds the window; port 9 on loopback refuses at once, so downloads
    // fail fast unless a test passes its own server.
    Form1 &make(const QString &downloadServer = QStringLiteral("http://127.0.0.1:9/"),
                const QString &infoSite = QStringLiteral("http://info.invalid/"),
                int rangeWaitMs = 1000)
    {
        form =
            std::make_unique<Form1>(AppSettings{app.path(), downloadServer, infoSite, rangeWaitMs},
                                    Services{&player, &browser, &messages, &sound});
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

    QListWidget *list(const QString &name = QStringLiteral("List1")) const
    {
        return form->findChild<QListWidget *>(name);
    }
    QStringList rows() const
    {
        QStringList r;
        for (int i = 0; i < list()->count(); ++i)
            r.append(list()->item(i)->text());
        return r;
    }
    // The user chooses the row, as a click on it does.
    void choose(int row) const { form->chooseRow(row); }
    // Puts an entry for the row into the download queue, as a running
    // download would.
    void queue(int row, const QString &text = QStringLiteral("* x")) const
    {
        auto *entry = new QListWidgetItem(text);
        entry->setData(Qt::UserRole, row);
        list(QStringLiteral("List2"))->addItem(entry);
    }
};
