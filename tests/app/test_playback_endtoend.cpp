// The whole road of a programme with the real Flash player: clicked in the
// list, played from the cache or fetched first, and recorded in the history.
#include "core/catalogue/listfile.h"
#include "gui/window/categorybar.h"
#include "gui/window/mainwindow.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmepanel.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/faultserver.h"
#include "support/panelinside.h"
#include "support/swfwriter.h"
#include "support/webtestmain.h"
#include "support/windowinside.h"
#include "web/engineenvironment.h"
#include "web/ruffleplayer.h"

#include "core/catalogue/programmelistmodel.h"
#include "core/download/downloadqueue.h"
#include "gui/window/programmelistview.h"
#include <QApplication>
#include <QScrollBar>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestPlaybackEndToEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cachedProgrammePlaysWhenClicked();
    void downloadedProgrammePlaysWhenComplete();
    void titleScreenStaysOnEveryRoad_data();
    void titleScreenStaysOnEveryRoad();
};

namespace {

struct Harness
{
    AppFolder app;
    FaultServer server;
    RufflePlayer player{qEnvironmentVariable("QORVEL_APP_DIR")};
    FakeBrowser browser;
    RecordingMessages messages;
    FakeSound sound;
    std::unique_ptr<MainWindow> form;

    Harness(const QString &name)
    {
        app.writeList(u"cons/b01.inb"_s, {u"别的"_s, name});
        server.listen();
    }
    void load()
    {
        form = std::make_unique<MainWindow>(
            AppSettings{app.path(), server.baseUrl(), u"http://127.0.0.1:9/"_s, 5000},
            Services{&player, &browser, &messages, &sound});
        QVERIFY(form->load());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    ProgrammeListView *list() const { return form->findChild<ProgrammeListView *>(u"List1"_s); }
    void click(int row)
    {
        ProgrammeListView *l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {},
                          l->visualRect(l->model()->index(row, 0)).center());
    }
    int maximum() const { return form->findChild<QScrollBar *>(u"HScroll1"_s)->maximum(); }
    QStringList history() const
    {
        return ListFile(app.file(u"cons/lishi.inb"_s)).read().valueOr({});
    }
    // The movie runs: its frame number moves on by itself.
    bool advances()
    {
        if (!QTest::qWaitFor([this] { return player.frameNum() >= 3; }, 15000))
            return false;
        const int before = player.frameNum();
        return QTest::qWaitFor([this, before] { return player.frameNum() >= before + 5; }, 5000);
    }
};

TestMovieOptions movie()
{
    TestMovieOptions options;
    options.version = 8;
    options.compression = swf::Compression::Zlib;
    options.frameRate = 24;
    options.frameCount = 300;
    return options;
}

} // namespace

void TestPlaybackEndToEnd::cachedProgrammePlaysWhenClicked()
{
    Harness h(u"小星星"_s);
    QVERIFY(writeTestMovie(h.app.flashDir() + u"小星星.swf"_s, movie()));
    h.load();
    QCOMPARE(PanelInside::programmes(*WindowInside::panel(*h.form))->rowText(1), u"  小星星"_s);
    h.click(1);
    QCOMPARE(h.player.movie(), h.app.flashDir() + u"小星星.swf"_s);
    QCOMPARE(h.maximum(), 300);
    QVERIFY(h.advances());
    QCOMPARE(h.history(), QStringList{u"小星星"_s});
}

void TestPlaybackEndToEnd::downloadedProgrammePlaysWhenComplete()
{
    Harness h(u"两只老虎"_s);
    h.load();
    const QByteArray bytes = makeTestMovie(movie());
    h.server.setFile("/h4icd2/flash/" + QUrl::toPercentEncoding(u"两只老虎"_s) + ".swf", bytes);
    h.click(1);
    QTRY_COMPARE_WITH_TIMEOUT(PanelInside::programmes(*WindowInside::panel(*h.form))->rowText(1),
                              u"  两只老虎"_s, 30000);
    QCOMPARE(h.list()->currentRow(), 1);
    QCOMPARE(h.app.readBytes(u"res/fla/两只老虎.swf"_s), bytes);
    QCOMPARE(h.maximum(), 300);
    QVERIFY(h.advances());
    QCOMPARE(h.history(), QStringList{u"两只老虎"_s});
    QVERIFY(h.messages.shown.isEmpty());
}

void TestPlaybackEndToEnd::titleScreenStaysOnEveryRoad_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<int>("version");
    for (const char *road : {"category", "favourites", "history", "download"}) {
        for (int version : {6, 8})
            QTest::addRow("%s, v%d", road, version) << QString::fromLatin1(road) << version;
    }
}

// A movie whose first frame jumps to its title screen and stops there stays
// there, whichever way it was chosen; the user's Play plays it on.
void TestPlaybackEndToEnd::titleScreenStaysOnEveryRoad()
{
    QFETCH(QString, road);
    QFETCH(int, version);
    const QString name = u"开始"_s;
    Harness h(name);
    TestMovieOptions options = movie();
    options.version = version;
    options.firstFrameActions = QByteArray("\x81\x02\x00\x02\x00\x07", 6); // gotoAndStop(3)
    const QByteArray bytes = makeTestMovie(options);
    if (road == u"download"_s)
        h.server.setFile("/h4icd2/flash/" + QUrl::toPercentEncoding(name) + ".swf", bytes);
    else
        h.app.writeBytes(u"res/fla/"_s + name + u".swf"_s, bytes);
    h.app.writeList(u"cons/shoucang.inb"_s, {name});
    h.app.writeList(u"cons/lishi.inb"_s, {name});
    h.load();
    QSignalSpy frames(&h.player, &RufflePlayer::frameShown);
    if (road == u"favourites"_s)
        WindowInside::panel(*h.form)->showFavourites();
    else if (road == u"history"_s)
        WindowInside::panel(*h.form)->showHistory();
    h.click(PanelInside::programmes(*WindowInside::panel(*h.form))->count() - 1);

    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() == 3 && !h.player.isPlaying(), 30000);
    QTest::qWait(600); // it stays on its title screen
    QCOMPARE(h.player.frameNum(), 3);
    // Not once round and stopped again when it came back to frame 1.
    for (const QList<QVariant> &frame : std::as_const(frames))
        QVERIFY2(frame.at(0).toInt() <= 3, "the movie played past its title screen");
    WindowInside::playerBar(*h.form)->onPlayClicked();
    QTRY_VERIFY_WITH_TIMEOUT(h.player.frameNum() > 6, 30000);
}

QORVEL_WEB_TEST_MAIN(TestPlaybackEndToEnd, EngineEnvironment::prepare())
#include "test_playback_endtoend.moc"
