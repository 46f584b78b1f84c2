#include "playback/ruffleplayer.h"
#include "support/swfwriter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <QtTest>

using swf::Compression;

// Drives the real runtime in a real web view: needs a display (Xvfb).
class TestRufflePlayer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void frameCountIsThereAtOnce_data() { movies(); }
    void frameCountIsThereAtOnce();
    void framesAdvanceOneByOneAtTheRate_data() { movies(); }
    void framesAdvanceOneByOneAtTheRate();
    void gotoFrameLandsWithinASecond_data() { movies(); }
    void gotoFrameLandsWithinASecond();
    void stopPlayFreezesAndPlayResumes_data() { movies(); }
    void stopPlayFreezesAndPlayResumes();
    void movieThatStopsItself_data() { stopMovies(); }
    void movieThatStopsItself();
    void seekWhilePaused_data() { stopMovies(); }
    void seekWhilePaused();
    void loopWrapsToFirstFrame_data() { movies(); }
    void loopWrapsToFirstFrame();
    void emptyThenSamePathStartsAtOne_data() { movies(); }
    void emptyThenSamePathStartsAtOne();
    void damagedFileLeavesPlayerEmpty();
    void frameOnScreenIsFrameNum_data() { stopMovies(); }
    void frameOnScreenIsFrameNum();
    void actionScript3FrameIsEstimated();
    void pageReachesOnlyWhatItServes_data();
    void pageReachesOnlyWhatItServes();
    void pageNeverTouchesTheNetwork();

private:
    void movies();
    void stopMovies();
    QString write(const QString &name, const TestMovieOptions &o);
    QVariant evaluate(const QString &script) const;
    // Loads `path` afresh and waits until the movie has reached `frame`.
    bool start(const QString &path, int frame = 3);
    // The frame number the test movie draws in its corner, read off the screen.
    int frameOnScreen() const;

    QTemporaryDir m_dir;
    QWidget *m_window = nullptr;
    RufflePlayer *m_player = nullptr;
};

namespace {

constexpr int Rate = 24;
constexpr int Frames = 240;

struct Variant
{
    const char *name;
    int version;
    Compression compression;
};

const Variant Variants[] = {
    {"v6 plain", 6, Compression::None},
    {"v6 zlib", 6, Compression::Zlib},
    {"v8 plain", 8, Compression::None},
    {"v8 lzma", 8, Compression::Lzma},
};

// Frames reported between now and the end of the wait.
QList<int> framesDuring(QSignalSpy &spy, int ms)
{
    spy.clear();
    QTest::qWait(ms);
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out.append(args.at(0).toInt());
    return out;
}

// Which of the seven segments a..g are lit, as the writer draws the digits.
int digitFromSegments(int lit)
{
    static const int patterns[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    for (int d = 0; d < 10; ++d)
        if (patterns[d] == lit)
            return d;
    return -1;
}

} // namespace

int TestRufflePlayer::frameOnScreen() const
{
    const QImage image = m_player->widget()->grab().toImage();
    // Segment centres in a 30 by 50 cell; cells start 16 + 40 i from the
    // left, 80 pixels above the bottom of the 480 by 360 stage.
    static const QPoint centres[7] = {{15, 3}, {27, 12}, {27, 37}, {15, 47},
                                      {3, 37}, {3, 12},  {15, 25}};
    int number = 0;
    for (int i = 0; i < 4; ++i) {
        int lit = 0;
        for (int s = 0; s < 7; ++s) {
            const QPoint at = QPoint(16 + 40 * i, 360 - 80) + centres[s];
            if (qGray(image.pixel(at)) > 200)
                lit |= 1 << s;
        }
        const int digit = digitFromSegments(lit);
        if (digit < 0)
            return -1;
        number = number * 10 + digit;
    }
    return number;
}

QString TestRufflePlayer::write(const QString &name, const TestMovieOptions &o)
{
    const QString path = m_dir.filePath(name);
    if (!writeTestMovie(path, o))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void TestRufflePlayer::movies()
{
    QTest::addColumn<QString>("path");
    for (const Variant &v : Variants)
        QTest::newRow(v.name) << m_dir.filePath(QString::fromLatin1(v.name) +
                                                QStringLiteral(".swf"));
}

void TestRufflePlayer::stopMovies()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("v6") << m_dir.filePath(QStringLiteral("stop v6.swf"));
    QTest::newRow("v8") << m_dir.filePath(QStringLiteral("stop v8.swf"));
}

void TestRufflePlayer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const Variant &v : Variants) {
        TestMovieOptions o;
        o.version = v.version;
        o.compression = v.compression;
        o.frameRate = Rate;
        o.frameCount = Frames;
        write(QString::fromLatin1(v.name) + QStringLiteral(".swf"), o);
    }
    for (int version : {6, 8}) {
        TestMovieOptions o;
        o.version = version;
        o.compression = Compression::Zlib;
        o.frameCount = 60;
        o.stopFrame = 30;
        write(QStringLiteral("stop v%1.swf").arg(version), o);
    }
    m_window = new QWidget;
    m_window->resize(480, 360);
    m_player = new RufflePlayer(qEnvironmentVariable("QORVEL_APP_DIR"), m_window);
    m_player->widget()->setGeometry(0, 0, 480, 360);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    // The first load also compiles the runtime: allow it time once.
    TestMovieOptions o;
    QVERIFY2(start(write(QStringLiteral("warm-up.swf"), o), 2) || true, "warm-up");
}

