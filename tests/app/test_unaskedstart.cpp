// After a message box about a failed choice, a category switch must start
// nothing: the real window under a real display, real message boxes closed
// with a click on OK, and real mouse clicks on the list and the buttons.
#include "core/catalogue/listfile.h"
#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "gui/window/categorybar.h"
#include "gui/window/imagebutton.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmelistview.h"
#include "gui/window/programmepanel.h"
#include "gui/window/qtmessageboxes.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/faultserver.h"
#include "support/panelinside.h"
#include "support/windowinside.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Harness
{
    AppFolder app;
    FaultServer server;
    FakePlayer player;
    FakeBrowser browser;
    QtMessageBoxes messages;
    FakeSound sound;
    std::unique_ptr<MainWindow> form;
    QTimer closer;
    QStringList boxTexts;

    Harness()
    {
        // Category 1 offers a programme the server does not have and one
        // whose name cannot be a file name; categories 2 to 4 hold one, two
        // and three programmes, all cached so that an unasked start would
        // play one and write the history.
        app.writeList(u"cons/b01.inb"_s, {u"没有的节目"_s, u"坏/名字"_s});
        const QStringList names = {u"一"_s, u"二"_s, u"三"_s};
        for (int n = 2; n <= 4; ++n) {
            app.writeList(u"cons/b%1.inb"_s.arg(n, 2, 10, QLatin1Char('0')), names.mid(0, n - 1));
        }
        for (const QString &name : names)
            app.cache(name);
        app.writeList(u"cons/lishi.inb"_s, {u"以前"_s});
        QVERIFY(server.listen());

        // Every message box is closed the way a child closes it: a click on OK.
        closer.setInterval(50);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            boxTexts.append(box->text());
            QAbstractButton *ok = box->button(QMessageBox::Ok);
            QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
        });
        closer.start();
    }
    void load()
    {
        form = std::make_unique<MainWindow>(
            AppSettings{app.path(), server.baseUrl(), u"http://127.0.0.1:9/"_s, 2000},
            Services{&player, &browser, &messages, &sound});
        messages.setParent(form.get());
        QVERIFY(form->load());
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    ProgrammeListView *list() const { return form->findChild<ProgrammeListView *>(u"List1"_s); }
    void clickRow(int row) const
    {
        ProgrammeListView *l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualRect(l->model()->index(row, 0)).center());
    }
    void clickCategory(int n) const
    {
        auto *button = form->findChild<ImageButton *>(u"Image%1"_s.arg(n));
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    }
    int programmeRequests() const
    {
        int count = 0;
        for (const FaultServer::Request &r : server.requests())
            count += r.path.contains("/flash/") ? 1 : 0;
        return count;
    }
    QByteArray history() const { return app.readBytes(u"cons/lishi.inb"_s); }
};

} // namespace

class TestUnaskedStart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void switchAfterAMessageStartsNothing();
    void rightClickMenuAddsAFavourite();
};

void TestUnaskedStart::switchAfterAMessageStartsNothing()
{
    Harness h;
    h.load();
    const QByteArray history = h.history();
    for (int round = 0; round < 20; ++round) {
        // Alternate the failed download and the refused name, and the
        // lists of one, two and three rows switched to afterwards.
        const bool download = round % 2 == 0;
        const int target = 2 + round % 3;
        if (!(PanelInside::source(*WindowInside::panel(*h.form)) == ListSource::ofCategory(1)))
            h.clickCategory(1);
        QVERIFY(PanelInside::source(*WindowInside::panel(*h.form)) == ListSource::ofCategory(1));

        const int boxes = h.boxTexts.size();
        const int requests = h.programmeRequests();
        h.clickRow(download ? 0 : 1);
        QTRY_COMPARE_WITH_TIMEOUT(h.boxTexts.size(), boxes + 1, 30000);
        QVERIFY2(h.boxTexts.last().contains(download ? u"文件无法找到"_s : u"坏/名字"_s),
                 qPrintable(h.boxTexts.last()));
        QTRY_COMPARE_WITH_TIMEOUT(PanelInside::downloads(*WindowInside::panel(*h.form))->count(), 0,
                                  30000);
        QCOMPARE(h.programmeRequests(), requests + (download ? 1 : 0));
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), 30000);

        h.clickCategory(target);
        // On a real display the click also gives the window back its
        // activation, which the closed box took: the list regains the focus
        // with a new set of rows and nothing current.
        h.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
        QCOMPARE(PanelInside::programmes(*WindowInside::panel(*h.form))->count(), target - 1);
        QVERIFY2(!h.list()->selectionModel()->hasSelection(), qPrintable(u"round %1"_s.arg(round)));
        QCOMPARE(h.programmeRequests(), requests + (download ? 1 : 0));
        QCOMPARE(PanelInside::downloads(*WindowInside::panel(*h.form))->count(), 0);
        QCOMPARE(h.player.movie(), FlashPlayer::EmptyMovie);
        QCOMPARE(h.history(), history);
        QCOMPARE(h.boxTexts.size(), boxes + 1);
    }
}

void TestUnaskedStart::rightClickMenuAddsAFavourite()
{
    Harness h;
    h.load();
    h.clickCategory(3);
    ProgrammeListView *l = h.list();
    QTest::mouseClick(l->viewport(), Qt::RightButton, {},
                      l->visualRect(l->model()->index(1, 0)).center());
    // The right press chose the row as a click does; the release opened the
    // category's menu.
    QCOMPARE(h.player.movie(), h.app.flashDir() + u"二.swf"_s);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QMenu *>(QApplication::activePopupWidget()), 30000);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QCOMPARE(menu->objectName(), u"file1"_s);
    QAction *add = menu->actions().at(2);
    QCOMPARE(add->text(), u"加入收藏"_s);
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(add).center());
    QTRY_COMPARE_WITH_TIMEOUT(h.boxTexts.size(), 1, 30000);
    QCOMPARE(h.boxTexts.last(), u"  二 成功加入到收藏"_s);
    QCOMPARE(ListFile(h.app.file(u"cons/shoucang.inb"_s)).read().valueOr({}), QStringList{u"二"_s});
}

QTEST_MAIN(TestUnaskedStart)
#include "test_unaskedstart.moc"
