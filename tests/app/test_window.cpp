// The main window's furniture at any size: rectangles from the layout
// engine, pinned sizes, fonts, the links' hover colours and the menus.
#include "gui/window/imagebutton.h"
#include "gui/window/mainwindow.h"
#include "support/windowharness.h"

#include <QMenu>
#include <QScrollBar>
#include <QtTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ListSource)

class TestWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rectanglesAtThreeSizes_data();
    void rectanglesAtThreeSizes();
    void linksTurnRedUnderThePointer();
    void menusOfEachListMode_data();
    void menusOfEachListMode();
};

namespace {
QRect at(const MainWindow &form, const QString &name)
{
    return form.findChild<QWidget *>(name)->geometry();
}
} // namespace

void TestWindow::rectanglesAtThreeSizes_data()
{
    QTest::addColumn<QSize>("inner");
    QTest::addColumn<QRect>("list");
    QTest::addColumn<QRect>("play");
    QTest::addColumn<QRect>("bar");
    QTest::addColumn<QRect>("strip");
    // Design size: exactly the design rectangles.
    QTest::newRow("1016x711") << QSize(1016, 711) << QRect(845, 72, 167, 578)
                              << QRect(100, 654, 27, 27) << QRect(174, 664, 347, 5)
                              << QRect(6, 688, 1000, 19);
    // 125 % wide, 112 % high, by whole percent and truncated twips.
    QTest::newRow("1280x800") << QSize(1280, 800) << QRect(1056, 81, 209, 647)
                              << QRect(125, 732, 27, 27) << QRect(217, 744, 433, 5)
                              << QRect(7, 771, 1250, 19);
    // 188 % wide, 151 % high.
    QTest::newRow("1920x1080") << QSize(1920, 1080) << QRect(1589, 109, 314, 873)
                               << QRect(188, 988, 27, 27) << QRect(327, 1003, 652, 5)
                               << QRect(11, 1039, 1880, 19);
}

void TestWindow::rectanglesAtThreeSizes()
{
    QFETCH(QSize, inner);
    QFETCH(QRect, list);
    QFETCH(QRect, play);
    QFETCH(QRect, bar);
    QFETCH(QRect, strip);
    WindowHarness h;
    MainWindow &form = h.load();
    const QFont listFont = h.list()->font();
    form.show();
    form.resize(inner);
    QTRY_COMPARE(form.size(), inner);
    QCOMPARE(at(form, u"List1"_s), list);
    QCOMPARE(at(form, u"Image15"_s), play);
    QCOMPARE(at(form, u"HScroll1"_s), bar);
    QCOMPARE(at(form, u"WebBrowser1"_s), strip);
    QCOMPARE(at(form, u"Command6"_s).size(), QSize(47, 27));
    for (const char *button : {"Image16", "Image17", "Image20"})
        QCOMPARE(at(form, QLatin1String(button)).size(), QSize(27, 27));
    QCOMPARE(h.list()->font(), listFont);
    QCOMPARE(h.list()->font().pointSizeF(), 10.5);
}

void TestWindow::linksTurnRedUnderThePointer()
{
    WindowHarness h;
    MainWindow &form = h.load();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto label = [&](int n) { return form.findChild<ImageButton *>(u"Label%1"_s.arg(n)); };
    const auto red = [&](int n) {
        return label(n)->palette().color(QPalette::WindowText) == QColor(255, 0, 0);
    };
    const auto moveTo = [&](QWidget *w, QPoint p = {}) {
        QTest::mouseMove(w, p.isNull() ? w->rect().center() : p);
        QCoreApplication::processEvents();
    };
    moveTo(label(2));
    QVERIFY(red(2));
    QVERIFY(!red(3));
    // Straight on to the next link: both are red.
    moveTo(label(3));
    QVERIFY(red(2) && red(3));
    // Into the list: still red.
    moveTo(h.list()->viewport());
    QVERIFY(red(2) && red(3));
    // The window's own background puts them all back.
    moveTo(&form, QPoint(2, 700));
    QVERIFY(!form.childAt(2, 700));
    QVERIFY(!red(2) && !red(3));
    QCOMPARE(label(2)->palette().color(QPalette::WindowText),
             form.palette().color(QPalette::ButtonText));
    // Arriving without a move over it, as a jumping pointer does.
    QEnterEvent arrival(QPointF(3, 3), QPointF(3, 3), label(3)->mapToGlobal(QPointF(3, 3)));
    QCoreApplication::sendEvent(label(3), &arrival);
    QVERIFY(red(3) && !red(2));
}

void TestWindow::menusOfEachListMode_data()
{
    QTest::addColumn<ListSource>("source");
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    const QStringList category = {u"暂停"_s, u"全屏"_s, u"加入收藏"_s};
    QTest::newRow("category") << ListSource::ofCategory(1) << u"file1"_s << category;
    QTest::newRow("folder") << ListSource::ofFolder(u"动物"_s) << u"file1"_s << category;
    QTest::newRow("favourites") << ListSource::favourites() << u"file2"_s
                                << QStringList{u"暂停"_s, u"全屏"_s, u"从收藏列表删除"_s,
                                               u"清空收藏列表"_s};
    QTest::newRow("history") << ListSource::history() << u"file3"_s
                             << QStringList{u"暂停"_s, u"全屏"_s, u"从历史记录删除"_s,
                                            u"清空历史记录"_s};
}

void TestWindow::menusOfEachListMode()
{
    QFETCH(ListSource, source);
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    WindowHarness h;
    MainWindow &form = h.load();
    QMenu *m = PanelInside::menuFor(*WindowInside::panel(form), source);
    QVERIFY(m);
    QCOMPARE(m->objectName(), menu);
    QStringList texts;
    for (int i = 0; i < m->actions().size(); ++i) {
        texts.append(m->actions()[i]->text());
        QCOMPARE(m->actions()[i]->objectName(), menu + u"_%1"_s.arg(i + 1));
    }
    QCOMPARE(texts, items);
    // Pop-up menus only: nothing is shown until the list asks.
    QVERIFY(!m->isVisible());
}

QTEST_MAIN(TestWindow)
#include "test_window.moc"
