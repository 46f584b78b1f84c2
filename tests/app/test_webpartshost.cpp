// The stand-ins for the player and the strip: what the window asks before
// the web parts are there reaches them once they are, the parts are loaded
// once (after the first paint, or sooner when a programme is chosen), and a
// library that cannot be loaded is said once. The last case loads the real
// library into a shown window, as the program does, and plays a movie in it.
#include "gui/webhost/webpartshost.h"
#include "support/fakes.h"
#include "support/swfwriter.h"
#include "support/webtestmain.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A window holding both stand-ins, as MainWindow places them, and the parts the
// fake loader handed out.
struct Bench
{
    explicit Bench(bool loads = true)
        : host(
              [this, loads]() -> Result<std::unique_ptr<WebParts>> {
                  ++loaderCalls;
                  if (!loads)
                      return AppError(AppError::Plain,
                                      u"libqorvel_web.so: cannot open shared object file"_s);
                  auto parts = std::make_unique<WebParts>();
                  player = new FakePlayer;
                  strip = new FakeBrowser;
                  parts->player.reset(player);
                  parts->strip.reset(strip);
                  return parts;
              },
              &messages)
    {
        window.resize(400, 300);
        host.player()->widget()->setParent(&window);
        host.player()->widget()->setGeometry(0, 0, 400, 200);
        host.browser()->widget()->setParent(&window);
        host.browser()->widget()->setGeometry(0, 200, 400, 100);
    }
    bool show()
    {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }

    RecordingMessages messages;
    int loaderCalls = 0;
    FakePlayer *player = nullptr;
    FakeBrowser *strip = nullptr;
    WebPartsHost host;
    QWidget window;
};

} // namespace

class TestWebPartsHost : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void callsBeforeLoadingReachTheParts();
    void choosingAProgrammeLoadsAtOnce();
    void failedLoadIsSaidOnceAndNothingBreaks();
    void realLibraryPlaysInAShownWindow();
};

void TestWebPartsHost::callsBeforeLoadingReachTheParts()
{
    Bench b;
    FlashPlayer *player = b.host.player();
    InfoStrip *browser = b.host.browser();
    QStringList errors;
    browser->setErrorHandler([&errors](const QString &url) { errors.append(url); });
    player->setMuted(true);
    player->setMovie(FlashPlayer::EmptyMovie);
    browser->setSilent(true);
    browser->navigate(u"http://info/show1.htm"_s);
    browser->navigate(u"http://info/show2.htm"_s);
    QCOMPARE(b.loaderCalls, 0); // nothing slow before the window is on screen
    QCOMPARE(player->frameNum(), 0);
    QVERIFY(!player->isPlaying());

    QVERIFY(b.show());
    QTRY_VERIFY_WITH_TIMEOUT(b.host.loaded(), 30000);
    QTest::qWait(50);           // no second load follows
    QCOMPARE(b.loaderCalls, 1); // two areas painted, one load
    QVERIFY(b.player->muted);
    QVERIFY(b.strip->silent);
    QCOMPARE(b.strip->visited, QStringList{u"http://info/show2.htm"_s});
    // The parts fill the areas the window gave their stand-ins.
    QCOMPARE(b.player->view.parentWidget(), player->widget());
    QCOMPARE(b.player->view.geometry(), QRect(0, 0, 400, 200));
    QCOMPARE(b.strip->view.geometry(), QRect(0, 0, 400, 100));

    // From now on every call is handed on, and a failed page is told.
    player->goToFrame(7);
    player->setMuted(false);
    browser->navigate(u"http://info/show3.htm"_s);
    b.strip->fail(u"http://info/show3.htm"_s);
    QCOMPARE(b.player->calls, (QStringList{u"Movie http://"_s, u"GotoFrame 7"_s}));
    QCOMPARE(player->frameNum(), 7);
    QVERIFY(!b.player->muted);
    QCOMPARE(b.strip->visited.last(), u"http://info/show3.htm"_s);
    QCOMPARE(errors, QStringList{u"http://info/show3.htm"_s});
    QVERIFY(b.messages.shown.isEmpty());
}

