// Reading and writing the GBK list files, and marking rows cached or not.
#include "core/base/apperror.h"
#include "core/base/textfile.h"
#include "core/catalogue/listfile.h"
#include "core/catalogue/programmelist.h"
#include "core/catalogue/programmename.h"
#include "support/appfolder.h"

#include <QFile>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The texts of the rows a list file gives.
QStringList rowsOf(const AppFolder &app, const QString &listFile)
{
    const Result<QList<ProgrammeItem>> items = loadProgrammeItems(AppPaths(app.path()), listFile);
    if (!items)
        return {u"not read: "_s + items.error().report()};
    QStringList rows;
    for (const ProgrammeItem &item : items.value())
        rows.append(ProgrammeListModel::rowText(item));
    return rows;
}

} // namespace

class TestListFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void decodeLines_data();
    void decodeLines();
    void encodeWritesGbkWithCrLf();
    void rewriteReplacesWholeFile();
    void readMissingFileFails();
    void firstField_data();
    void firstField();
    void rowsAreMarked();
    void emptyCacheFileIsDeleted();
    void emptyListGivesNoRows();
    void unusableNamesAreNeverLookedUp();
    void names_data();
    void names();
    void cacheNameLength_data();
    void cacheNameLength();
};

void TestListFiles::decodeLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lf") << QByteArray("a\nb\n") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lone cr") << QByteArray("a\rb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("no ending") << QByteArray("a\r\nb") << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("empty line kept")
        << QByteArray("a\r\n\r\nb\r\n") << QStringList{u"a"_s, QString(), u"b"_s};
    QTest::newRow("spaces belong to the name")
        << QByteArray(" a \r\n   \r\n") << QStringList{u" a "_s, u"   "_s};
    QTest::newRow("gbk") << QByteArray("\xb0\xcd\xc0\xe8\xb3\xc7\r\n")
                         << QStringList{QStringLiteral("巴黎城")};
    QTest::newRow("empty file") << QByteArray() << QStringList{};
}

void TestListFiles::decodeLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::decodeLines(bytes), lines);
}

void TestListFiles::encodeWritesGbkWithCrLf()
{
    const QByteArray bytes =
        TextFile::encodeLines({QStringLiteral("小兔子乖乖"), QStringLiteral("Twinkle")});
    QCOMPARE(bytes, QByteArray("\xd0\xa1\xcd\xc3\xd7\xd3\xb9\xd4\xb9\xd4\r\nTwinkle\r\n"));
    QCOMPARE(TextFile::decodeLines(bytes),
             (QStringList{QStringLiteral("小兔子乖乖"), QStringLiteral("Twinkle")}));
}

void TestListFiles::rewriteReplacesWholeFile()
{
    AppFolder app;
    const QString path = app.file(QStringLiteral("cons/lishi.inb"));
    app.writeList(QStringLiteral("cons/lishi.inb"),
                  {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")});
    QVERIFY(ListFile(path).rewrite({QStringLiteral("四")}));
    QCOMPARE(app.readBytes(QStringLiteral("cons/lishi.inb")), QByteArray("\xcb\xc4\r\n"));
    // Nothing of the temporary file is left beside it.
    QCOMPARE(QDir(app.file(QStringLiteral("cons"))).entryList(QDir::Files).size(), 17);
}

void TestListFiles::readMissingFileFails()
{
    AppFolder app;
    const Result<QStringList> read = ListFile(app.file(QStringLiteral("cons/nothere.inb"))).read();
    QVERIFY(!read);
    QCOMPARE(read.error().number(), int(AppError::FileNotFound));
    QVERIFY(read.error().description().contains(u"nothere.inb"_s));
}

void TestListFiles::firstField_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << QByteArray("abcdefghijklm\r\nzzz") << u"abcdefghijklm"_s;
    QTest::newRow("comma") << QByteArray("abc,def\r\n") << u"abc"_s;
    QTest::newRow("quoted") << QByteArray("\"abc,def\",x") << u"abc,def"_s;
    QTest::newRow("unterminated quote") << QByteArray("\"abc") << u"abc"_s;
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("lf only") << QByteArray("key\nnext") << u"key"_s;
}

void TestListFiles::firstField()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, field);
    QCOMPARE(TextFile::firstField(bytes), field);
}

