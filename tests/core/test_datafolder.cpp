// Where the application folder lies, and the first-start copy of the
// installed defaults into the user's own folder.
#include "core/apperror.h"
#include "core/datafolder.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

using Tree = QMap<QString, QByteArray>;

class TestDataFolder : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void locate_data();
    void locate();
    void userFolder_data();
    void userFolder();
    void keepsWhatTheUserHas();
    void completesAnInterruptedCopy();
    void reportsTheFolder_data();
    void reportsTheFolder();
};

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// Every file under root, hidden ones too, by relative path; folders as "dir/".
Tree tree(const QString &root)
{
    Tree files;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        const QString rel = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir())
            files.insert(rel + u'/', {});
        else if (f.open(QIODevice::ReadOnly))
            files.insert(rel, f.readAll());
    }
    return files;
}

// A data folder as shipped: `tag` in every file tells the copies apart.
void writeData(const QString &root, const QByteArray &tag)
{
    for (const QString &name : {u"cons/b01.inb"_s, u"cons/guihu.inb"_s, u"cons/update.inb"_s,
                                u"cons/shoucang.inb"_s, u"cons/lishi.inb"_s, u"res/showoff.htm"_s,
                                u"自定义节目/我的动画/说明.txt"_s, u"res/fla/.keep"_s})
        write(QDir(root).filePath(name), tag + ' ' + name.toUtf8());
    QDir(root).mkpath(u"自定义节目/空的"_s);
}

// What the user's folder holds after a complete copy of writeData(tag).
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
    const QString defaults = root.filePath(u"defaults"_s);
    const QString user = root.filePath(u"home/.local/share/Qorvel儿童乐园"_s);
    QDir().mkpath(program);
    write(program + u"/Qorvel儿童乐园"_s, "ELF");
    write(program + u"/ruffle/ruffle.js"_s, "js");
    if (programHasLists)
        writeData(program, "program");
    if (haveDefaults)
        writeData(defaults, "defaults");
    if (!programWritable) {
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(program).isWritable())
            QSKIP("this user may write into read-only folders");
    }

    const DataFolder::Location where = DataFolder::locate(program, defaults, user);
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(where.installed, !copiedFrom.isEmpty());
    QCOMPARE(where.appDir, copiedFrom.isEmpty() ? program : user);
    if (copiedFrom.isEmpty())
        QVERIFY(!QFileInfo::exists(user));
    else
        QCOMPARE(tree(user), expectedCopy(copiedFrom));
}

void TestDataFolder::userFolder_data()
{
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("expected");
    QTest::newRow("XDG_DATA_HOME") << u"/data/"_s << u"/data/Qorvel儿童乐园"_s;
    QTest::newRow("unset") << QString() << u"/home/k/.local/share/Qorvel儿童乐园"_s;
    QTest::newRow("relative is ignored") << u"data"_s << u"/home/k/.local/share/Qorvel儿童乐园"_s;
}

void TestDataFolder::userFolder()
{
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, expected);
    QCOMPARE(DataFolder::userFolder(xdgDataHome, u"/home/k"_s), expected);
}

void TestDataFolder::keepsWhatTheUserHas()
{
    QTemporaryDir root;
    const QString defaults = root.filePath(u"defaults"_s);
    const QString user = root.filePath(u"user"_s);
    writeData(defaults, "defaults");
    write(user + u"/cons/lishi.inb"_s, "my history");
    write(user + u"/自定义节目/我的动画/说明.txt"_s, "my note");

    DataFolder::fill(defaults, user);
    Tree expected = expectedCopy("defaults");
    expected[u"cons/lishi.inb"_s] = "my history";
    expected[u"自定义节目/我的动画/说明.txt"_s] = "my note";
    QCOMPARE(tree(user), expected);

    // Once complete, what the user throws away stays away.
    QFile::remove(user + u"/cons/shoucang.inb"_s);
    QDir(user + u"/自定义节目/空的"_s).removeRecursively();
    DataFolder::fill(defaults, user);
    QVERIFY(!QFileInfo::exists(user + u"/cons/shoucang.inb"_s));
    QVERIFY(!QFileInfo::exists(user + u"/自定义节目/空的"_s));
}

void TestDataFolder::completesAnInterruptedCopy()
{
    QTemporaryDir root;
    const QString defaults = root.filePath(u"defaults"_s);
    const QString user = root.filePath(u"user"_s);
    writeData(defaults, "defaults");
    // Killed while writing the key; b01 had arrived.
    write(user + u"/cons/b01.inb"_s, "defaults cons/b01.inb");
    write(user + u"/cons/guihu.inb.qorvel-part"_s, "defa");
    // And something in the way of a later folder: the copy stops there.
    write(user + u"/res"_s, "in the way");
    QVERIFY_THROWS_EXCEPTION(AppError, DataFolder::fill(defaults, user));
    QVERIFY(!QFileInfo::exists(user + u'/' + DataFolder::CompleteMarker));
    QCOMPARE(tree(user).value(u"cons/guihu.inb"_s), "defaults cons/guihu.inb"_ba);

    QFile::remove(user + u"/res"_s);
    DataFolder::fill(defaults, user);
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
    const QString program = root.filePath(u"program"_s);
    const QString defaults = root.filePath(u"defaults"_s);
    const QString parent = root.filePath(u"share"_s);
    const QString user = parent + u"/Qorvel儿童乐园"_s;
    QDir().mkpath(program);
    QDir().mkpath(parent);
    if (obstacle != u"no defaults"_s)
        writeData(defaults, "defaults");
    if (obstacle == u"file"_s)
        write(user, "a file");
    if (obstacle == u"link"_s)
        QVERIFY(QFile::link(root.filePath(u"gone"_s), user));
    if (obstacle == u"read-only"_s) {
        QFile::setPermissions(parent, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(parent).isWritable())
            QSKIP("this user may write into read-only folders");
    }

    QString message;
    try {
        DataFolder::locate(program, defaults, user);
    } catch (const AppError &error) {
        message = error.report();
    }
    QFile::setPermissions(parent, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(message.contains(obstacle == u"no defaults"_s ? defaults : user), qPrintable(message));
    if (obstacle == u"file"_s)
        QCOMPARE(tree(parent).value(u"Qorvel儿童乐园"_s), "a file"_ba);
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "test_datafolder.moc"