void TestRufflePlayer::cleanupTestCase()
{
    delete m_player;
    delete m_window;
}

bool TestRufflePlayer::start(const QString &path, int frame)
{
    m_player->SetMovie(FlashPlayer::EmptyMovie);
    m_player->SetMovie(path);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 30000) {
        if (m_player->FrameNum() >= frame)
            return true;
        QTest::qWait(20);
    }
    return false;
}

void TestRufflePlayer::frameCountIsThereAtOnce()
{
    QFETCH(QString, path);
    m_player->SetMovie(FlashPlayer::EmptyMovie);
    QCOMPARE(m_player->Movie(), FlashPlayer::EmptyMovie);
    QCOMPARE(m_player->TotalFrames(), 0);
    m_player->SetMovie(path);
    QCOMPARE(m_player->Movie(), path);
    QCOMPARE(m_player->TotalFrames(), Frames);
    QCOMPARE(m_player->FrameNum(), 1);
    QVERIFY(m_player->Playing());
    QVERIFY(m_player->loadError().isEmpty());
}

void TestRufflePlayer::framesAdvanceOneByOneAtTheRate()
{
    QFETCH(QString, path);
    QVERIFY(start(path));
    QSignalSpy spy(m_player, &RufflePlayer::frameShown);
    const int first = m_player->FrameNum();
    QElapsedTimer t;
    t.start();
    const QList<int> seen = framesDuring(spy, 2500);
    const double rate = (m_player->FrameNum() - first) * 1000.0 / t.elapsed();
    qInfo("measured %.1f frames per second (movie: %d)", rate, Rate);
    QVERIFY2(rate > Rate * 0.7 && rate < Rate * 1.2, qPrintable(QString::number(rate)));
    // Every frame is reported, none twice, none skipped.
    QVERIFY(seen.size() > 10);
    for (qsizetype i = 1; i < seen.size(); ++i)
        QCOMPARE(seen[i], seen[i - 1] + 1);
    QVERIFY(m_player->Playing());
}

void TestRufflePlayer::gotoFrameLandsWithinASecond()
{
    QFETCH(QString, path);
    QVERIFY(start(path));
    QElapsedTimer t;
    t.start();
    m_player->GotoFrame(200);
    while (t.elapsed() < 1000 && m_player->FrameNum() < 200)
        QTest::qWait(5);
    const qint64 took = t.elapsed();
    const int frame = m_player->FrameNum();
    qInfo("GotoFrame(200) reached frame %d after %lld ms", frame, took);
    QVERIFY2(took < 1000, "too slow");
    QVERIFY(frame >= 200);
    QVERIFY(frame <= 200 + 2 + int(took * Rate / 1000));
    QVERIFY(m_player->Playing());
}

void TestRufflePlayer::stopPlayFreezesAndPlayResumes()
{
    QFETCH(QString, path);
    QVERIFY(start(path, 10));
    m_player->StopPlay();
    QVERIFY(!m_player->Playing());
    QTest::qWait(200);
    const int stoppedAt = m_player->FrameNum();
    QTest::qWait(800);
    QCOMPARE(m_player->FrameNum(), stoppedAt);
    QVERIFY(!m_player->Playing());

    QSignalSpy spy(m_player, &RufflePlayer::frameShown);
    m_player->Play();
    QVERIFY(m_player->Playing());
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() >= stoppedAt + 5, 3000);
    QCOMPARE(spy.first().at(0).toInt(), stoppedAt + 1);
    QVERIFY(m_player->Playing());
}

