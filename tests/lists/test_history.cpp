// Recording played programmes at the head of the history file.
#include "core/base/textfile.h"
#include "core/catalogue/listfile.h"
#include "core/catalogue/listsource.h"
#include "core/lists/history.h"
#include "support/appfolder.h"

#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestHistory : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void record_data();
    void record();
    void bytesAreGbkWithCrLf();
    void missingFileRecordsNothing();
    void recordedModes();
};

namespace {
QStringList numbered(int count, const QString &stem = u"old"_s)
{
    QStringList names;
    for (int i = 1; i <= count; ++i)
        names.append(stem + QString::number(i));
    return names;
}
} // namespace

void TestHistory::record_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("empty") << QByteArray() << QStringList{u"新"_s};
    QTest::newRow("again") << TextFile::encodeLines({u"新"_s, u"x"_s})
                           << QStringList{u"新"_s, u"新"_s, u"x"_s};
    QTest::newRow("full loses the oldest")
        << TextFile::encodeLines(numbered(20)) << (QStringList{u"新"_s} + numbered(19));
    QTest::newRow("hand-written 30 lines")
        << TextFile::encodeLines(numbered(30)) << (QStringList{u"新"_s} + numbered(19));
    QTest::newRow("blank lines go")
        << QByteArray("a\r\n\r\n\r\nb\r\n\r\n") << QStringList{u"新"_s, u"a"_s, u"b"_s};
    QTest::newRow("lf and no ending") << QByteArray("a\nb") << QStringList{u"新"_s, u"a"_s, u"b"_s};
    QTest::newRow("line of spaces kept") << QByteArray("  \r\n") << QStringList{u"新"_s, u"  "_s};
}

void TestHistory::record()
{
    QFETCH(QByteArray, before);
    QFETCH(QStringList, after);
    AppFolder app;
    app.writeBytes(u"cons/lishi.inb"_s, before);
    History::record(app.file(u"cons/lishi.inb"_s), u"新"_s);
    QCOMPARE(ListFile(app.file(u"cons/lishi.inb"_s)).read().valueOr({}), after);
}

void TestHistory::bytesAreGbkWithCrLf()
{
    AppFolder app;
    app.writeBytes(u"cons/lishi.inb"_s, "a\nb");
    History::record(app.file(u"cons/lishi.inb"_s), u"两只老虎"_s);
    QCOMPARE(app.readBytes(u"cons/lishi.inb"_s),
             QByteArray("\xc1\xbd\xd6\xbb\xc0\xcf\xbb\xa2\r\na\r\nb\r\n"));
}

void TestHistory::missingFileRecordsNothing()
{
    AppFolder app;
    QVERIFY(QFile::remove(app.file(u"cons/lishi.inb"_s)));
    History::record(app.file(u"cons/lishi.inb"_s), u"新"_s);
    QVERIFY(!QFile::exists(app.file(u"cons/lishi.inb"_s)));
}

void TestHistory::recordedModes()
{
    QVERIFY(ListSource::ofCategory(1).recordsHistory());
    QVERIFY(ListSource::ofCategory(14).recordsHistory());
    QVERIFY(!ListSource::favourites().recordsHistory());
    QVERIFY(!ListSource::history().recordsHistory());
    QVERIFY(!ListSource::ofFolder(u"动物"_s).recordsHistory());
}

QTEST_GUILESS_MAIN(TestHistory)
#include "test_history.moc"
