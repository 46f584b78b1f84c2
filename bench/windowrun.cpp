#include "windowrun.h"

#include "gui/window/mainwindow.h"
#include "loopprobe.h"
#include "support/windowharness.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

namespace {

constexpr int GiveUpMs = 120000;

struct Window : WindowHarness
{
    ProgrammeListView *list = nullptr;

    Window(const QString &serverBase, const QString &name)
    {
        app.writeList(QStringLiteral("cons/b01.inb"), {name});
        load(serverBase, QStringLiteral("http://127.0.0.1:9/"), 24000);
        form->show();
        list = WindowHarness::list();
    }
};

// Whatever went wrong, or an empty text.
QString check(const Window &w, const QString &name, const QByteArray &expected, bool done)
{
    if (!done)
        return QStringLiteral("the row never read its name");
    if (!w.messages.shown.isEmpty())
        return QStringLiteral("message: ") + w.messages.shown.front().text;
    if (w.app.readBytes(QStringLiteral("res/fla/") + name + QStringLiteral(".swf")) != expected)
        return QStringLiteral("the cached file differs from the server's");
    if (w.player.movie() != w.app.flashDir() + name + QStringLiteral(".swf"))
        return QStringLiteral("the programme was not played");
    return {};
}

} // namespace

WindowRun clickAndDownload(const QString &serverBase, const QString &name,
                           const QByteArray &expected, bool probe)
{
    WindowRun run;
    Window w(serverBase, name);
    if (!QTest::qWaitForWindowExposed(w.form.get()) || !w.list || w.model()->count() != 1) {
        run.error = QStringLiteral("the window did not come up with one row");
        return run;
    }
    if (PanelInside::serverKey(*w.panel()) != u"h4icd2") {
        run.error = QStringLiteral("unexpected key ") + PanelInside::serverKey(*w.panel());
        return run;
    }
    const QRect row = w.list->visualRect(w.model()->index(0));
    if (row.isEmpty()) {
        run.error = QStringLiteral("the row is not visible");
        return run;
    }

    const QString arrived = QStringLiteral("  ") + name;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 doneNs = -1;
    qint64 lastChangeNs = 0;
    QObject::connect(w.list->model(), &QAbstractItemModel::dataChanged, &loop, [&] {
        if (doneNs >= 0)
            return;
        if (w.row(0) != arrived) {
            lastChangeNs = clock.nsecsElapsed();
            return;
        }
        doneNs = clock.nsecsElapsed();
        loop.quit();
    });
    QTimer::singleShot(GiveUpMs, &loop, &QEventLoop::quit);
    LoopProbe loopProbe;
    clock.start();
    if (probe)
        loopProbe.start();
    QTest::mouseClick(w.list->viewport(), Qt::LeftButton, {}, row.center());
    if (doneNs < 0)
        loop.exec();
    loopProbe.stop();

    run.ms = double(doneNs) / 1e6;
    run.lastRangeMs = double(lastChangeNs) / 1e6;
    run.longestBlockMs = loopProbe.longestGapMs();
    run.error = check(w, name, expected, doneNs >= 0);
    return run;
}
