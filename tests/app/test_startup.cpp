// Start-up and category switching on the real window with recording doubles.
#include "core/base/apperror.h"
#include "core/catalogue/categorytable.h"
#include "gui/window/imagebutton.h"
#include "gui/window/mainwindow.h"
#include "gui/window/resources.h"
#include "support/windowharness.h"
#include "support/windowinside.h"

#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString Site = u"http://info.invalid/"_s;

struct Harness : WindowHarness
{
    MainWindow &make() { return WindowHarness::make(u"http://dl.invalid/"_s, Site); }
    MainWindow &load() { return WindowHarness::load(u"http://dl.invalid/"_s, Site); }
    ImageButton *button(int n) const { return form->findChild<ImageButton *>(u"Image%1"_s.arg(n)); }
    QRadioButton *option(int n) const
    {
        return form->findChild<QRadioButton *>(u"Option%1"_s.arg(n));
    }
    QStringList pictures() const
    {
        QStringList p;
        for (int n = 1; n <= 14; ++n)
            p.append(ImageButtonInside::pictureName(*button(n)));
        return p;
    }
    QStringList expectedPictures(int selected) const
    {
        QStringList p;
        for (int n = 1; n <= 14; ++n)
            p.append(QString::number((n == selected ? 200 : 100) + n));
        return p;
    }
};

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUpState();
    void startUpFailsWithoutItsFiles_data();
    void startUpFailsWithoutItsFiles();
    void switchCategory_data();
    void switchCategory();
    void sameCategoryTwiceDoesNothing();
    void switchRefusedWhileDownloading();
    void missingListIsReportedNotFatal();
    void browserFallsBackOnce();
    void controlsAtDesignRectangles();
};

void TestStartUp::startUpState()
{
    Harness h;
    h.app.writeList(u"cons/b01.inb"_s, {u"两只老虎"_s, u"小星星"_s});
    h.app.cache(u"小星星"_s);
    MainWindow &form = h.load();

    QVERIFY(PanelInside::source(*WindowInside::panel(form)) == ListSource::ofCategory(1));
    QCOMPARE(h.rows(), (QStringList{u"* 两只老虎"_s, u"  小星星"_s}));
    QCOMPARE(h.list()->currentRow(), -1);
    QCOMPARE(h.player.movie(), u"http://"_s);
    QCOMPARE(h.pictures(), h.expectedPictures(1));
    QCOMPARE(ImageButtonInside::pictureName(*form.findChild<ImageButton *>(u"Image20"_s)),
             u"jingyin1"_s);
    QVERIFY(h.browser.silent);
    QCOMPARE(h.browser.visited, QStringList{Site + u"show1.htm"_s});
    // The start-up sound, not category 1's own.
    QCOMPARE(h.sound.played, QStringList{u"QIDONG"_s});
    // Key: characters 11 to 13, then 4 to 6, of "ab1cd2ef3gh4ij5kl6".
    QCOMPARE(PanelInside::serverKey(*WindowInside::panel(form)), u"h4icd2"_s);
    QVERIFY(h.option(1)->isEnabled() && !h.option(1)->isChecked());
    QVERIFY(h.option(2)->isEnabled() && !h.option(2)->isChecked());
    auto *combo = form.findChild<QComboBox *>(u"Combo1"_s);
    QCOMPARE(combo->currentText(), u"自定义节目"_s);
    QCOMPARE(combo->count(), 1); // the sample folder
    QVERIFY(h.messages.shown.isEmpty());
    // Every picture and sound the window names is built in.
    QCOMPARE(Resources::missing(), QStringList());
}

void TestStartUp::startUpFailsWithoutItsFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("remove");
    QTest::newRow("key file missing") << u"cons/guihu.inb"_s << true;
    QTest::newRow("key file empty") << u"cons/guihu.inb"_s << false;
    QTest::newRow("first list missing") << u"cons/b01.inb"_s << true;
}

void TestStartUp::startUpFailsWithoutItsFiles()
{
    QFETCH(QString, file);
    QFETCH(bool, remove);
    Harness h;
    if (remove)
        QVERIFY(QFile::remove(h.app.file(file)));
    else
        h.app.writeBytes(file, QByteArray());
    MainWindow &form = h.make();
    const Result<> loaded = form.load();
    QVERIFY2(!loaded, "start-up went on");
    const QString report = loaded.error().report();
    QVERIFY2(report.contains(QFileInfo(file).fileName()), qPrintable(report));
}

void TestStartUp::switchCategory_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("song to game") << 3 << 10;
    QTest::newRow("game to song") << 12 << 6;
    QTest::newRow("poem to pinyin") << 7 << 8;
    QTest::newRow("last") << 1 << 14;
}

