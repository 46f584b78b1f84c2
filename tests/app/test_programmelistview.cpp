// The programme list repaints a row that changes many times a second once
// per frame, in order, and always ends showing the row's latest text.
#include "core/catalogue/programmelistmodel.h"
#include "gui/window/programmelistview.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

// Notes the first row's text at every repaint of the list.
struct PaintRecorder : QObject
{
    const ProgrammeListModel *model = nullptr;
    QStringList painted;

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted.append(model->rowText(0));
        return false;
    }
};

} // namespace

class TestProgrammeListView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void progressIsRepaintedOncePerFrame();
};

void TestProgrammeListView::progressIsRepaintedOncePerFrame()
{
    ProgrammeListModel model;
    model.setItems({{QStringLiteral("a"), ProgrammeState::Queued}, {QStringLiteral("b")}});
    ProgrammeListView view;
    view.setModel(&model);
    view.resize(200, 100);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    PaintRecorder recorder;
    recorder.model = &model;
    view.viewport()->installEventFilter(&recorder);

    QElapsedTimer clock;
    clock.start();
    // One range per turn of the event loop, as on a fast line.
    for (int percent = 1; percent < 100; ++percent) {
        model.setState(0, ProgrammeState::Downloading, percent);
        QCoreApplication::processEvents();
    }
    model.setState(0, ProgrammeState::Cached);
    const qint64 elapsedMs = clock.elapsed();
    QTRY_COMPARE(recorder.painted.value(recorder.painted.size() - 1), QStringLiteral("  a"));

    // At most one repaint per frame of 16 ms while the changes came, one
    // for the end, and room for one the platform asks for.
    QVERIFY2(recorder.painted.size() <= elapsedMs / 16 + 3,
             qPrintable(recorder.painted.join(u'|')));
    int shown = 0;
    for (const QString &text : std::as_const(recorder.painted)) {
        if (!text.startsWith(QStringLiteral("正在下载 ")))
            continue;
        const int percent = text.mid(5).chopped(1).toInt();
        QVERIFY(percent >= shown);
        shown = percent;
    }
}

QTEST_MAIN(TestProgrammeListView)
#include "test_programmelistview.moc"