void TestListFiles::rowsAreMarked()
{
    AppFolder app;
    app.writeBytes(QStringLiteral("cons/b02.inb"), "A\r\n\r\nB\r\n   \r\nC");
    app.cache(QStringLiteral("A"));
    app.cache(QStringLiteral("C"));
    const QStringList rows = rowsOf(app, QStringLiteral("cons\\b02.inb"));
    QCOMPARE(rows, (QStringList{u"  A"_s, u"* B"_s, u"*    "_s, u"  C"_s}));
}

void TestListFiles::emptyCacheFileIsDeleted()
{
    AppFolder app;
    app.writeList(QStringLiteral("cons/b01.inb"), {QStringLiteral("半截")});
    app.cache(QStringLiteral("半截"), QByteArray());
    const QStringList rows = rowsOf(app, QStringLiteral("cons/b01.inb"));
    QCOMPARE(rows, QStringList{QStringLiteral("* 半截")});
    QVERIFY(!QFile::exists(app.flashDir() + QStringLiteral("半截.swf")));
}

void TestListFiles::emptyListGivesNoRows()
{
    AppFolder app;
    QVERIFY(rowsOf(app, QStringLiteral("cons/b03.inb")).isEmpty());
    QVERIFY(!loadProgrammeItems(AppPaths(app.path()), QStringLiteral("cons/b99.inb")));
}

void TestListFiles::unusableNamesAreNeverLookedUp()
{
    AppFolder app;
    // A name climbing out of the cache must not find the file it names.
    app.writeBytes(QStringLiteral("res/outside.swf"), "FWS");
    app.writeList(QStringLiteral("cons/b01.inb"), {QStringLiteral("../outside")});
    QCOMPARE(rowsOf(app, QStringLiteral("cons/b01.inb")), QStringList{u"* ../outside"_s});
}

void TestListFiles::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");
    QTest::newRow("chinese") << QStringLiteral("两只老虎") << true;
    QTest::newRow("spaces") << u"  old macdonald "_s << true;
    QTest::newRow("dots inside") << u"a.b"_s << true;
    QTest::newRow("parent") << u".."_s << false;
    QTest::newRow("climb") << u"../x"_s << false;
    QTest::newRow("slash") << u"a/b"_s << false;
    QTest::newRow("backslash") << u"a\\b"_s << false;
    QTest::newRow("colon") << u"c:x"_s << false;
    QTest::newRow("star") << u"a*"_s << false;
    QTest::newRow("question") << u"a?"_s << false;
    QTest::newRow("quote") << u"a\"b"_s << false;
    QTest::newRow("angle") << u"<a>"_s << false;
    QTest::newRow("bar") << u"a|b"_s << false;
    QTest::newRow("control") << u"a\tb"_s << false;
    QTest::newRow("empty") << QString() << false;
}

void TestListFiles::names()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    QCOMPARE(isUsableProgrammeName(name), usable);
}

void TestListFiles::cacheNameLength_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");
    const QString han(81, QChar(0x4e50)); // 81 x 3 bytes of UTF-8
    QTest::newRow("ascii, longest") << QString(244, u'a') << true;
    QTest::newRow("ascii, one byte more") << QString(245, u'a') << false;
    QTest::newRow("chinese, longest") << han + u"a"_s << true;
    QTest::newRow("chinese, one byte more") << han + u"ab"_s << false;
    QTest::newRow("chinese, one character more") << han + QChar(0x4e50) << false;
    QTest::newRow("three hundred") << QString(300, u'x') << false;
}

void TestListFiles::cacheNameLength()
{
    QFETCH(QString, name);
    QFETCH(bool, usable);
    QCOMPARE(isUsableCacheName(name), usable);
    // An accepted name really fits: its cache file and the temporary
    // companion can both be made on this file system.
    if (usable) {
        QTemporaryDir dir;
        for (const QString &suffix : {u".swf"_s, u".swf.AbC123"_s}) {
            QFile file(dir.filePath(name + suffix));
            QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(file.errorString()));
        }
    }
    // The list still shows it, unmarked, and never looks it up on disk.
    AppFolder app;
    app.writeList(u"cons/b01.inb"_s, {name});
    QCOMPARE(rowsOf(app, u"cons/b01.inb"_s), QStringList{u"* "_s + name});
}

QTEST_GUILESS_MAIN(TestListFiles)
#include "test_listfiles.moc"