void TestRufflePlayer::movieThatStopsItself()
{
    QFETCH(QString, path);
    QVERIFY(start(path));
    QCOMPARE(m_player->TotalFrames(), 60);
    QTRY_VERIFY_WITH_TIMEOUT(!m_player->Playing(), 5000);
    QCOMPARE(m_player->FrameNum(), 30);
    QTest::qWait(500);
    QCOMPARE(m_player->FrameNum(), 30);
    QVERIFY(!m_player->Playing());

    m_player->Play();
    QVERIFY(m_player->Playing());
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() > 30, 2000);
    QSignalSpy spy(m_player, &RufflePlayer::frameShown);
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() >= 36, 2000);
    QVERIFY(m_player->Playing());

    // A jump reaches a stopped movie too, and it stays stopped there.
    QVERIFY(start(path));
    QTRY_VERIFY_WITH_TIMEOUT(!m_player->Playing(), 5000);
    m_player->GotoFrame(50);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->FrameNum(), 50, 1000);
    QTest::qWait(500);
    QCOMPARE(m_player->FrameNum(), 50);
    QVERIFY(!m_player->Playing());
}

void TestRufflePlayer::seekWhilePaused()
{
    // What the position bar does: pause, drag, GotoFrame then Play.
    QFETCH(QString, path);
    QVERIFY(start(path, 5));
    m_player->StopPlay();
    m_player->GotoFrame(40);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->FrameNum(), 40, 1000);
    QVERIFY(!m_player->Playing());
    QTest::qWait(300);
    QCOMPARE(m_player->FrameNum(), 40);
    m_player->Play();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() >= 45, 2000);
    QVERIFY(m_player->Playing());
}

void TestRufflePlayer::loopWrapsToFirstFrame()
{
    QFETCH(QString, path);
    QVERIFY(start(path));
    QSignalSpy spy(m_player, &RufflePlayer::frameShown);
    m_player->GotoFrame(Frames - 10);
    QList<int> seen;
    auto wrapped = [&] {
        seen.clear();
        for (const QList<QVariant> &args : spy)
            seen.append(args.at(0).toInt());
        const qsizetype last = seen.indexOf(Frames);
        return last >= 0 && seen.size() > last + 2;
    };
    QTRY_VERIFY_WITH_TIMEOUT(wrapped(), 3000);
    const qsizetype last = seen.indexOf(Frames);
    QCOMPARE(seen.value(last - 1), Frames - 1);
    QCOMPARE(seen.value(last + 1), 1);
    QCOMPARE(seen.value(last + 2), 2);
}

