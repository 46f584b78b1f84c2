// Where the application folder lies, and the first-start copy of the
// installed defaults into the user's own folder.
#include "core/base/apperror.h"
#include "core/base/datafolder.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestDataFolder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void locate_data();
    void locate();
    void userFolder();
    void keepsWhatTheUserHas();
    void completesAnInterruptedCopy();
    void reportsTheFolder_data();
    void reportsTheFolder();
};

namespace {

using Tree = QMap<QString, QByteArray>;
constexpr auto Writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr auto ReadOnly = QFile::ReadOwner | QFile::ExeOwner;

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every file and folder ("name/") under root, hidden ones too.
Tree tree(const QString &root)
{
    Tree files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        const QString rel = QDir(root).relativeFilePath(f.fileName());
        if (it.fileInfo().isDir())
            files.insert(rel + u'/', {});
        else if (f.open(QIODevice::ReadOnly))
            files.insert(rel, f.readAll());
    }
    return files;
}

// A data folder as shipped; `tag` tells copies from different sources apart.
void writeData(const QString &root, const QByteArray &tag)
{
    for (const char *name : {"cons/b01.inb", "cons/guihu.inb", "cons/update.inb", "cons/lishi.inb",
                             "res/showoff.htm", "自定义节目/我的动画/说明.txt", "res/fla/.keep"})
        write(root + u'/' + QString::fromUtf8(name), tag + ' ' + name);
    QDir(root).mkpath(u"自定义节目/空的"_s);
}

// The user's folder after a complete copy of writeData(tag).
Tree expectedCopy(const QByteArray &tag)
{
    QTemporaryDir scratch;
    writeData(scratch.path(), tag);
    Tree files = tree(scratch.path());
    files.remove(u"res/fla/.keep"_s);
    files.insert(DataFolder::CompleteMarker, "1\n");
    return files;
}

} // namespace

void TestDataFolder::locate_data()
{
    QTest::addColumn<bool>("programHasLists");
    QTest::addColumn<bool>("programWritable");
    QTest::addColumn<bool>("haveDefaults");
    QTest::addColumn<QByteArray>("copiedFrom"); // empty: the program's own folder is used
    QTest::newRow("unpacked into a folder of its own") << true << true << true << QByteArray();
    QTest::newRow("installed, no lists beside it") << false << true << true << "defaults"_ba;
    QTest::newRow("installed, read-only") << false << false << true << "defaults"_ba;
    QTest::newRow("read-only folder with lists") << true << false << true << "defaults"_ba;
    QTest::newRow("read-only folder, no defaults") << true << false << false << "program"_ba;
}

void TestDataFolder::locate()
{
    QFETCH(bool, programHasLists);
    QFETCH(bool, programWritable);
    QFETCH(bool, haveDefaults);
    QFETCH(QByteArray, copiedFrom);
    QTemporaryDir root;
    const QString program = root.filePath(u"program"_s);
    const QString user = root.filePath(u"home/.local/share/Qorvel儿童乐园"_s);
    write(program + u"/ruffle/ruffle.js"_s, "not data");
    if (programHasLists)
        writeData(program, "program");
    if (haveDefaults)
        writeData(root.filePath(u"defaults"_s), "defaults");
    QFile::setPermissions(program, programWritable ? Writable : ReadOnly);
    if (!programWritable && QFileInfo(program).isWritable())
        QSKIP("this user may write into read-only folders");

    const Result<DataFolder::Location> located =
        DataFolder::locate(program, root.filePath(u"defaults"_s), user);
    QVERIFY(located);
    const DataFolder::Location &where = located.value();
    QFile::setPermissions(program, Writable);
    QCOMPARE(where.installed, !copiedFrom.isEmpty());
    QCOMPARE(where.appDir, where.installed ? user : program);
    QCOMPARE(tree(user), where.installed ? expectedCopy(copiedFrom) : Tree());
}

