// The player's buttons, the position bar, full screen, mute and the progress
// timer on the real window with a player whose frames the test sets.
#include "core/update/updatecheck.h"
#include "gui/window/imagebutton.h"
#include "gui/window/mainwindow.h"
#include "support/faultserver.h"
#include "support/windowharness.h"
#include "support/windowinside.h"

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Harness : WindowHarness
{
    explicit Harness(const QStringList &names = {u"一"_s, u"二"_s, u"三"_s})
    {
        app.writeList(u"cons/b01.inb"_s, names);
        for (const QString &name : names)
            app.cache(name);
    }
    QRadioButton *option(int n) const
    {
        return form->findChild<QRadioButton *>(u"Option%1"_s.arg(n));
    }
    QScrollBar *bar() const { return form->findChild<QScrollBar *>(u"HScroll1"_s); }
    // Plays the row's programme and puts the player at a frame.
    void playAt(int row, int frame, int total = 100)
    {
        player.frames = total;
        choose(row);
        player.frame = frame;
        player.calls.clear();
    }
};

} // namespace

class TestPlayerControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void barFollowsAndPlayAllMovesOn();
    void pauseClearsTheModeAndStays();
    void emptyPlayerTicksOnlyCount();
    void onlyAThumbDragSeeks();
    void fullScreenAndBack();
    void muteTwice();
    void playAllWaitsForTheDownloadItStarted();
};

void TestPlayerControls::barFollowsAndPlayAllMovesOn()
{
    Harness h;
    h.load();
    h.playAt(2, 95);
    h.option(1)->setChecked(true);
    h.tick();
    QCOMPARE(h.bar()->value(), 95);
    // From the last row to the first, which plays from its start.
    QCOMPARE(h.list()->currentRow(), 0);
    QCOMPARE(h.player.movie(), h.app.flashDir() + u"一.swf"_s);
    QCOMPARE(h.player.calls.mid(0, 3),
             (QStringList{u"Movie http://"_s, u"Movie "_s + h.player.movie(), u"Play"_s}));
    // A frame count beyond the bar's range is shown at its end.
    h.playAt(1, 40000, 50000);
    h.option(1)->setChecked(false);
    h.tick();
    QCOMPARE(h.bar()->maximum(), 32767);
    QCOMPARE(h.bar()->value(), 32767);
}

void TestPlayerControls::pauseClearsTheModeAndStays()
{
    Harness h;
    MainWindow &form = h.load();
    h.playAt(0, 10);
    h.option(2)->setChecked(true);
    WindowInside::playerBar(form)->onPauseClicked();
    QVERIFY(!h.option(1)->isChecked() && !h.option(2)->isChecked());
    QCOMPARE(h.player.calls, QStringList{u"StopPlay"_s});
    for (int i = 0; i < 3; ++i)
        h.tick();
    QVERIFY(!h.player.isPlaying());
    // Play resumes without bringing the mode back.
    WindowInside::playerBar(form)->onPlayClicked();
    QVERIFY(h.player.isPlaying());
    QVERIFY(!h.option(2)->isChecked());
}

void TestPlayerControls::emptyPlayerTicksOnlyCount()
{
    Harness h;
    MainWindow &form = h.load();
    h.option(1)->setChecked(true);
    h.bar()->setMaximum(50);
    h.bar()->setValue(7);
    for (int i = 1; i < 600; ++i)
        h.tick();
    QCOMPARE(h.bar()->value(), 7);
    QCOMPARE(h.list()->currentRow(), -1);
    QVERIFY(!form.findChild<UpdateCheck *>());
    h.tick();
    QCOMPARE(ScheduleInside::ticks(*WindowInside::updateSchedule(form)), 600);
    QVERIFY(form.findChild<UpdateCheck *>());
    // The server cannot be reached: the check ends quietly, once.
    QTRY_VERIFY_WITH_TIMEOUT(!form.findChild<UpdateCheck *>(), 10000);
    for (int i = 0; i < 700; ++i) {
        h.tick();
        QVERIFY(!form.findChild<UpdateCheck *>());
    }
    QVERIFY(h.messages.shown.isEmpty());
}

