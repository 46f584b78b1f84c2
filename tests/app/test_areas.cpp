// Each area of the main window alone, on a bare widget with doubles for the
// services: what it does with the calls it gets and what it tells the others.
#include "core/catalogue/categorytable.h"
#include "core/catalogue/listfile.h"
#include "core/catalogue/programmelistmodel.h"
#include "gui/window/categorybar.h"
#include "gui/window/imagebutton.h"
#include "gui/window/playerbar.h"
#include "gui/window/programmelistview.h"
#include "gui/window/programmepanel.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/panelinside.h"
#include "support/windowinside.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ListSource)

class TestAreas : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void categoryBarFollowsTheList();
    void playerBarTicks();
    void programmePanelTellsTheOthers();
};

void TestAreas::categoryBarFollowsTheList()
{
    QWidget window;
    FakeBrowser strip;
    FakeSound sound;
    CategoryBar bar(&window, &strip, &sound, {u"http://info/"_s, u"/app/res/showoff.htm"_s});
    const auto picture = [&](int n) {
        return ImageButtonInside::pictureName(
            *window.findChild<ImageButton *>(u"Image%1"_s.arg(n)));
    };
    QSignalSpy clicked(&bar, &CategoryBar::categoryClicked);
    Q_EMIT window.findChild<ImageButton *>(u"Image3"_s)->clicked();
    QCOMPARE(clicked.takeFirst().at(0).toInt(), 3);
    QCOMPARE(picture(3), QString()); // a click alone changes nothing

    bar.onListShown(ListSource::ofCategory(3));
    QCOMPARE(picture(3), u"203"_s);
    QCOMPARE(picture(1), u"101"_s);
    QCOMPARE(strip.visited, QStringList{u"http://info/show3.htm"_s});
    QCOMPARE(sound.played.size(), 1);
    QCOMPARE(sound.played, QStringList{u"SOUND03"_s});

    bar.onListShown(ListSource::history());
    QCOMPARE(picture(3), u"103"_s);
    QCOMPARE(strip.visited.last(), u"http://info/show15.htm"_s);
    QCOMPARE(sound.played.size(), 1);
    // A page that fails falls back to the offline page, once.
    strip.fail(u"http://info/show15.htm"_s);
    strip.fail(u"/app/res/showoff.htm"_s);
    QCOMPARE(strip.visited.size(), 3);
}

void TestAreas::playerBarTicks()
{
    QWidget window;
    FakePlayer player;
    FakeSound sound;
    PlayerBar bar(&window, &player, &sound);
    QSignalSpy atEnd(&bar, &PlayerBar::playAllReachedEnd);
    auto *playAll = window.findChild<QRadioButton *>(u"Option1"_s);

    bar.playFromStart(u"/c/a.swf"_s);
    QCOMPARE(player.calls, (QStringList{u"Movie http://"_s, u"Movie /c/a.swf"_s, u"Play"_s}));
    playAll->setChecked(true);
    player.frame = 90;
    bar.onTick();
    QCOMPARE(atEnd.size(), 1);

    // A game category: both options off and not to be chosen.
    bar.onListShown(ListSource::ofCategory(10));
    QVERIFY(!playAll->isChecked() && !playAll->isEnabled());
    bar.onTick();
    QCOMPARE(atEnd.size(), 1);

    player.calls.clear();
    bar.playOwnMovie(QString());
    QCOMPARE(player.calls, QStringList{u"Movie http://"_s});
    bar.onMuteClicked();
    QVERIFY(PlayerBarInside::isMuted(bar) && player.muted && sound.muted);
}

void TestAreas::programmePanelTellsTheOthers()
{
    AppFolder app;
    app.writeList(u"cons/b01.inb"_s, {u"一"_s, u"二"_s});
    app.writeList(u"cons/b02.inb"_s, {u"甲"_s, u"乙"_s});
    app.cache(u"甲"_s);
    app.cache(u"乙"_s);
    QWidget window;
    RecordingMessages messages;
    ProgrammePanel panel(&window, {u"http://127.0.0.1:9/"_s, AppPaths(app.path()), 1000},
                         &messages);
    QVERIFY(panel.load());
    QSignalSpy shown(&panel, &ProgrammePanel::listShown);
    QSignalSpy played(&panel, &ProgrammePanel::playRequested);

    panel.showCategory(2);
    panel.showCategory(2); // shown already: nothing
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().at(0).value<ListSource>(), ListSource::ofCategory(2));
    panel.chooseRow(0);
    QCOMPARE(played.takeFirst().at(0).toString(), app.flashDir() + u"甲.swf"_s);
    QCOMPARE(ListFile(app.file(u"cons/lishi.inb"_s)).read().valueOr({}).value(0), u"甲"_s);

    // Play-all moves on from the row shown, from the last back to the first.
    panel.onPlayAllReachedEnd();
    QCOMPARE(PanelInside::listView(panel)->currentRow(), 1);
    panel.onPlayAllReachedEnd();
    QCOMPARE(PanelInside::listView(panel)->currentRow(), 0);
    QCOMPARE(played.size(), 2);

    // A download waiting keeps the list: no other list is shown.
    PanelInside::downloads(panel)->request({u"远方"_s, ProgrammeState::NotCached});
    panel.showFavourites();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(messages.texts(), QStringList{u"正在下载，请稍候！"_s});
}

QTEST_MAIN(TestAreas)
#include "test_areas.moc"
