// Showing the favourites, the history and the child's own folders, and
// refusing to change the list while downloads are queued.
#include "core/catalogue/categorytable.h"
#include "gui/window/folderbox.h"
#include "gui/window/imagebutton.h"
#include "gui/window/mainwindow.h"
#include "support/windowharness.h"
#include "support/windowinside.h"

#include <QDesktopServices>
#include <QDir>
#include <QRadioButton>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString Site = u"http://info.invalid/"_s;

struct Harness : WindowHarness
{
    MainWindow &load() { return WindowHarness::load(u"http://127.0.0.1:9/"_s, Site); }
    QStringList pictures() const
    {
        QStringList p;
        for (int n = 1; n <= 14; ++n)
            p.append(ImageButtonInside::pictureName(
                *form->findChild<ImageButton *>(u"Image%1"_s.arg(n))));
        return p;
    }
};

QStringList normalPictures()
{
    QStringList p;
    for (int n = 1; n <= 14; ++n)
        p.append(QString::number(100 + n));
    return p;
}

// Receives what the window asks the desktop to open.
class OpenedUrls : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }

public:
    QList<QUrl> urls;
};

} // namespace

class TestPersonalLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void favouritesAndHistory_data();
    void favouritesAndHistory();
    void customFolder();
    void emptyFolderIsExplained();
    void refusedWhileDownloading();
    void favouritesMenu();
    void historyMenu();
};

void TestPersonalLists::favouritesAndHistory_data()
{
    QTest::addColumn<bool>("favourites");
    QTest::newRow("favourites") << true;
    QTest::newRow("history") << false;
}

void TestPersonalLists::favouritesAndHistory()
{
    QFETCH(bool, favourites);
    Harness h;
    const QString file = favourites ? u"cons/shoucang.inb"_s : u"cons/lishi.inb"_s;
    h.app.writeBytes(file, "a\r\n\r\nb\r\n");
    h.app.cache(u"b"_s);
    MainWindow &form = h.load();
    h.form->findChild<QRadioButton *>(u"Option1"_s)->setChecked(true);
    h.combo()->setEditText(u"我的动画"_s);

    favourites ? WindowInside::panel(form)->showFavourites()
               : WindowInside::panel(form)->showHistory();
    QVERIFY(PanelInside::source(*WindowInside::panel(form)) ==
            (favourites ? ListSource::favourites() : ListSource::history()));
    QCOMPARE(h.rows(), (QStringList{u"* a"_s, u"  b"_s}));
    QCOMPARE(h.browser.visited.last(), Site + u"show15.htm"_s);
    QCOMPARE(h.pictures(), normalPictures());
    QVERIFY(!h.form->findChild<QRadioButton *>(u"Option1"_s)->isChecked());
    QCOMPARE(h.combo()->currentText(), u"自定义节目"_s);

    // Shown already: not read again, even though the file changed.
    h.app.writeBytes(file, "c\r\n");
    favourites ? WindowInside::panel(form)->showFavourites()
               : WindowInside::panel(form)->showHistory();
    QCOMPARE(h.rows(), (QStringList{u"* a"_s, u"  b"_s}));

    // A missing file is reported; the program goes on.
    WindowInside::panel(form)->showCategory(2);
    QVERIFY(QFile::remove(h.app.file(file)));
    favourites ? WindowInside::panel(form)->showFavourites()
               : WindowInside::panel(form)->showHistory();
    QCOMPARE(h.messages.shown.size(), 1);
    QVERIFY(h.messages.shown[0].text.contains(QFileInfo(file).fileName()));
}

