#include "gui/parental/parentalgate.h"
#include "gui/parental/parentsettingsdialog.h"
#include "gui/parental/restpage.h"
#include "support/parentalinside.h"
#include "support/windowharness.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Records the keys a widget is sent.
class KeyRecorder : public QObject
{
public:
    QList<int> keys;
    bool eventFilter(QObject *, QEvent *event) override
    {
        // The modifiers pressed on the way are not what is looked for.
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent *>(event)->key() != Qt::Key_Alt)
            keys.append(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
};

class TestParentCorner : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void restPagesAndGate();
    void fullScreenLock_data();
    void fullScreenLock();

private:
    void makeWindow(const ParentSettings &settings);
    // Plays on for `minutes` in ticks of 30 s.
    void play(int minutes);
    QWidget *page(const char *name) const
    {
        return w->form->findChild<QWidget *>(QString::fromLatin1(name));
    }
    ParentalGate *gate() const
    {
        for (ParentalGate *g : w->form->findChildren<ParentalGate *>()) {
            if (g->isVisible())
                return g;
        }
        return nullptr;
    }
    void answerGate(bool right);

    std::unique_ptr<WindowHarness> w;
    std::unique_ptr<QTemporaryDir> config;
};

void TestParentCorner::init()
{
    w = std::make_unique<WindowHarness>();
    config = std::make_unique<QTemporaryDir>();
    w->parentSettingsFile = config->filePath(QStringLiteral("settings.ini"));
    w->playTimeFile = config->filePath(QStringLiteral("playtime.txt"));
}

void TestParentCorner::makeWindow(const ParentSettings &settings)
{
    QVERIFY(settings.save(w->parentSettingsFile).ok());
    w->load();
    w->form->show();
    WindowInside::playerBar(*w->form)->playFromStart(QStringLiteral("/tmp/a.swf"));
}

void TestParentCorner::play(int minutes)
{
    for (int tick = 0; tick < 2 * minutes; ++tick) {
        w->clock.ms += 30 * 1000;
        w->tick();
    }
}

void TestParentCorner::answerGate(bool right)
{
    // Typed through the window system, as a parent types: a keyboard still
    // held by a locked full screen would swallow it.
    ParentalGate *g = gate();
    QVERIFY(g);
    QApplication::setActiveWindow(g);
    const int product = GateInside::question(*g).left * GateInside::question(*g).right;
    for (QChar c : right ? QString::number(product) : QStringLiteral("x"))
        QTest::keyClick(g->windowHandle(), c.toLatin1());
    QTest::keyClick(g->windowHandle(), Qt::Key_Return);
}

void TestParentCorner::restPagesAndGate()
{
    makeWindow({{30, 15}, false});
    w->tick();
    play(15);
    // Eye rest: paused, counting down over the whole window, then on.
    QVERIFY(page("eyeRestPage")->isVisible());
    QCOMPARE(page("eyeRestPage")->geometry(), w->form->rect());
    QVERIFY(!w->player.running);
    QCOMPARE(page("eyeRestPage")->findChild<QLabel *>(QStringLiteral("restCountdown"))->text(),
             QStringLiteral("60"));
    w->clock.ms += 25 * 1000;
    w->tick();
    QCOMPARE(page("eyeRestPage")->findChild<QLabel *>(QStringLiteral("restCountdown"))->text(),
             QStringLiteral("35"));
    w->clock.ms += 35 * 1000;
    w->tick();
    QVERIFY(!page("eyeRestPage")->isVisible());
    QVERIFY(w->player.running);
    w->tick();

    play(10);
    QVERIFY(page("playTimeNotice")->isVisible());
    QCOMPARE(w->form->findChild<QLabel *>(QStringLiteral("playTimeNotice"))->text(),
             QStringLiteral("还可以玩5分钟"));
    QVERIFY(w->player.running);
    play(5);
    // The day is over: the player area is covered and nothing starts.
    QVERIFY(page("timeUpPage")->isVisible());
    QCOMPARE(page("timeUpPage")->geometry(), w->player.widget()->geometry());
    QVERIFY(!w->player.running);
    WindowInside::playerBar(*w->form)->playFromStart(QStringLiteral("/tmp/b.swf"));
    WindowInside::playerBar(*w->form)->onPlayClicked();
    QCOMPARE(w->player.loaded, QStringLiteral("/tmp/a.swf"));
    QVERIFY(!w->player.running);

    // Three wrong answers close the gate; the right one opens the settings,
    // where a parent adds a quarter of an hour.
    WindowInside::parentCorner(*w->form)->openSettings(w->form.get());
    for (int i = 0; i < ParentalGate::Tries; ++i)
        answerGate(false);
    QVERIFY(!gate());
    QVERIFY(!w->form->findChild<ParentSettingsDialog *>());
    WindowInside::parentCorner(*w->form)->openSettings(w->form.get());
    answerGate(true);
    auto *settings = w->form->findChild<ParentSettingsDialog *>();
    QVERIFY(settings);
    for (QPushButton *b : settings->findChildren<QPushButton *>()) {
        if (b->text() == QStringLiteral("今天再玩15分钟"))
            b->click();
    }
    QVERIFY(!page("timeUpPage")->isVisible());
    WindowInside::playerBar(*w->form)->onPlayClicked();
    QVERIFY(w->player.running);
}

void TestParentCorner::fullScreenLock_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("gateOpens");
    QTest::addColumn<bool>("movieGetsKey");

    QTest::newRow("Esc") << true << int(Qt::Key_Escape) << 0 << true << false;
    QTest::newRow("Alt+Tab") << true << int(Qt::Key_Tab) << int(Qt::AltModifier) << true << false;
    QTest::newRow("Super") << true << int(Qt::Key_Super_L) << 0 << true << false;
    QTest::newRow("Alt+F4") << true << int(Qt::Key_F4) << int(Qt::AltModifier) << true << false;
    QTest::newRow("Space in a game") << true << int(Qt::Key_Space) << 0 << false << true;
    QTest::newRow("arrow in a game") << true << int(Qt::Key_Left) << 0 << false << true;
    QTest::newRow("unlocked Esc") << false << int(Qt::Key_Escape) << 0 << false << false;
}

void TestParentCorner::fullScreenLock()
{
    QFETCH(bool, locked);
    makeWindow({{}, locked});
    KeyRecorder movie;
    w->player.view.installEventFilter(&movie);
    w->form->enterFullScreen();
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, gateOpens);
    QFETCH(bool, movieGetsKey);
    QTest::keyClick(w->form.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(gate() != nullptr, gateOpens);
    QCOMPARE(!movie.keys.isEmpty(), movieGetsKey);
    QVERIFY(WindowInside::isFullScreen(*w->form));
    if (!gateOpens)
        return;
    // The gate passed, the return button leaves the full screen at once.
    answerGate(true);
    QVERIFY(!WindowInside::isFullScreen(*w->form));
    w->form->enterFullScreen();
    w->form->findChild<QPushButton *>(QStringLiteral("Command6"))->click();
    QVERIFY(gate());
}

QTEST_MAIN(TestParentCorner)
#include "test_parentcorner.moc"
