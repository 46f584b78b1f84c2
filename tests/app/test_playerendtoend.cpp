// The player's controls with the real Flash player on a real display:
// play-all, repeat-one, a dragged thumb, full screen, and a game played in
// the locked full screen.
#include "core/catalogue/listfile.h"
#include "core/parental/parentsettings.h"
#include "gui/parental/parentalgate.h"
#include "gui/window/categorybar.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmelistview.h"
#include "gui/window/programmepanel.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/swfwriter.h"
#include "support/webtestmain.h"
#include "support/windowinside.h"
#include "web/engineenvironment.h"
#include "web/ruffleplayer.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Harness
{
    AppFolder app;
    RufflePlayer player{qEnvironmentVariable("QORVEL_APP_DIR")};
    FakeBrowser browser;
    RecordingMessages messages;
    FakeSound sound;
    std::unique_ptr<MainWindow> form;

    // Cached movies in category 1, one per entry.
    explicit Harness(const QList<std::pair<QString, TestMovieOptions>> &movies)
    {
        QStringList names;
        for (const auto &[name, options] : movies) {
            names.append(name);
            writeTestMovie(app.flashDir() + name + u".swf"_s, options);
        }
        app.writeList(u"cons/b01.inb"_s, names);
    }
    void load(const QString &parentSettingsFile = {})
    {
        AppSettings settings{app.path(), u"http://127.0.0.1:9/"_s, u"http://127.0.0.1:9/"_s};
        settings.timerIntervalMs = 200;
        settings.parentSettingsFile = parentSettingsFile;
        form =
            std::make_unique<MainWindow>(settings, Services{&player, &browser, &messages, &sound});
        QVERIFY(form->load());
        form->showMaximizedOnScreen();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void click(QWidget *w, QPoint at = {})
    {
        QTest::mouseClick(w, Qt::LeftButton, {}, at.isNull() ? w->rect().center() : at);
    }
    void clickRow(int row)
    {
        auto *l = form->findChild<ProgrammeListView *>(u"List1"_s);
        click(l->viewport(), l->visualRect(l->model()->index(row, 0)).center());
    }
    QRadioButton *option(int n) const
    {
        return form->findChild<QRadioButton *>(u"Option%1"_s.arg(n));
    }
    QScrollBar *bar() const { return form->findChild<QScrollBar *>(u"HScroll1"_s); }
    QStringList history() const
    {
        return ListFile(app.file(u"cons/lishi.inb"_s)).read().valueOr({});
    }
};

TestMovieOptions movie(int frames, int stopAt = 0, double rate = 24)
{
    TestMovieOptions o;
    o.frameCount = frames;
    o.stopFrame = stopAt;
    o.frameRate = rate;
    return o;
}

} // namespace

class TestPlayerEndToEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void playAllGoesThroughTheList();
    void repeatOneRestartsAStoppedMovie();
    void draggedThumbSeeksAndFullScreenComesBack();
    void aGameGetsItsKeysInTheLockedFullScreen();
};

void TestPlayerEndToEnd::playAllGoesThroughTheList()
{
    // Each stops on its last frame, so the end is there to be seen.
    Harness h({{u"一"_s, movie(30, 30)}, {u"二"_s, movie(30, 30)}, {u"三"_s, movie(30, 30)}});
    h.load();
    h.click(h.option(1));
    QVERIFY(h.option(1)->isChecked());
    h.clickRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(h.history().size() >= 3, 30000);
    QCOMPARE(h.history().mid(h.history().size() - 3), (QStringList{u"三"_s, u"二"_s, u"一"_s}));
    QVERIFY(h.messages.shown.isEmpty());
}

void TestPlayerEndToEnd::repeatOneRestartsAStoppedMovie()
{
    Harness h({{u"停"_s, movie(120, 30)}});
    h.load();
    h.clickRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() == 30 && !h.player.isPlaying(), 30000);
    h.click(h.option(2));
    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() > 32, 30000);
    QVERIFY(h.player.isPlaying());
}

