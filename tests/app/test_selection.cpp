// Choosing a programme in the list: the cached, custom and download roads.
#include "core/catalogue/categorytable.h"
#include "core/catalogue/listfile.h"
#include "gui/window/mainwindow.h"
#include "support/windowharness.h"

#include <QComboBox>
#include <QScrollBar>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

struct Harness : WindowHarness
{
    explicit Harness(const QStringList &names) { app.writeList(u"cons/b01.inb"_s, names); }
    MainWindow &load()
    {
        WindowHarness::load(u"http://127.0.0.1:9/"_s, u"http://127.0.0.1:9/i/"_s, 2000);
        player.calls.clear();
        return *form;
    }
    int maximum() const { return form->findChild<QScrollBar *>(u"HScroll1"_s)->maximum(); }
    QStringList history() const
    {
        return ListFile(app.file(u"cons/lishi.inb"_s)).read().valueOr({});
    }
    QString movie(const QString &name) const { return app.flashDir() + name + u".swf"_s; }
};

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cachedProgrammePlaysAndIsRecorded();
    void keyboardChoosesFocusDoesNot();
    void choosingAgainLoadsAfresh();
    void arrivedFileOfStarredRowPlays();
    void queuedRowIsIgnored();
    void fullQueueDropsTheChoice();
    void notCachedIsQueuedAndServerUnreachable();
    void longMovieClampsTheBar();
    void listModesRecordNothing_data();
    void listModesRecordNothing();
    void customFolderRoad();
    void unusableNameIsRefused_data();
    void unusableNameIsRefused();
};

void TestSelection::cachedProgrammePlaysAndIsRecorded()
{
    Harness h({u"两只老虎"_s, u"小星星"_s});
    h.app.cache(u"小星星"_s);
    h.player.frames = 240;
    h.load();
    h.choose(1);
    QCOMPARE(h.player.calls,
             (QStringList{u"Movie http://"_s, u"Movie "_s + h.movie(u"小星星"_s), u"Play"_s}));
    QCOMPARE(h.maximum(), 240);
    QCOMPARE(h.history(), QStringList{u"小星星"_s});
    QVERIFY(h.messages.shown.isEmpty());
}

void TestSelection::keyboardChoosesFocusDoesNot()
{
    Harness h({u"甲"_s, u"乙"_s});
    h.app.cache(u"甲"_s);
    h.app.cache(u"乙"_s);
    h.load();
    h.form->show();
    QVERIFY(QTest::qWaitForWindowActive(h.form.get()));
    h.list()->setFocus();
    QTRY_VERIFY(h.list()->hasFocus());
    QCOMPARE(h.list()->currentRow(), -1);
    QVERIFY(h.player.calls.isEmpty());
    QTest::keyClick(h.list(), Qt::Key_Down);
    QCOMPARE(h.player.movie(), h.movie(u"甲"_s));
    QTest::keyClick(h.list(), Qt::Key_Down);
    QCOMPARE(h.player.movie(), h.movie(u"乙"_s));
    QCOMPARE(h.history(), (QStringList{u"乙"_s, u"甲"_s}));
}

void TestSelection::choosingAgainLoadsAfresh()
{
    Harness h({u"甲"_s, u"乙"_s});
    h.app.cache(u"甲"_s);
    h.app.cache(u"乙"_s);
    h.load();
    h.choose(0);
    h.choose(1);
    h.player.calls.clear();
    h.choose(0);
    QCOMPARE(h.player.calls,
             (QStringList{u"Movie http://"_s, u"Movie "_s + h.movie(u"甲"_s), u"Play"_s}));
    QCOMPARE(h.history(), (QStringList{u"甲"_s, u"乙"_s, u"甲"_s}));
}

void TestSelection::arrivedFileOfStarredRowPlays()
{
    Harness h({u"迟到"_s});
    h.load();
    QCOMPARE(h.row(0), u"* 迟到"_s);
    h.app.cache(u"迟到"_s);
    h.choose(0);
    QCOMPARE(h.player.movie(), h.movie(u"迟到"_s));
    QCOMPARE(h.queued(), 0);
}

