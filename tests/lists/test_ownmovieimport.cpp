// Which files a parent's drop makes movies of the child's own, and copying
// them without overwriting or leaving half a file.
#include "core/lists/ownmovieimport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestOwnMovieImport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusal_data();
    void refusal();
    void copyThatFailsLeavesNothing();
};

void TestOwnMovieImport::refusal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size"); // made sparse to this size when given
    QTest::addColumn<QString>("reason");
    const QByteArray movie("FWS\x08rest", 8);
    QTest::newRow("plain") << u"a.swf"_s << movie << qint64(0) << QString();
    QTest::newRow("zlib") << u"a.swf"_s << QByteArray("CWS\x08....") << qint64(0) << QString();
    QTest::newRow("lzma, any name")
        << u"a.bin"_s << QByteArray("ZWS\x0d....") << qint64(0) << QString();
    QTest::newRow("text renamed") << u"a.swf"_s << QByteArray("hello world") << qint64(0)
                                  << u"不是swf格式的flash文件"_s;
    QTest::newRow("empty") << u"a.swf"_s << QByteArray() << qint64(0)
                           << u"不是swf格式的flash文件"_s;
    QTest::newRow("2 GB") << u"big.swf"_s << movie << qint64(2) * 1024 * 1024 * 1024
                          << u"文件太大（超过256 MB）"_s;
    QTest::newRow("newline in the name")
        << u"a\nb.swf"_s << movie << qint64(0) << u"文件名里有换行等不能显示的字符"_s;
    QTest::newRow("shell characters") << u"$(x);`y`|&.swf"_s << movie << qint64(0) << QString();
    QTest::newRow("missing") << QString() << QByteArray() << qint64(0) << u"找不到这个文件"_s;
}

void TestOwnMovieImport::refusal()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(name.isEmpty() ? u"gone.swf"_s : name);
    if (!name.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        if (size > 0)
            QVERIFY(f.resize(size));
    }
    QCOMPARE(OwnMovieImport::refusalOf(path), reason);
}

void TestOwnMovieImport::copyThatFailsLeavesNothing()
{
    QTemporaryDir dir;
    QFile movie(dir.filePath(u"a.swf"_s));
    QVERIFY(movie.open(QIODevice::WriteOnly) && movie.write("FWS\x08", 4) == 4);
    movie.close();
    // /proc takes no new files, whoever asks.
    OwnMovieImport::Plan plan = OwnMovieImport::plan({movie.fileName()}, u"/proc"_s, u"x"_s);
    OwnMovieImport::Outcome outcome = OwnMovieImport::run(plan);
    QVERIFY(outcome.copied.isEmpty());
    QCOMPARE(outcome.failed.size(), 1);
    QVERIFY(!OwnMovieImport::report(outcome.failed).isEmpty());

    // Cancelled halfway: the copy under way is not left half written.
    const QString custom = dir.filePath(u"custom"_s);
    QVERIFY(movie.open(QIODevice::ReadWrite) && movie.resize(5 << 20));
    movie.close();
    plan = OwnMovieImport::plan({movie.fileName()}, custom, QString());
    outcome = OwnMovieImport::run(plan, [](qint64 copied) { return copied < (2 << 20); });
    QVERIFY(outcome.cancelled);
    QVERIFY(outcome.copied.isEmpty());
    QCOMPARE(QDir(custom + u"/我的节目"_s).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestOwnMovieImport)
#include "test_ownmovieimport.moc"
