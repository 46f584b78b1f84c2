// Where saved games are kept, under which names, and what is never read.
#include "core/lists/savedgames.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A .sol file as the runtime writes it: 00 BF, length, "TCSO", the rest.
QByteArray solFile(const QByteArray &body = QByteArray(20, 'x'))
{
    QByteArray rest = QByteArray("TCSO\x00\x04\x00\x00\x00\x00", 10) + body;
    QByteArray out("\x00\xbf", 2);
    out.resize(6);
    qToBigEndian(quint32(rest.size()), out.data() + 2);
    return out + rest;
}

} // namespace

class TestSavedGames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void programmeOfMovie_data();
    void programmeOfMovie();
    void namesStayInTheirFolder_data();
    void namesStayInTheirFolder();
    void damagedSavesAreSkippedAndKept();
    void unwritableFolderRefuses();
};

void TestSavedGames::programmeOfMovie_data()
{
    QTest::addColumn<QString>("movie");
    QTest::addColumn<QString>("programme");
    QTest::newRow("cache, moved folder") << u"/b/c/res/fla/小星星.swf"_s << u"节目/小星星"_s;
    QTest::newRow("own folder") << u"/a/自定义节目/动物/x.swf"_s << u"自定义节目/动物/x.swf"_s;
    QTest::newRow("elsewhere") << u"/tmp/x.swf"_s << u"自定义节目/tmp/x.swf"_s;
    QTest::newRow("no folder") << u"/x.swf"_s << QString();
    QTest::newRow("cache, not .swf") << u"/a/res/fla/x.swf.part"_s << QString();
}

void TestSavedGames::programmeOfMovie()
{
    QFETCH(QString, movie);
    QFETCH(QString, programme);
    QCOMPARE(SavedGames::programmeOf(movie), programme);
}

void TestSavedGames::namesStayInTheirFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("file");
    QTest::newRow("plain") << u"progress"_s << u"progress.sol"_s;
    QTest::newRow("chinese") << u"进度"_s << u"进度.sol"_s;
    QTest::newRow("path") << u"#a/../b"_s << u"#a%2F..%2Fb.sol"_s;
    QTest::newRow("dots") << u".."_s << u"...sol"_s;
    QTest::newRow("windows") << u"a:b*c\\d%"_s << u"a%3Ab%2Ac%5Cd%25.sol"_s;
    QTest::newRow("too long") << QString(300, u'x') << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestSavedGames::namesStayInTheirFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, file);
    QCOMPARE(SavedGames::fileNameOf(name), file);
    if (file.isEmpty())
        return;
    // Kept and read back under the same name.
    QTemporaryDir root;
    const SavedGames saves(root.path());
    QVERIFY(saves.save(u"节目/甲"_s, name, solFile()));
    QCOMPARE(saves.load(u"节目/甲"_s), (QMap<QString, QByteArray>{{name, solFile()}}));
    QCOMPARE(QDir(root.filePath(u"节目/甲"_s)).entryList(QDir::Files | QDir::Hidden),
             QStringList{file});
}

void TestSavedGames::damagedSavesAreSkippedAndKept()
{
    QTemporaryDir root;
    const SavedGames saves(root.path());
    const QMap<QString, QByteArray> damaged{
        {u"empty"_s, {}},
        {u"truncated"_s, solFile().chopped(3)},
        {u"not a save"_s, QByteArray(40, 'x')},
        {u"too large"_s, solFile(QByteArray(SavedGames::MaxSaveBytes, 'x'))},
    };
    QDir().mkpath(root.filePath(u"节目/甲"_s));
    for (auto it = damaged.cbegin(); it != damaged.cend(); ++it) {
        QFile f(root.filePath(u"节目/甲/"_s + it.key() + u".sol"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(it.value());
        QVERIFY(!saves.save(u"节目/甲"_s, it.key(), it.value()));
    }
    QVERIFY(saves.save(u"节目/甲"_s, u"good"_s, solFile()));
    QCOMPARE(saves.load(u"节目/甲"_s).keys(), QStringList{u"good"_s});
    QCOMPARE(QDir(root.filePath(u"节目/甲"_s)).count(), uint(damaged.size() + 1 + 2));
    QVERIFY(saves.remove(u"节目/甲"_s, u"good"_s));
    QVERIFY(saves.load(u"节目/甲"_s).isEmpty());
}

void TestSavedGames::unwritableFolderRefuses()
{
    // The saves folder's place is taken by a file: nothing can be kept, and
    // nothing breaks.
    QTemporaryDir home;
    QFile blocker(home.filePath(u"saves"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    const SavedGames saves(blocker.fileName());
    QVERIFY(!saves.canSave(u"节目/甲"_s));
    QVERIFY(!saves.save(u"节目/甲"_s, u"progress"_s, solFile()));
    QVERIFY(saves.load(u"节目/甲"_s).isEmpty());
    QVERIFY(SavedGames(home.path()).canSave(u"节目/甲"_s));
}

QTEST_GUILESS_MAIN(TestSavedGames)
#include "test_savedgames.moc"