void TestPlayerControls::onlyAThumbDragSeeks()
{
    Harness h;
    h.load();
    h.playAt(0, 10);
    h.bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    h.bar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QVERIFY(h.player.calls.isEmpty());
    h.tick();
    QCOMPARE(h.bar()->value(), 10); // the tick puts it back
    h.bar()->setSliderDown(true);
    h.bar()->setSliderPosition(60);
    h.bar()->setSliderDown(false);
    QCOMPARE(h.player.calls, (QStringList{u"GotoFrame 60"_s, u"Play"_s}));
}

void TestPlayerControls::fullScreenAndBack()
{
    Harness h;
    MainWindow &form = h.load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QRect> before;
    const QList<QWidget *> controls = form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *w : controls)
        before.append(w->geometry());
    const QSize windowed = form.size();
    h.option(2)->setChecked(true);

    form.enterFullScreen();
    QVERIFY(WindowInside::isFullScreen(form));
    QTRY_VERIFY(form.isFullScreen());
    QCOMPARE(h.player.widget()->geometry(), form.rect());
    // Nothing but the return button shows above the player.
    for (const char *covered : {"Image15", "Image20", "Label2", "Image1"}) {
        const QWidget *w = form.findChild<QWidget *>(QLatin1String(covered));
        QCOMPARE(form.childAt(w->geometry().center()), h.player.widget());
    }
    auto *back = form.findChild<QPushButton *>(u"Command6"_s);
    QVERIFY(back->isVisible());
    QCOMPARE(QApplication::focusWidget(), back);
    QVERIFY(!h.list()->isVisible() && !h.option(2)->isVisible());
    QVERIFY(h.option(2)->isChecked());

    QTest::keyClick(back, Qt::Key_Return);
    QVERIFY(!WindowInside::isFullScreen(form));
    QVERIFY(!back->isVisible());
    QVERIFY(h.list()->isVisible() && h.option(2)->isVisible() && h.option(2)->isChecked());
    // Back at the windowed size, every control is where it was.
    form.showNormal();
    form.resize(windowed);
    QTRY_COMPARE(form.size(), windowed);
    for (int i = 0; i < controls.size(); ++i)
        QCOMPARE(controls[i]->geometry(), before[i]);
}

void TestPlayerControls::muteTwice()
{
    Harness h;
    MainWindow &form = h.load();
    auto *mute = form.findChild<ImageButton *>(u"Image20"_s);
    WindowInside::playerBar(form)->onMuteClicked();
    QVERIFY(PlayerBarInside::isMuted(*WindowInside::playerBar(form)) && h.player.muted &&
            h.sound.muted);
    QCOMPARE(ImageButtonInside::pictureName(*mute), u"jingyin2"_s);
    WindowInside::playerBar(form)->onMuteClicked();
    QVERIFY(!PlayerBarInside::isMuted(*WindowInside::playerBar(form)) && !h.player.muted &&
            !h.sound.muted);
    QCOMPARE(ImageButtonInside::pictureName(*mute), u"jingyin1"_s);
}

void TestPlayerControls::playAllWaitsForTheDownloadItStarted()
{
    // Rows 1 and 2 are not cached; the server holds row 1's answer back
    // until the range times out. While it is fetched, the end of row 0 must
    // not push the choice on to row 2 and further.
    Harness h({u"一"_s});
    h.app.writeList(u"cons/b01.inb"_s, {u"一"_s, u"慢"_s, u"后"_s});
    FaultServer server;
    QVERIFY(server.listen());
    h.load(server.baseUrl(), u"http://127.0.0.1:9/"_s, 800);
    server.setFile("/h4icd2/flash/" + QUrl::toPercentEncoding(u"慢"_s) + ".swf", "FWS");
    server.setFault("/h4icd2/flash/" + QUrl::toPercentEncoding(u"慢"_s) + ".swf",
                    FaultServer::Fault::StallAfterHeaders);
    h.playAt(0, 95);
    h.option(1)->setChecked(true);
    h.tick();
    QCOMPARE(h.list()->currentRow(), 1);
    QCOMPARE(h.queued(), 1);
    for (int i = 0; i < 5; ++i)
        h.tick();
    QCOMPARE(h.list()->currentRow(), 1);
    QCOMPARE(h.queued(), 1);
    // Once that download has ended (here: timed out), play-all goes on.
    QTRY_COMPARE_WITH_TIMEOUT(h.queued(), 0, 10000);
    h.tick();
    QCOMPARE(h.list()->currentRow(), 2);
}

QTEST_MAIN(TestPlayerControls)
#include "test_playercontrols.moc"