void TestPersonalLists::customFolder()
{
    Harness h;
    h.app.writeBytes(u"自定义节目/动物/song.swf"_s, "FWS");
    h.app.writeBytes(u"自定义节目/动物/Game.SWF"_s, "FWS");
    h.app.writeBytes(u"自定义节目/动物/Game.swf"_s, "FWS");
    h.app.writeBytes(u"自定义节目/动物/readme.txt"_s, "x");
    h.app.writeBytes(u"自定义节目/loose.swf"_s, "FWS");
    h.app.writeBytes(u"自定义节目/.hidden/x.swf"_s, "FWS");
    h.app.writeBytes(u"自定义节目/动物/.x.swf"_s, "FWS");
    h.app.writeBytes(u"自定义节目/Alpha/x.swf"_s, "FWS");
    MainWindow &form = h.load();
    // In name order, hidden ones skipped, the sample folder among them.
    QCOMPARE(h.combo()->count(), 3);
    QCOMPARE(h.combo()->itemText(0), u"Alpha"_s);
    QCOMPARE(h.combo()->itemText(1), u"动物"_s);
    h.chooseFolder(u"动物"_s);
    QVERIFY(PanelInside::source(*WindowInside::panel(form)).isFolder());
    QCOMPARE(h.rows(), (QStringList{u"Game"_s, u"Game"_s, u"song"_s}));
    QCOMPARE(h.browser.visited.last(), Site + u"show15.htm"_s);
    QCOMPARE(h.pictures(), normalPictures());
    QVERIFY(h.messages.shown.isEmpty());

    // Each file plays by its own name, whatever the case of its extension.
    const QStringList files = {u"Game.SWF"_s, u"Game.swf"_s, u"song.swf"_s};
    for (int row = 0; row < 3; ++row) {
        h.choose(row);
        QCOMPARE(h.player.movie(), h.app.file(u"自定义节目/动物/"_s + files[row]));
    }
    // Custom programmes never go into the favourites.
    WindowInside::panel(form)->addToFavourites();
    QCOMPARE(h.messages.texts(), QStringList{u"此类不能加入！"_s});
    QCOMPARE(h.app.readBytes(u"cons/shoucang.inb"_s), QByteArray());
}

void TestPersonalLists::emptyFolderIsExplained()
{
    Harness h;
    h.app.writeBytes(u"自定义节目/空/deeper/x.swf"_s, "FWS");
    h.load();
    OpenedUrls opened;
    QDesktopServices::setUrlHandler(u"file"_s, &opened, "open");
    h.messages.answerYes = true; // "打开文件夹"
    h.chooseFolder(u"空"_s);
    QDesktopServices::unsetUrlHandler(u"file"_s);
    QVERIFY(h.rows().isEmpty());
    // The folder where it is on this computer, and a button that opens it.
    QCOMPARE(h.messages.texts(),
             QStringList{u"您可以把喜欢的swf格式flash放在\"%1\"各分类文件夹下,请参照使用帮助"_s.arg(
                 h.app.file(u"自定义节目"_s))});
    QCOMPARE(h.messages.shown[0].title, u"打开文件夹"_s);
    QCOMPARE(opened.urls, QList<QUrl>{QUrl::fromLocalFile(h.app.file(u"自定义节目/空"_s))});
}

void TestPersonalLists::refusedWhileDownloading()
{
    Harness h;
    h.app.writeList(u"cons/b01.inb"_s, {u"x"_s});
    MainWindow &form = h.load();
    h.queue(0);
    WindowInside::panel(form)->showFavourites();
    WindowInside::panel(form)->showHistory();
    h.combo()->showPopup();
    QVERIFY(!h.combo()->view()->isVisible());
    h.chooseFolder(u"我的动画"_s); // with the keyboard
    QCOMPARE(h.messages.texts(), QStringList(4, u"正在下载，请稍候！"_s));
    for (const ShownMessage &m : h.messages.shown)
        QCOMPARE(m.title, u"提示"_s);
    QVERIFY(PanelInside::source(*WindowInside::panel(form)) == ListSource::ofCategory(1));
    // The list still shows the download: it was not replaced.
    QCOMPARE(h.rows(), QStringList{u"开始下载"_s});
    QCOMPARE(h.combo()->currentText(), u"自定义节目"_s);
}

