// The settings dialog: what its buttons do to the rows and to the list files.
#include "core/lists/programmeorder.h"
#include "gui/window/programmeorderdialog.h"
#include "support/appfolder.h"
#include "support/fakes.h"
#include "support/windowinside.h"

#include <QDir>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct Harness
{
    AppFolder app;
    RecordingMessages messages;
    ProgrammeOrderDialog dialog{AppPaths(app.path()), messages};

    Harness() { app.writeBytes(u"cons/b03.inb"_s, "a\r\nb\r\nc\r\n"); }
    void click(const QString &button) const { dialog.findChild<QPushButton *>(button)->click(); }
    QStringList rows() const { return OrderDialogInside::order(dialog)->stringList(); }
};

} // namespace

class TestOrderDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void deleteAsks_data();
    void deleteAsks();
    void closing_data();
    void closing();
    void unreadableListIsReported();
    void unwritableListIsReportedAndStaysOpen();
};

void TestOrderDialog::deleteAsks_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selected");
    QTest::newRow("yes") << true << QStringList{u"a"_s, u"c"_s} << -1;
    QTest::newRow("no") << false << QStringList{u"a"_s, u"b"_s, u"c"_s} << 1;
}

void TestOrderDialog::deleteAsks()
{
    QFETCH(bool, yes);
    QFETCH(QStringList, after);
    QFETCH(int, selected);
    Harness h;
    h.messages.answerYes = yes;
    h.click(u"Command3"_s);
    h.click(u"Command20"_s); // nothing selected: not even asked
    QVERIFY(h.messages.confirmed.isEmpty());
    h.dialog.selectRow(1);
    h.click(u"Command20"_s);
    QCOMPARE(h.messages.confirmed, QStringList{u"确实要删除这个节目吗？"_s});
    QCOMPARE(h.rows(), after);
    QCOMPARE(h.dialog.selectedRow(), selected);
}

void TestOrderDialog::closing_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("save") << u"OKButton"_s << QByteArray("a\r\nc\r\nb\r\n");
    QTest::newRow("cancel") << u"CancelButton"_s << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("window frame") << u"frame"_s << QByteArray("a\r\nb\r\nc\r\n");
}

void TestOrderDialog::closing()
{
    QFETCH(QString, how);
    QFETCH(QByteArray, saved);
    Harness h;
    h.dialog.show();
    h.click(u"Command3"_s);
    // The moved row stays selected, so clicks move it on.
    h.dialog.selectRow(2);
    h.click(u"Command18"_s);
    h.click(u"Command18"_s);
    h.click(u"Command19"_s);
    QCOMPARE(h.rows(), (QStringList{u"a"_s, u"c"_s, u"b"_s}));
    how == u"frame"_s ? void(h.dialog.close()) : h.click(how);
    QVERIFY(!h.dialog.isVisible());
    QCOMPARE(h.app.readBytes(u"cons/b03.inb"_s), saved);
    QVERIFY(h.messages.shown.isEmpty());
}

void TestOrderDialog::unreadableListIsReported()
{
    Harness h;
    QVERIFY(QFile::remove(h.app.file(u"cons/b09.inb"_s)));
    h.click(u"Command3"_s);
    h.click(u"Command9"_s);
    QCOMPARE(h.messages.texts(), QStringList{u"运行时错误 '53':\n\n文件未找到: b09.inb"_s});
    QVERIFY(h.rows().isEmpty());
    h.click(u"OKButton"_s);
    QCOMPARE(h.app.readBytes(u"cons/b03.inb"_s), QByteArray("a\r\nb\r\nc\r\n"));
    QVERIFY(!QFile::exists(h.app.file(u"cons/b09.inb"_s)));
}

void TestOrderDialog::unwritableListIsReportedAndStaysOpen()
{
    Harness h;
    h.dialog.show();
    h.click(u"Command3"_s);
    // A folder where the file was: no rename can replace it.
    QVERIFY(QFile::remove(h.app.file(u"cons/b03.inb"_s)));
    QVERIFY(QDir(h.app.path()).mkpath(u"cons/b03.inb/x"_s));
    h.click(u"OKButton"_s);
    QCOMPARE(h.messages.shown.size(), 1);
    QVERIFY(h.messages.texts().first().contains(u"b03.inb"_s));
    QVERIFY(h.dialog.isVisible());
    QCOMPARE(h.rows(), (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    QVERIFY(QFileInfo::exists(h.app.file(u"cons/b03.inb/x"_s)));
}

QTEST_MAIN(TestOrderDialog)
#include "test_orderdialog.moc"