void TestStartUp::switchCategory()
{
    QFETCH(int, from);
    QFETCH(int, to);
    Harness h;
    h.app.writeList(u"cons/b%1.inb"_s.arg(to, 2, 10, QLatin1Char('0')), {u"节目"_s});
    MainWindow &form = h.load();
    WindowInside::panel(form)->showCategory(from);
    h.option(1)->setChecked(from <= 6);
    auto *combo = form.findChild<QComboBox *>(u"Combo1"_s);
    combo->setEditText(u"我的动画"_s);
    h.sound.played.clear();

    WindowInside::panel(form)->showCategory(to);
    const Category &c = CategoryTable::row(to);
    QVERIFY(PanelInside::source(*WindowInside::panel(form)) == ListSource::ofCategory(c.number));
    QCOMPARE(h.rows(), QStringList{u"* 节目"_s});
    QCOMPARE(h.browser.visited.last(), Site + c.infoPage);
    QCOMPARE(h.pictures(), h.expectedPictures(to));
    QCOMPARE(h.sound.played, QStringList{c.sound});
    for (int n : {1, 2}) {
        QVERIFY(!h.option(n)->isChecked());
        QCOMPARE(h.option(n)->isEnabled(), to <= 6);
    }
    QCOMPARE(combo->currentText(), u"自定义节目"_s);
    QCOMPARE(h.list()->currentRow(), -1);
}

void TestStartUp::sameCategoryTwiceDoesNothing()
{
    Harness h;
    MainWindow &form = h.load();
    WindowInside::panel(form)->showCategory(5);
    h.app.writeList(u"cons/b05.inb"_s, {u"新的"_s});
    const int sounds = h.sound.played.size();
    WindowInside::panel(form)->showCategory(5);
    QCOMPARE(h.sound.played.size(), sounds);
    QVERIFY(h.rows().isEmpty());
}

void TestStartUp::switchRefusedWhileDownloading()
{
    Harness h;
    h.app.writeList(u"cons/b01.inb"_s, {u"甲"_s, u"乙"_s});
    MainWindow &form = h.load();
    h.queue(1);
    h.model()->setState(1, ProgrammeState::Downloading, 40);
    WindowInside::panel(form)->showCategory(2);
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.messages.shown[0].text, u"正在下载，请稍候！"_s);
    QCOMPARE(h.messages.shown[0].title, u"提示"_s);
    QCOMPARE(h.messages.shown[0].icon, MessageBoxes::Icon::Information);
    QVERIFY(PanelInside::source(*WindowInside::panel(form)) == ListSource::ofCategory(1));
    QCOMPARE(h.rows(), (QStringList{u"* 甲"_s, u"正在下载 40%"_s}));
    QCOMPARE(h.pictures(), h.expectedPictures(1));
    QCOMPARE(h.queued(), 1);
}

void TestStartUp::missingListIsReportedNotFatal()
{
    Harness h;
    MainWindow &form = h.load();
    QVERIFY(QFile::remove(h.app.file(u"cons/b04.inb"_s)));
    WindowInside::panel(form)->showCategory(4);
    QCOMPARE(h.messages.shown.size(), 1);
    QVERIFY(h.messages.shown[0].text.contains(u"b04.inb"_s));
    QVERIFY(h.messages.shown[0].text.contains(u"53"_s));
    // Another category still works afterwards.
    WindowInside::panel(form)->showCategory(6);
    QVERIFY(PanelInside::source(*WindowInside::panel(form)) == ListSource::ofCategory(6));
}

void TestStartUp::browserFallsBackOnce()
{
    Harness h;
    h.load();
    const QString fallback = h.app.path() + u"/res/showoff.htm"_s;
    h.browser.fail(Site + u"show1.htm"_s);
    QCOMPARE(h.browser.visited.last(), fallback);
    const int visits = h.browser.visited.size();
    h.browser.fail(fallback);
    QCOMPARE(h.browser.visited.size(), visits);
}

void TestStartUp::controlsAtDesignRectangles()
{
    Harness h;
    MainWindow &form = h.load();
    form.resize(1016, 711);
    QCOMPARE(form.findChild<QWidget *>(u"List1"_s)->geometry(), QRect(845, 72, 167, 578));
    QCOMPARE(h.button(14)->geometry(), QRect(938, 0, 73, 71));
    QCOMPARE(h.player.widget()->geometry(), QRect(1, 72, 842, 571));
    QCOMPARE(h.button(3)->toolTip(), u"英文儿歌"_s);
}

QTEST_MAIN(TestStartUp)
#include "test_startup.moc"