void TestPersonalLists::favouritesMenu()
{
    Harness h;
    h.app.writeList(u"cons/b01.inb"_s, {u"甲"_s, u"乙"_s});
    h.app.cache(u"甲"_s);
    h.app.writeBytes(u"cons/shoucang.inb"_s, "x"); // edited by hand: no line ending
    MainWindow &form = h.load();
    const auto file = [&] { return h.app.readBytes(u"cons/shoucang.inb"_s); };

    WindowInside::panel(form)->addToFavourites();
    h.list()->setCurrentRow(1); // not fetched yet
    WindowInside::panel(form)->addToFavourites();
    h.choose(0);
    WindowInside::panel(form)->addToFavourites();
    WindowInside::panel(form)->addToFavourites(); // twice: a second entry
    QCOMPARE(h.messages.texts(), (QStringList{u"请先选择节目"_s, u"请下载完成后再加入“收藏”！"_s,
                                              u"  甲 成功加入到收藏"_s, u"  甲 成功加入到收藏"_s}));
    QCOMPARE(file(), QByteArray("x\r\n\xbc\xd7\r\n\xbc\xd7\r\n"));

    WindowInside::panel(form)->showFavourites();
    QCOMPARE(h.rows(), (QStringList{u"* x"_s, u"  甲"_s, u"  甲"_s}));
    h.list()->setCurrentRow(0);
    WindowInside::panel(form)->removeFromFavourites();
    QCOMPARE(h.rows(), (QStringList{u"  甲"_s, u"  甲"_s}));
    QCOMPARE(h.list()->currentRow(), -1);
    QCOMPARE(file(), QByteArray("\xbc\xd7\r\n\xbc\xd7\r\n"));
    WindowInside::panel(form)->removeFromFavourites(); // nothing selected: nothing happens
    QCOMPARE(h.rows().size(), 2);

    // Refused while a download waits; the file keeps every name.
    h.queue(1);
    h.list()->setCurrentRow(0);
    WindowInside::panel(form)->removeFromFavourites();
    WindowInside::panel(form)->clearFavourites();
    QCOMPARE(h.messages.texts().mid(4), QStringList(2, u"正在下载，请稍候！"_s));
    QCOMPARE(file(), QByteArray("\xbc\xd7\r\n\xbc\xd7\r\n"));
    QTRY_COMPARE_WITH_TIMEOUT(h.queued(), 0, 5000);
    h.messages.shown.clear();

    // A file that cannot be written is reported; list and file stay.
    h.list()->setCurrentRow(0);
    QVERIFY(QFile::remove(h.app.file(u"cons/shoucang.inb"_s)));
    QVERIFY(QDir().mkpath(h.app.file(u"cons/shoucang.inb"_s)));
    WindowInside::panel(form)->removeFromFavourites();
    QCOMPARE(h.messages.shown.size(), 1);
    QVERIFY(h.messages.shown[0].text.contains(u"shoucang.inb"_s));
    QCOMPARE(h.rows().size(), 2);
    QVERIFY(QDir(h.app.file(u"cons/shoucang.inb"_s)).removeRecursively());
    h.app.writeBytes(u"cons/shoucang.inb"_s, "a\r\n");

    h.messages.answerYes = false;
    WindowInside::panel(form)->clearFavourites();
    QCOMPARE(h.messages.confirmed, QStringList{u"确实要清空收藏列表吗？"_s});
    QCOMPARE(h.rows().size(), 2);
    QCOMPARE(file(), QByteArray("a\r\n"));
    h.messages.answerYes = true;
    WindowInside::panel(form)->clearFavourites();
    QVERIFY(h.rows().isEmpty());
    QCOMPARE(QFileInfo(h.app.file(u"cons/shoucang.inb"_s)).size(), 0);
}

void TestPersonalLists::historyMenu()
{
    Harness h;
    h.app.writeBytes(u"cons/lishi.inb"_s, "a\r\n\r\nb\r\n\r\nc\r\n");
    MainWindow &form = h.load();
    WindowInside::panel(form)->showHistory();
    h.list()->setCurrentRow(1);
    WindowInside::panel(form)->removeFromHistory();
    // Blank lines go with the first change.
    QCOMPARE(h.app.readBytes(u"cons/lishi.inb"_s), QByteArray("a\r\nc\r\n"));
    h.messages.answerYes = true;
    WindowInside::panel(form)->clearHistory();
    QCOMPARE(h.messages.confirmed, QStringList{u"确实要清空历史记录吗？"_s});
    QCOMPARE(h.app.readBytes(u"cons/lishi.inb"_s), QByteArray());
    QVERIFY(h.rows().isEmpty());
}

QTEST_MAIN(TestPersonalLists)
#include "test_personallists.moc"
