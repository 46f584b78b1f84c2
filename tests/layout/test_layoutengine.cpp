// The proportional layout engine on bare widgets: no main window involved.
#include "gui/layout/layoutengine.h"
#include "support/layoutinside.h"

#include <QWidget>
#include <QtTest>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A window of 2000 x 1000 pixels (30000 x 15000 twips) with three controls
// whose twips are no whole number of pixels.
struct Window
{
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QWidget *a = nullptr;
    QWidget *b = nullptr;
    QWidget *parked = nullptr;

    explicit Window(int width = 2000, int height = 1000)
    {
        window->setObjectName(u"W"_s);
        window->resize(width, height);
        a = control(u"a"_s, QRect(1000, 600, 3000, 1500));
        b = control(u"b"_s, QRect(15000, 7500, 5200, 75));
        parked = control(u"parked"_s, QRect(-70000, 300, 1500, 600));
    }
    QWidget *control(const QString &name, const QRect &twips)
    {
        auto *w = new QWidget(window.get());
        w->setObjectName(name);
        LayoutEngine::setGeometryInTwips(w, twips);
        return w;
    }
    QList<QRect> twips() const
    {
        return {LayoutEngine::geometryInTwips(a), LayoutEngine::geometryInTwips(b),
                LayoutEngine::geometryInTwips(parked)};
    }
};

} // namespace

class TestLayoutEngine : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void scalesFromTheFirstRecords_data();
    void scalesFromTheFirstRecords();
    void manyResizesComeBackExactly();
    void recordsAreMadeOnceAndParkedControlsShifted();
    void zeroRecordedSizeDividesByNothing();
};

void TestLayoutEngine::scalesFromTheFirstRecords_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<QRect>>("expected");
    QTest::newRow("as recorded") << QSize(2000, 1000)
                                 << QList<QRect>{{1000, 600, 3000, 1500},
                                                 {15000, 7500, 5200, 75},
                                                 {-70000, 300, 1500, 600}};
    QTest::newRow("doubled") << QSize(4000, 2000)
                             << QList<QRect>{{2000, 1200, 6000, 3000},
                                             {30000, 15000, 10400, 150},
                                             {-65000, 600, 3000, 1200}};
    // 2469 / 2000 = 1.2345: whole percent 123, truncated products.
    QTest::newRow("123 percent wide")
        << QSize(2469, 1000)
        << QList<QRect>{{1230, 600, 3690, 1500}, {18450, 7500, 6396, 75}, {-68850, 300, 1845, 600}};
    QTest::newRow("shrunk") << QSize(1000, 333)
                            << QList<QRect>{{500, 198, 1500, 495},
                                            {7500, 2475, 2600, 24},
                                            {-72500, 99, 750, 198}};
    QTest::newRow("nothing left") << QSize(0, 0)
                                  << QList<QRect>{{0, 0, 0, 0}, {0, 0, 0, 0}, {-75000, 0, 0, 0}};
}

void TestLayoutEngine::scalesFromTheFirstRecords()
{
    QFETCH(QSize, size);
    QFETCH(QList<QRect>, expected);
    Window w;
    LayoutEngine engine;
    engine.resizeControls(w.window.get()); // records at 2000 x 1000
    w.window->resize(size);
    engine.resizeControls(w.window.get());
    QCOMPARE(w.twips(), expected);
    // What the widgets show is the twips in whole pixels.
    QCOMPARE(w.a->geometry(),
             QRect(LayoutEngine::toPixels(expected[0].x()), LayoutEngine::toPixels(expected[0].y()),
                   LayoutEngine::toPixels(expected[0].width()),
                   LayoutEngine::toPixels(expected[0].height())));
}

void TestLayoutEngine::manyResizesComeBackExactly()
{
    Window w;
    LayoutEngine engine;
    engine.resizeControls(w.window.get());
    const QList<QRect> recorded = w.twips();
    for (int i = 1; i <= 50; ++i) {
        w.window->resize(2000 + i * 37 % 900, 1000 - i * 13 % 700);
        engine.resizeControls(w.window.get());
    }
    w.window->resize(2000, 1000);
    engine.resizeControls(w.window.get());
    QCOMPARE(w.twips(), recorded);
}

void TestLayoutEngine::recordsAreMadeOnceAndParkedControlsShifted()
{
    Window w;
    LayoutEngine engine;
    QCOMPARE(LayoutInside::findFormRecord(engine, w.window.get()), -1);
    QCOMPARE(LayoutInside::widthPercent(engine, w.window.get()), 100);
    QCOMPARE(LayoutInside::heightPercent(engine, w.window.get()), 100);
    QCOMPARE(LayoutInside::formRecords(engine).size(), 1);
    QCOMPARE(LayoutInside::formRecords(engine)[0].scaleWidth, 30000);
    QCOMPARE(LayoutInside::formRecords(engine)[0].scaleHeight, 15000);
    QCOMPARE(LayoutInside::controlRecords(engine).size(), 3);
    const int i = LayoutInside::findControlRecord(engine, w.parked, u"W"_s);
    QCOMPARE(LayoutInside::controlRecords(engine)[i].left, 5000); // -70000 + 75000
    QCOMPARE(LayoutInside::findControlRecord(engine, w.parked, u"other"_s), -1);
    QCOMPARE(LayoutInside::normalizeLeft(-1), 74999);
    QCOMPARE(LayoutInside::normalizeLeft(0), 0);

    // A control made after the window was recorded is left where it is.
    QWidget *late = w.control(u"late"_s, QRect(30, 30, 300, 300));
    w.window->resize(4000, 2000);
    engine.resizeControls(w.window.get());
    QCOMPARE(LayoutEngine::geometryInTwips(late), QRect(30, 30, 300, 300));
    QCOMPARE(LayoutInside::formRecords(engine).size(), 1);
}

void TestLayoutEngine::zeroRecordedSizeDividesByNothing()
{
    Window w(0, 1000);
    LayoutEngine engine;
    engine.resizeControls(w.window.get());
    QCOMPARE(LayoutInside::widthPercent(engine, w.window.get()), -1);
    w.window->resize(500, 2000);
    engine.resizeControls(w.window.get());
    // The widths stay; the heights still follow.
    QCOMPARE(LayoutEngine::geometryInTwips(w.a), QRect(1000, 1200, 3000, 3000));
}

QTEST_MAIN(TestLayoutEngine)
#include "test_layoutengine.moc"
