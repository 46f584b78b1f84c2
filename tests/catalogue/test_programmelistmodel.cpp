// The programme list model without a view: the texts the rows show and the
// signals a view relies on.
#include "core/catalogue/programmelistmodel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestProgrammeListModel : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rowText_data();
    void rowText();
    void stateChangesAreSignalledOnce();
};

void TestProgrammeListModel::rowText_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QString>("text");
    using S = ProgrammeState;
    QTest::newRow("not cached") << int(S::NotCached) << 0 << u"* 小星星"_s;
    QTest::newRow("cached") << int(S::Cached) << 0 << u"  小星星"_s;
    QTest::newRow("queued") << int(S::Queued) << 0 << u"准备下载"_s;
    QTest::newRow("starting") << int(S::Starting) << 0 << u"开始下载"_s;
    QTest::newRow("downloading") << int(S::Downloading) << 58 << u"正在下载 58%"_s;
    QTest::newRow("done") << int(S::Downloading) << 100 << u"正在下载 100%"_s;
    QTest::newRow("custom") << int(S::Custom) << 0 << u"小星星"_s;
}

void TestProgrammeListModel::rowText()
{
    QFETCH(int, state);
    QFETCH(int, percent);
    QFETCH(QString, text);
    ProgrammeListModel model;
    // A custom programme is its file, shown without the extension.
    const QString name = state == int(ProgrammeState::Custom) ? u"小星星.swf"_s : u"小星星"_s;
    model.setItems({{u"别的"_s}, {name}});
    model.setState(1, ProgrammeState(state), percent);
    // What a view shows is what the rule says, and the name and state stay
    // readable whatever the text shows.
    QCOMPARE(model.index(1).data().toString(), text);
    QCOMPARE(model.index(1).data(ProgrammeListModel::NameRole).toString(), name);
    QCOMPARE(model.index(1).data(ProgrammeListModel::StateRole).toInt(), state);
    QCOMPARE(model.rowText(0), u"* 别的"_s);
}

void TestProgrammeListModel::stateChangesAreSignalledOnce()
{
    ProgrammeListModel model;
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    model.setItems({{u"甲"_s}, {u"乙"_s, ProgrammeState::Cached}});
    QCOMPARE(resets.size(), 1);
    QCOMPARE(model.rowCount(), 2);

    model.setState(1, ProgrammeState::Downloading, 10);
    model.setState(1, ProgrammeState::Downloading, 10); // the same again
    model.setState(1, ProgrammeState::Downloading, 11);
    model.setState(2, ProgrammeState::Queued); // a row that is not there
    model.setState(-1, ProgrammeState::Queued);
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.at(1).at(0).value<QModelIndex>().row(), 1);
    // A percentage belongs to a download only.
    model.setState(1, ProgrammeState::Cached, 50);
    QCOMPARE(model.item(1), (ProgrammeItem{u"乙"_s, ProgrammeState::Cached, 0}));

    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.index(0).data().isValid());
}

QTEST_GUILESS_MAIN(TestProgrammeListModel)
#include "test_programmelistmodel.moc"