void TestRufflePlayer::emptyThenSamePathStartsAtOne()
{
    QFETCH(QString, path);
    QVERIFY(start(path, 30));
    m_player->SetMovie(FlashPlayer::EmptyMovie);
    QCOMPARE(m_player->Movie(), FlashPlayer::EmptyMovie);
    QCOMPARE(m_player->FrameNum(), 0);
    QVERIFY(!m_player->Playing());
    QSignalSpy spy(m_player, &RufflePlayer::frameShown);
    QTest::qWait(300);
    QCOMPARE(spy.size(), 0); // the old movie is gone, not just hidden

    m_player->SetMovie(path);
    QCOMPARE(m_player->FrameNum(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(spy.size() >= 3, 10000);
    QCOMPARE(spy.at(0).at(0).toInt(), 1);
    QCOMPARE(spy.at(1).at(0).toInt(), 2);
}

void TestRufflePlayer::damagedFileLeavesPlayerEmpty()
{
    QVERIFY(start(m_dir.filePath(QStringLiteral("v8 plain.swf"))));
    QFile good(m_dir.filePath(QStringLiteral("v6 zlib.swf")));
    QVERIFY(good.open(QIODevice::ReadOnly));
    const QByteArray bytes = good.readAll();
    QFile bad(m_dir.filePath(QStringLiteral("damaged.swf")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(bytes.left(bytes.size() / 3));
    bad.close();

    QSignalSpy spy(m_player, &RufflePlayer::frameShown);
    m_player->SetMovie(FlashPlayer::EmptyMovie);
    m_player->SetMovie(bad.fileName());
    QCOMPARE(m_player->Movie(), bad.fileName());
    QCOMPARE(m_player->TotalFrames(), 0);
    QCOMPARE(m_player->FrameNum(), 0);
    QVERIFY(!m_player->Playing());
    QVERIFY(!m_player->loadError().isEmpty());
    m_player->Play();
    m_player->GotoFrame(10);
    QTest::qWait(500);
    QCOMPARE(spy.size(), 0);
    QVERIFY(!m_player->Playing());

    m_player->SetMovie(m_dir.filePath(QStringLiteral("missing.swf")));
    QCOMPARE(m_player->TotalFrames(), 0);
    // The player still works afterwards.
    QVERIFY(start(good.fileName()));
}

void TestRufflePlayer::frameOnScreenIsFrameNum()
{
    // Stopped by the movie, by StopPlay, and after jumps either way: the
    // frame reported is the frame on the screen.
    QFETCH(QString, path);
    QVERIFY(start(path));
    QTRY_VERIFY_WITH_TIMEOUT(!m_player->Playing(), 5000);
    QTRY_COMPARE_WITH_TIMEOUT(frameOnScreen(), m_player->FrameNum(), 1000);
    QCOMPARE(m_player->FrameNum(), 30);
    m_player->GotoFrame(17);
    QTRY_COMPARE_WITH_TIMEOUT(m_player->FrameNum(), 17, 1000);
    QTRY_COMPARE_WITH_TIMEOUT(frameOnScreen(), 17, 1000);
    m_player->Play();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() >= 24, 2000);
    m_player->StopPlay();
    QTest::qWait(300);
    const int paused = m_player->FrameNum();
    QVERIFY(paused >= 24 && paused < 30);
    QTRY_COMPARE_WITH_TIMEOUT(frameOnScreen(), paused, 1000);
    m_player->GotoFrame(45);
    m_player->Play();
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() >= 50, 2000);
    m_player->StopPlay();
    QTest::qWait(300);
    QCOMPARE(frameOnScreen(), m_player->FrameNum());
}

void TestRufflePlayer::actionScript3FrameIsEstimated()
{
    TestMovieOptions o;
    o.version = 10;
    o.actionScript3 = true;
    o.frameCount = 100;
    o.frameRate = 20;
    const QString path = write(QStringLiteral("as3.swf"), o);
    m_player->SetMovie(FlashPlayer::EmptyMovie);
    m_player->SetMovie(path);
    QCOMPARE(m_player->TotalFrames(), 100);
    QCOMPARE(m_player->frameControl(), swf::FrameControl::None);
    QTRY_VERIFY_WITH_TIMEOUT(m_player->FrameNum() >= 5, 10000);
    const int a = m_player->FrameNum();
    QTest::qWait(1000);
    const int b = m_player->FrameNum();
    QVERIFY2(b - a >= 16 && b - a <= 24, qPrintable(QStringLiteral("%1 -> %2").arg(a).arg(b)));
    m_player->StopPlay();
    QVERIFY(!m_player->Playing());
    const int paused = m_player->FrameNum();
    QTest::qWait(400);
    QCOMPARE(m_player->FrameNum(), paused);
    m_player->Play();
    QVERIFY(m_player->Playing());
    m_player->GotoFrame(1);
    QVERIFY(m_player->FrameNum() <= 1);
}

QVariant TestRufflePlayer::evaluate(const QString &script) const
{
    auto *view = qobject_cast<QWebEngineView *>(m_player->widget());
    QVariant result;
    bool done = false;
    view->page()->runJavaScript(script, [&](const QVariant &v) {
        result = v;
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 5000)
        QTest::qWait(10);
    return result;
}

void TestRufflePlayer::pageReachesOnlyWhatItServes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("served");
    QTest::newRow("runtime") << QStringLiteral("ruffle/ruffle.js") << true;
    QTest::newRow("player page") << QStringLiteral("player.html") << true;
    QTest::newRow("escaped dots") << QStringLiteral("ruffle/%2E%2E%2F%2E%2E%2Fetc%2Fpasswd")
                                  << false;
    QTest::newRow("escaped slash") << QStringLiteral("ruffle/%2Fetc%2Fpasswd") << false;
    QTest::newRow("hidden file") << QStringLiteral("ruffle/.hidden") << false;
    QTest::newRow("file beside an old movie") << QStringLiteral("movie/1/v6%20plain.swf") << false;
    QTest::newRow("unknown folder") << QStringLiteral("other/player.html") << false;
}

void TestRufflePlayer::pageReachesOnlyWhatItServes()
{
    QFETCH(QString, path);
    QFETCH(bool, served);
    const QString script = QStringLiteral(
        "(function () { try { const x = new XMLHttpRequest();"
        " x.open('GET', 'qvplayer://app/%1', false); x.send();"
        " return x.status === 200 && x.response.length > 0; } catch (e) { return false; } })()");
    const QVariant answer = evaluate(script.arg(path));
    QVERIFY(answer.isValid());
    QCOMPARE(answer.toBool(), served);
}

void TestRufflePlayer::pageNeverTouchesTheNetwork()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QSignalSpy connections(&server, &QTcpServer::newConnection);
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    const QVariant ran =
        evaluate(QStringLiteral("fetch('%1').catch(() => 0); new Image().src = '%1img';"
                                " const x = new XMLHttpRequest(); x.open('GET', '%1x');"
                                " try { x.send(); } catch (e) {} true")
                     .arg(url));
    QVERIFY(ran.toBool());
    QTest::qWait(1000);
    QCOMPARE(connections.size(), 0);
}

int main(int argc, char **argv)
{
    RufflePlayer::initializeBeforeApplication();
    QApplication app(argc, argv);
    TestRufflePlayer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_ruffleplayer.moc"