void TestPlayerEndToEnd::draggedThumbSeeksAndFullScreenComesBack()
{
    Harness h({{u"长"_s, movie(600)}});
    h.load();
    QList<QRect> before;
    const QList<QWidget *> controls = h.form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    h.clickRow(0);
    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() > 5, 30000);
    QCOMPARE(h.bar()->maximum(), 600);

    // Drag the thumb with the mouse to about two thirds of the bar.
    QScrollBar *bar = h.bar();
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.orientation = Qt::Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = 1;
    opt.pageStep = 1;
    const QRect thumb =
        bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, bar);
    const QPoint target(bar->width() * 2 / 3, thumb.center().y());
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, (thumb.center() + target) / 2);
    QTest::mouseMove(bar, target);
    const int dragged = bar->sliderPosition();
    QTest::mouseRelease(bar, Qt::LeftButton, {}, target);
    QVERIFY2(dragged > 300, qPrintable(QString::number(dragged)));
    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() >= dragged, 30000);
    QVERIFY2(h.player.frameNum() < dragged + 48, qPrintable(QString::number(h.player.frameNum())));

    for (QWidget *w : controls)
        before.append(w->geometry());
    h.form->enterFullScreen();
    QTRY_COMPARE_WITH_TIMEOUT(h.player.widget()->size(), h.form->screen()->size(), 30000);
    auto *back = h.form->findChild<QPushButton *>(u"Command6"_s);
    // The return button stands above the player where a child can click it.
    QCOMPARE(h.form->childAt(back->geometry().center()), back);
    h.click(back);
    QTRY_VERIFY_WITH_TIMEOUT(!h.form->isFullScreen(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(h.form->frameGeometry(), h.form->screen()->availableGeometry(),
                              30000);
    for (int i = 0; i < controls.size(); ++i)
        QCOMPARE(controls[i]->geometry(), before[i]);
}

void TestPlayerEndToEnd::aGameGetsItsKeysInTheLockedFullScreen()
{
    // A game that holds at frame 2 until Space is held: on frame 3,
    // if (!Key.isDown(32)) gotoAndPlay(2).
    TestMovieOptions game = movie(60);
    game.actions = {{3, QByteArray::fromHex("960a0007200000000701000000"
                                            "9605"
                                            "00004b657900" // "Key"
                                            "1c"
                                            "960800006973446f776e00" // "isDown"
                                            "52"
                                            "9d02000600"
                                            "810200010006"
                                            "00")}};
    Harness h({{u"游戏"_s, game}});
    QTemporaryDir config;
    const QString settings = config.filePath(u"settings.ini"_s);
    ParentSettings locked;
    locked.fullScreenLock = true;
    QVERIFY(locked.save(settings).ok());
    h.load(settings);
    h.clickRow(0);
    h.form->enterFullScreen();
    QTRY_COMPARE_WITH_TIMEOUT(h.player.widget()->size(), h.form->screen()->size(), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(h.player.frameNum(), 2, 30000);
    // The child clicks into the game once it shows, as a game asks. The web
    // view takes its input through the part that holds its focus.
    QWidget *view = h.player.widget();
    h.click(view->focusProxy() ? view->focusProxy() : view);

    // Esc asks for the gate and does not reach the game; Space reaches it,
    // even sent to the window while the return button holds the focus.
    QTest::keyClick(h.form.get(), Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(h.form->findChild<ParentalGate *>(), 30000);
    QVERIFY(WindowInside::isFullScreen(*h.form));
    h.form->findChild<ParentalGate *>()->reject();
    QTest::qWait(500); // a check that nothing happens: the game still holds
    QCOMPARE(h.player.frameNum(), 2);
    h.form->findChild<QPushButton *>(u"Command6"_s)->setFocus();
    QTest::keyPress(h.form.get(), Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() > 3, 30000);
    QTest::keyRelease(h.form.get(), Qt::Key_Space);
    QVERIFY(WindowInside::isFullScreen(*h.form));
}

QORVEL_WEB_TEST_MAIN(TestPlayerEndToEnd, EngineEnvironment::prepare())
#include "test_playerendtoend.moc"
