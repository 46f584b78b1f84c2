// The order rules of the settings dialog: load, move, delete, save.
#include "core/base/apperror.h"
#include "core/base/textfile.h"
#include "core/lists/programmeorder.h"
#include "support/appfolder.h"
#include "support/listsinside.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestProgrammeOrder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void moves_data();
    void moves();
    void saved_data();
    void saved();
    void onlyTheListShownIsSaved();
    void noListChosenWritesNothing();
};

void TestProgrammeOrder::moves_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("selectedAfter");
    QTest::newRow("up") << u"up"_s << 2 << u"acbd"_s << 1;
    QTest::newRow("first up") << u"up"_s << 0 << u"abcd"_s << 0;
    QTest::newRow("up, none selected") << u"up"_s << -1 << u"abcd"_s << -1;
    QTest::newRow("down") << u"down"_s << 1 << u"acbd"_s << 2;
    QTest::newRow("last down") << u"down"_s << 3 << u"abcd"_s << 3;
    QTest::newRow("down, none selected") << u"down"_s << -1 << u"abcd"_s << -1;
    QTest::newRow("delete") << u"delete"_s << 1 << u"acd"_s << -1;
    QTest::newRow("delete, none selected") << u"delete"_s << -1 << u"abcd"_s << -1;
}

void TestProgrammeOrder::moves()
{
    QFETCH(QString, op);
    QFETCH(int, selected);
    QFETCH(QString, after);
    QFETCH(int, selectedAfter);
    AppFolder app;
    app.writeList(u"cons/b01.inb"_s, {u"a"_s, u"b"_s, u"c"_s, u"d"_s});
    ProgrammeOrder order(AppPaths(app.path()));
    QVERIFY(order.load(1));
    const int now = op == u"up"_s     ? order.moveUp(selected)
                    : op == u"down"_s ? order.moveDown(selected)
                                      : order.remove(selected);
    QCOMPARE(order.stringList().join(QString()), after);
    QCOMPARE(now, selectedAfter);
}

void TestProgrammeOrder::saved_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("deletions");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("blank lines go without a move")
        << QByteArray("a\r\n\r\n\r\nb\r\n\r\n") << 0 << QByteArray("a\r\nb\r\n");
    QTest::newRow("lf, lone cr, no last ending")
        << QByteArray("a\nb\rc") << 0 << QByteArray("a\r\nb\r\nc\r\n");
    QTest::newRow("blanks are a name") << QByteArray("  \r\n") << 0 << QByteArray("  \r\n");
    QTest::newRow("gbk stays gbk")
        << QByteArray("\xc1\xbd\xd6\xbb\r\n") << 0 << QByteArray("\xc1\xbd\xd6\xbb\r\n");
    QTest::newRow("every row deleted") << QByteArray("a\r\nb\r\n") << 2 << QByteArray();
}

void TestProgrammeOrder::saved()
{
    QFETCH(QByteArray, before);
    QFETCH(int, deletions);
    QFETCH(QByteArray, after);
    AppFolder app;
    app.writeBytes(u"cons/b07.inb"_s, before);
    ProgrammeOrder order(AppPaths(app.path()));
    QVERIFY(order.load(7));
    for (int i = 0; i < deletions; ++i)
        order.remove(0);
    QVERIFY(order.save());
    QCOMPARE(app.readBytes(u"cons/b07.inb"_s), after);
}

void TestProgrammeOrder::onlyTheListShownIsSaved()
{
    AppFolder app;
    app.writeBytes(u"cons/b03.inb"_s, "a\r\nb\r\n");
    app.writeBytes(u"cons/b04.inb"_s, "x\r\n\r\ny");
    ProgrammeOrder order(AppPaths(app.path()));
    QVERIFY(order.load(3));
    order.moveDown(0);
    QVERIFY(order.load(4));
    QCOMPARE(OrderInside::editedListFile(order), u"b04.inb"_s);
    QVERIFY(order.save());
    QCOMPARE(app.readBytes(u"cons/b03.inb"_s), QByteArray("a\r\nb\r\n"));
    QCOMPARE(app.readBytes(u"cons/b04.inb"_s), QByteArray("x\r\ny\r\n"));
}

void TestProgrammeOrder::noListChosenWritesNothing()
{
    // A failed load must not leave the old rows to be saved over either file.
    AppFolder app;
    app.writeBytes(u"cons/b02.inb"_s, "a\r\nb\r\n");
    QVERIFY(QFile::remove(app.file(u"cons/b05.inb"_s)));
    ProgrammeOrder order(AppPaths(app.path()));
    QCOMPARE(OrderInside::editedListFile(order), u"none"_s); // nothing chosen yet
    QVERIFY(order.save());                                   // nothing to write
    QVERIFY(order.load(2));
    QVERIFY(!order.load(5));
    QCOMPARE(order.rowCount(), 0);
    QCOMPARE(OrderInside::editedListFile(order), u"none"_s);
    QVERIFY(order.save()); // nothing to write
    QCOMPARE(app.readBytes(u"cons/b02.inb"_s), QByteArray("a\r\nb\r\n"));
    QVERIFY(!QFile::exists(app.file(u"cons/b05.inb"_s)));
}

QTEST_GUILESS_MAIN(TestProgrammeOrder)
#include "test_programmeorder.moc"