void TestDataFolder::userFolder()
{
    const QString inHome = u"/home/k/.local/share/Qorvel儿童乐园"_s;
    QCOMPARE(DataFolder::userFolder(u"/data/"_s, u"/home/k"_s), u"/data/Qorvel儿童乐园"_s);
    QCOMPARE(DataFolder::userFolder(QString(), u"/home/k"_s), inHome);
    QCOMPARE(DataFolder::userFolder(u"relative"_s, u"/home/k"_s), inHome);
}

void TestDataFolder::keepsWhatTheUserHas()
{
    QTemporaryDir root;
    const QString defaults = root.filePath(u"defaults"_s);
    const QString user = root.filePath(u"user"_s);
    writeData(defaults, "defaults");
    write(user + u"/cons/lishi.inb"_s, "my history");
    write(user + u"/自定义节目/我的动画/说明.txt"_s, "my note");

    QVERIFY(DataFolder::fill(defaults, user));
    Tree expected = expectedCopy("defaults");
    expected[u"cons/lishi.inb"_s] = "my history";
    expected[u"自定义节目/我的动画/说明.txt"_s] = "my note";
    QCOMPARE(tree(user), expected);

    // Once complete, what the user throws away stays away.
    QFile::remove(user + u"/cons/b01.inb"_s);
    QDir(user + u"/自定义节目/空的"_s).removeRecursively();
    QVERIFY(DataFolder::fill(defaults, user));
    QVERIFY(!QFileInfo::exists(user + u"/cons/b01.inb"_s));
    QVERIFY(!QFileInfo::exists(user + u"/自定义节目/空的"_s));
}

void TestDataFolder::completesAnInterruptedCopy()
{
    QTemporaryDir root;
    const QString defaults = root.filePath(u"defaults"_s);
    const QString user = root.filePath(u"user"_s);
    writeData(defaults, "defaults");
    // Killed while writing the key, after the first list had arrived; and
    // something in the way of a later folder, so that this copy stops too.
    write(user + u"/cons/b01.inb"_s, "defaults cons/b01.inb");
    write(user + u"/cons/guihu.inb.qorvel-part"_s, "defa");
    write(user + u"/res"_s, "in the way");
    QVERIFY(!DataFolder::fill(defaults, user));
    QVERIFY(!QFileInfo::exists(user + u'/' + DataFolder::CompleteMarker));

    QFile::remove(user + u"/res"_s);
    QVERIFY(DataFolder::fill(defaults, user));
    QCOMPARE(tree(user), expectedCopy("defaults"));
}

void TestDataFolder::reportsTheFolder_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("a file in its place") << u"file"_s;
    QTest::newRow("a dangling link") << u"link"_s;
    QTest::newRow("a read-only parent") << u"read-only"_s;
    QTest::newRow("no defaults installed") << u"no defaults"_s;
}

void TestDataFolder::reportsTheFolder()
{
    QFETCH(QString, obstacle);
    QTemporaryDir root;
    const QString defaults = root.filePath(u"defaults"_s);
    const QString parent = root.filePath(u"share"_s);
    const QString user = parent + u"/Qorvel儿童乐园"_s;
    QDir().mkpath(parent);
    if (obstacle != u"no defaults"_s)
        writeData(defaults, "defaults");
    if (obstacle == u"file"_s)
        write(user, "a file");
    if (obstacle == u"link"_s)
        QVERIFY(QFile::link(root.filePath(u"gone"_s), user));
    if (obstacle == u"read-only"_s && QFile::setPermissions(parent, ReadOnly) &&
        QFileInfo(parent).isWritable())
        QSKIP("this user may write into read-only folders");

    const Result<DataFolder::Location> where =
        DataFolder::locate(root.filePath(u"program"_s), defaults, user);
    QVERIFY(!where);
    const QString message = where.error().report();
    QFile::setPermissions(parent, Writable);
    QVERIFY2(message.contains(obstacle == u"no defaults"_s ? defaults : user), qPrintable(message));
    if (obstacle == u"file"_s)
        QCOMPARE(tree(parent).value(u"Qorvel儿童乐园"_s), "a file"_ba);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "test_datafolder.moc"