void TestWebPartsHost::choosingAProgrammeLoadsAtOnce()
{
    Bench b;
    b.host.player()->setMovie(u"/cache/小星星.swf"_s);
    QCOMPARE(b.loaderCalls, 1);
    QCOMPARE(b.player->loaded, u"/cache/小星星.swf"_s);
    QCOMPARE(b.host.player()->movie(), u"/cache/小星星.swf"_s);
    QCOMPARE(b.host.player()->totalFrames(), 100);
    QVERIFY(b.show());
    QTest::qWait(50); // no second load follows
    QCOMPARE(b.loaderCalls, 1);
}

void TestWebPartsHost::failedLoadIsSaidOnceAndNothingBreaks()
{
    Bench b(false);
    QVERIFY(b.show());
    QTRY_COMPARE_WITH_TIMEOUT(b.loaderCalls, 1, 30000);
    FlashPlayer *player = b.host.player();
    player->setMovie(u"/cache/小星星.swf"_s);
    player->play();
    player->goToFrame(3);
    b.host.browser()->navigate(u"http://info/show1.htm"_s);
    QCOMPARE(b.loaderCalls, 1);
    QVERIFY(!b.host.loaded());
    QCOMPARE(player->frameNum(), 0);
    QCOMPARE(player->totalFrames(), 0);
    QVERIFY(!player->isPlaying());
    QCOMPARE(b.messages.shown.size(), 1);
    QVERIFY(b.messages.shown.first().text.contains(u"libqorvel_web.so"_s));
    QCOMPARE(b.messages.shown.first().icon, MessageBoxes::Icon::Stop);
}

void TestWebPartsHost::realLibraryPlaysInAShownWindow()
{
    const QString appDir = qEnvironmentVariable("QORVEL_APP_DIR");
    QTemporaryDir dir;
    const QString movie = dir.filePath(u"movie.swf"_s);
    QVERIFY(writeTestMovie(movie, TestMovieOptions{}));

    RecordingMessages messages;
    WebPartsHost host([appDir] { return loadWebLibrary(appDir); }, &messages);
    QWidget window;
    window.resize(480, 420);
    host.player()->widget()->setParent(&window);
    host.player()->widget()->setGeometry(0, 0, 480, 360);
    host.browser()->widget()->setParent(&window);
    host.browser()->widget()->setGeometry(0, 360, 480, 60);
    QStringList errors;
    host.browser()->setErrorHandler([&errors](const QString &url) { errors.append(url); });
    host.browser()->navigate(dir.filePath(u"missing.htm"_s));
    window.show();
    makeSharedOpenGLContext();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QWindow *native = window.windowHandle();
    const WId nativeId = window.winId();
    QTRY_VERIFY_WITH_TIMEOUT(host.loaded(), 30000);
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.texts().join(u'\n')));

    // The page that cannot be found is told through the stand-in.
    QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, 30000);
    QCOMPARE(errors.first(), dir.filePath(u"missing.htm"_s));

    // The movie plays, and its pictures reach the window: the stage's
    // background colour, read off the stand-in's area.
    FlashPlayer *player = host.player();
    player->setMovie(movie);
    QCOMPARE(player->totalFrames(), 240);
    QTRY_VERIFY_WITH_TIMEOUT(player->frameNum() >= 3, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(QColor(player->widget()->grab().toImage().pixel(240, 120)).rgb() &
                                  0xffffff,
                              QRgb(0x2a4d8f), 30000);
    // The web views went into the window the user saw first, not a new one.
    QCOMPARE(window.windowHandle(), native);
    QCOMPARE(window.winId(), nativeId);
}

QORVEL_WEB_TEST_MAIN(TestWebPartsHost)
#include "test_webpartshost.moc"
