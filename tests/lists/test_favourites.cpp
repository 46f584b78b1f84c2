// The favourites and history files: adding, removing, clearing, and what a
// crash in the middle of it leaves.
#include "core/base/apperror.h"
#include "core/catalogue/listfile.h"
#include "core/lists/favourites.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFavourites : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void refusals_data();
    void refusals();
    void appendEndsAGluedLastLine_data();
    void appendEndsAGluedLastLine();
    void clearAndRewrite();
    void failedWriteLeavesTheFile();
    void killedWriterNeverTearsTheFile();
};

namespace {
QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

void TestFavourites::refusals_data()
{
    QTest::addColumn<bool>("custom");
    QTest::addColumn<int>("state"); // -1: no row selected
    QTest::addColumn<QString>("message");
    using S = ProgrammeState;
    QTest::newRow("custom") << true << int(S::Cached) << u"此类不能加入！"_s;
    QTest::newRow("nothing selected") << false << -1 << u"请先选择节目"_s;
    QTest::newRow("not cached") << false << int(S::NotCached) << u"请下载完成后再加入“收藏”！"_s;
    QTest::newRow("downloading") << false << int(S::Downloading) << u"请下载完成后再加入“收藏”！"_s;
    QTest::newRow("cached") << false << int(S::Cached) << QString();
}

void TestFavourites::refusals()
{
    QFETCH(bool, custom);
    QFETCH(int, state);
    QFETCH(QString, message);
    const ProgrammeItem item{u"小星星"_s, ProgrammeState(qMax(state, 0))};
    QCOMPARE(Favourites::refusal(custom, state < 0 ? nullptr : &item), message);
}

void TestFavourites::appendEndsAGluedLastLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("missing file") << QByteArray("<missing>") << QByteArray("\xd0\xc2\r\n");
    QTest::newRow("empty") << QByteArray() << QByteArray("\xd0\xc2\r\n");
    QTest::newRow("ended") << QByteArray("a\r\n") << QByteArray("a\r\n\xd0\xc2\r\n");
    QTest::newRow("no ending") << QByteArray("a") << QByteArray("a\r\n\xd0\xc2\r\n");
    QTest::newRow("lf only") << QByteArray("a\n") << QByteArray("a\n\xd0\xc2\r\n");
    // The same name again is a second entry.
    QTest::newRow("duplicate") << QByteArray("\xd0\xc2\r\n")
                               << QByteArray("\xd0\xc2\r\n\xd0\xc2\r\n");
}

void TestFavourites::appendEndsAGluedLastLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"shoucang.inb"_s);
    if (before != "<missing>")
        write(file, before);
    QVERIFY(ListFile(file).append(u"新"_s));
    QCOMPARE(read(file), after);
}

void TestFavourites::clearAndRewrite()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"lishi.inb"_s);
    write(file, "a\r\n\r\nb\r\n\r\n");
    QVERIFY(ListFile(file).rewrite({u"b"_s}));
    QCOMPARE(read(file), QByteArray("b\r\n"));
    QVERIFY(ListFile(file).clear());
    QCOMPARE(QFileInfo(file).size(), 0);
    QVERIFY(ListFile(dir.filePath(u"new.inb"_s)).clear());
    QCOMPARE(read(dir.filePath(u"new.inb"_s)), QByteArray());
}

void TestFavourites::failedWriteLeavesTheFile()
{
    // A folder where the list should be: nothing can be written, and the
    // caller hears of it.
    QTemporaryDir dir;
    const QString file = dir.filePath(u"shoucang.inb"_s);
    QVERIFY(QDir().mkpath(file));
    QVERIFY(!ListFile(file).append(u"x"_s));
    QVERIFY(!ListFile(file).rewrite({u"x"_s}));
    QVERIFY(!ListFile(file).clear());
    QVERIFY(QFileInfo(file).isDir());
}

void TestFavourites::killedWriterNeverTearsTheFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"shoucang.inb"_s);
    const QRegularExpression whole(u"^(n\\d+\\r\\n)+$"_s);
    write(file, "n0\r\n");
    int before = 0;
    for (int round = 0; round < 20; ++round) {
        QProcess victim;
        victim.start(QStringLiteral(QORVEL_FAVOURITES_VICTIM), {file});
        QVERIFY(victim.waitForStarted());
        // Kill it at some moment after it has got going.
        QTRY_VERIFY_WITH_TIMEOUT(ListFile(file).read().valueOr({}).last().mid(1).toInt() > before,
                                 20000);
        QTest::qWait(QRandomGenerator::global()->bounded(30)); // on purpose: a random moment
        victim.kill();
        QVERIFY(victim.waitForFinished());
        // Whole lines of consecutive names, never a torn one.
        const QString text = QString::fromLatin1(read(file));
        QVERIFY2(whole.match(text).hasMatch(), qPrintable(text.left(200)));
        const QStringList names = ListFile(file).read().valueOr({});
        QVERIFY(names.size() <= 6);
        for (int i = 1; i < names.size(); ++i)
            QCOMPARE(names[i].mid(1).toInt(), names[i - 1].mid(1).toInt() + 1);
        QVERIFY(names.last().mid(1).toInt() >= before);
        before = names.last().mid(1).toInt();
    }
    qInfo("%d names written between the kills", before);
}

QTEST_GUILESS_MAIN(TestFavourites)
#include "test_favourites.moc"