void TestSelection::queuedRowIsIgnored()
{
    // Also the row of a programme that has just arrived and is selected by
    // the download while its entry still heads the queue.
    Harness h({u"甲"_s, u"乙"_s});
    h.app.cache(u"乙"_s);
    h.load();
    h.queue(1);
    h.choose(1);
    QVERIFY(h.player.calls.isEmpty());
    QCOMPARE(h.queued(), 1);
    QVERIFY(h.history().isEmpty());
}

void TestSelection::fullQueueDropsTheChoice()
{
    Harness h({u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s});
    h.load();
    for (int row = 0; row < 5; ++row)
        h.queue(row);
    h.choose(5);
    QCOMPARE(h.queued(), 5);
    QCOMPARE(h.row(5), u"* f"_s);
    QVERIFY(h.messages.shown.isEmpty());
    QVERIFY(h.player.calls.isEmpty());
}

void TestSelection::notCachedIsQueuedAndServerUnreachable()
{
    Harness h({u"远方"_s});
    h.load();
    h.choose(0);
    QCOMPARE(h.queued(), 1);
    QCOMPARE(PanelInside::downloads(*h.panel())->names(), QStringList{u"远方"_s});
    QCOMPARE(h.row(0), u"开始下载"_s);
    // Nobody listens on the port: the row gets its text back, no file stays.
    QTRY_COMPARE_WITH_TIMEOUT(h.queued(), 0, 5000);
    QCOMPARE(h.messages.texts(), QStringList{u"网络繁忙或不畅,请再试"_s});
    QCOMPARE(h.row(0), u"* 远方"_s);
    QVERIFY(!QFile::exists(h.movie(u"远方"_s)));
    QVERIFY(h.player.calls.isEmpty());
    QVERIFY(h.history().isEmpty());
}

void TestSelection::longMovieClampsTheBar()
{
    Harness h({u"长"_s});
    h.app.cache(u"长"_s);
    h.player.frames = 40000;
    h.load();
    h.choose(0);
    QCOMPARE(h.maximum(), 32767);
    QCOMPARE(h.player.movie(), h.movie(u"长"_s));
}

void TestSelection::listModesRecordNothing_data()
{
    QTest::addColumn<bool>("favourites");
    QTest::newRow("favourites") << true;
    QTest::newRow("history") << false;
}

void TestSelection::listModesRecordNothing()
{
    QFETCH(bool, favourites);
    Harness h({});
    h.app.cache(u"甲"_s);
    h.app.writeList(favourites ? u"cons/shoucang.inb"_s : u"cons/lishi.inb"_s, {u"甲"_s});
    MainWindow &form = h.load();
    favourites ? WindowInside::panel(form)->showFavourites()
               : WindowInside::panel(form)->showHistory();
    const QStringList before = h.history();
    h.choose(0);
    QCOMPARE(h.player.movie(), h.movie(u"甲"_s));
    QCOMPARE(h.history(), before);
}

void TestSelection::customFolderRoad()
{
    Harness h({});
    const QString file = h.app.file(u"自定义节目/我的动画/小猫.swf"_s);
    h.app.writeBytes(u"自定义节目/我的动画/小猫.swf"_s, "FWS");
    h.player.frames = 77;
    h.load();
    h.chooseFolder(u"我的动画"_s);
    h.model()->setItems(
        {{u"小猫.swf"_s, ProgrammeState::Custom}, {u"不见了.swf"_s, ProgrammeState::Custom}});

    h.choose(0);
    QCOMPARE(h.player.calls, (QStringList{u"Movie http://"_s, u"Movie "_s + file}));
    QCOMPARE(h.maximum(), 77);

    h.player.calls.clear();
    h.choose(1);
    QCOMPARE(h.player.calls, QStringList{u"Movie http://"_s});
    QVERIFY(h.messages.shown.isEmpty());
    QVERIFY(h.history().isEmpty());
}

void TestSelection::unusableNameIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("climbing") << u"../../cons/guihu"_s;
    QTest::newRow("too long for a file name") << QString(300, u'x');
}

void TestSelection::unusableNameIsRefused()
{
    QFETCH(QString, name);
    Harness h({name});
    h.load();
    h.choose(0);
    QCOMPARE(h.messages.shown.size(), 1);
    QVERIFY(h.messages.shown[0].text.contains(name));
    QVERIFY(h.player.calls.isEmpty());
    QCOMPARE(h.queued(), 0);
}

QTEST_MAIN(TestSelection)
#include "test_selection.moc"
