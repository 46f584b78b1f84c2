#include "playertestbench.h"
#include "support/playerinside.h"
#include "support/webtestmain.h"
#include "web/engineenvironment.h"
#include "web/pagecontract.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(swf::FrameControl)

// What the player does with movies it cannot control fully, with damaged
// files, and what its page may reach.
class TestRufflePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_bench = std::make_unique<PlayerTestBench>(); }
    void cleanupTestCase() { m_bench.reset(); }
    void everyVersionReportsItsFrames_data();
    void everyVersionReportsItsFrames();
    void damagedFileLeavesPlayerEmpty();
    void actionScript3FrameIsEstimated();
    void pageReachesOnlyWhatItServes_data();
    void pageReachesOnlyWhatItServes();
    void pageNeverTouchesTheNetwork();
    void pageAndProgramAgree();

private:
    RufflePlayer &player() { return m_bench->player(); }
    std::unique_ptr<PlayerTestBench> m_bench;
};

void TestRufflePage::everyVersionReportsItsFrames_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<swf::FrameControl>("control");
    QTest::newRow("4") << 4 << swf::FrameControl::ReportOnly;
    QTest::newRow("5") << 5 << swf::FrameControl::Polling;
    QTest::newRow("7") << 7 << swf::FrameControl::Polling;
    QTest::newRow("9") << 9 << swf::FrameControl::ExternalInterface;
    QTest::newRow("10") << 10 << swf::FrameControl::ExternalInterface;
}

void TestRufflePage::everyVersionReportsItsFrames()
{
    QFETCH(int, version);
    QFETCH(swf::FrameControl, control);
    TestMovieOptions o;
    o.version = version;
    o.compression = version >= 6 ? swf::Compression::Zlib : swf::Compression::None;
    o.frameCount = 240;
    const QString file = m_bench->write(QStringLiteral("v%1.swf").arg(version), o);
    QVERIFY(m_bench->start(file));
    QCOMPARE(PlayerInside::frameControl(player()), control);
    QSignalSpy spy(&player(), &RufflePlayer::frameShown);
    const QList<int> seen = nextFrames(spy, 15);
    QCOMPARE(seen.size(), 15);
    for (qsizetype i = 1; i < seen.size(); ++i)
        QCOMPARE(seen[i], seen[i - 1] + 1);

    player().goToFrame(200);
    if (control == swf::FrameControl::ReportOnly) {
        // Nothing to jump with: the movie plays on where it was.
        QTest::qWait(500); // no jump comes
        QVERIFY(player().frameNum() < 200);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(player().frameNum() >= 200, 30000);
    }
    player().stop();
    QVERIFY(m_bench->waitUntilPaused());
    QTRY_COMPARE_WITH_TIMEOUT(m_bench->frameOnScreen(), player().frameNum(), 30000);
    if (control == swf::FrameControl::ReportOnly)
        return;
    // Pausing right after a jump: the jump must also reach the screen.
    for (int target = 190; target > 100; target -= 15) {
        player().play();
        player().goToFrame(target);
        QTRY_VERIFY_WITH_TIMEOUT(player().frameNum() >= target && player().frameNum() < target + 5,
                                 30000);
        player().stop();
        QVERIFY(m_bench->waitUntilPaused());
        QTRY_COMPARE_WITH_TIMEOUT(m_bench->frameOnScreen(), player().frameNum(), 30000);
    }
}

void TestRufflePage::damagedFileLeavesPlayerEmpty()
{
    TestMovieOptions o;
    o.compression = swf::Compression::Zlib;
    const QString good = m_bench->write(QStringLiteral("good.swf"), o);
    QVERIFY(m_bench->start(good));
    QFile bad(m_bench->path(QStringLiteral("damaged.swf")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(makeTestMovie(o).left(14)); // cut inside its header
    bad.close();

    QSignalSpy spy(&player(), &RufflePlayer::frameShown);
    player().setMovie(FlashPlayer::EmptyMovie);
    player().setMovie(bad.fileName());
    QCOMPARE(player().movie(), bad.fileName());
    QCOMPARE(player().totalFrames(), 0);
    QCOMPARE(player().frameNum(), 0);
    QVERIFY(!player().isPlaying());
    QVERIFY(!PlayerInside::loadError(player()).isEmpty());
    player().play();
    player().goToFrame(10);
    QTest::qWait(500); // nothing plays
    QCOMPARE(spy.size(), 0);
    QVERIFY(!player().isPlaying());

    player().setMovie(m_bench->path(QStringLiteral("missing.swf")));
    QCOMPARE(player().totalFrames(), 0);
    QVERIFY(!PlayerInside::loadError(player()).isEmpty());
    // The player still works afterwards.
    QVERIFY(m_bench->start(good));
    QVERIFY(PlayerInside::loadError(player()).isEmpty());

    // Cut short after its header, a movie plays as far as it goes, as it is,
    // with its frame estimated.
    QFile cut(m_bench->path(QStringLiteral("cut.swf")));
    QVERIFY(cut.open(QIODevice::WriteOnly));
    cut.write(makeTestMovie(o).left(3000));
    cut.close();
    QVERIFY(m_bench->start(cut.fileName()));
    QVERIFY(PlayerInside::loadError(player()).isEmpty());
    QCOMPARE(PlayerInside::frameControl(player()), swf::FrameControl::None);
    QCOMPARE(player().totalFrames(), o.frameCount);
    QVERIFY(player().isPlaying());
}

void TestRufflePage::actionScript3FrameIsEstimated()
{
    TestMovieOptions o;
    o.version = 10;
    o.actionScript3 = true;
    o.frameCount = 100;
    o.frameRate = 20;
    const QString file = m_bench->write(QStringLiteral("as3.swf"), o);
    player().setMovie(FlashPlayer::EmptyMovie);
    player().setMovie(file);
    QCOMPARE(player().totalFrames(), 100);
    QCOMPARE(PlayerInside::frameControl(player()), swf::FrameControl::None);
    QTRY_VERIFY_WITH_TIMEOUT(player().frameNum() >= 5, 60000);
    // The estimate moves on at the movie's rate: 20 frames in a second of
    // play, which the clock measures whatever the machine's load.
    const int a = player().frameNum();
    QElapsedTimer second;
    second.start();
    static_cast<void>(QTest::qWaitFor([&] { return second.elapsed() >= 1000; }, 60000));
    const int b = player().frameNum();
    const int expected = int(second.elapsed() * 20 / 1000);
    QVERIFY2(qAbs(b - a - expected) <= 2,
             qPrintable(QStringLiteral("%1 -> %2 in %3 ms").arg(a).arg(b).arg(second.elapsed())));
    // The estimate is close to what is on the screen.
    player().stop();
    QVERIFY(!player().isPlaying());
    const int paused = player().frameNum();
    QVERIFY(m_bench->waitUntilPaused());
    QCOMPARE(player().frameNum(), paused);
    const int shown = m_bench->frameOnScreen();
    qInfo("estimated frame %d, frame on the screen %d", paused, shown);
    QVERIFY2(qAbs(shown - paused) <= 4,
             qPrintable(QStringLiteral("%1 / %2").arg(shown).arg(paused)));
    player().play();
    QVERIFY(player().isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(player().frameNum() > paused, 30000);
    player().goToFrame(1);
    QVERIFY(player().frameNum() <= 1);
}

void TestRufflePage::pageReachesOnlyWhatItServes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("served");
    QTest::newRow("runtime") << QStringLiteral("ruffle/ruffle.js") << true;
    QTest::newRow("player page") << QStringLiteral("player.html") << true;
    QTest::newRow("escaped dots") << QStringLiteral("ruffle/%2E%2E%2F%2E%2E%2Fetc%2Fpasswd")
                                  << false;
    QTest::newRow("escaped slash") << QStringLiteral("ruffle/%2Fetc%2Fpasswd") << false;
    QTest::newRow("hidden file") << QStringLiteral("ruffle/.hidden") << false;
    QTest::newRow("file beside an old movie") << QStringLiteral("movie/1/good.swf") << false;
    QTest::newRow("unknown folder") << QStringLiteral("other/player.html") << false;
}

void TestRufflePage::pageReachesOnlyWhatItServes()
{
    QFETCH(QString, path);
    QFETCH(bool, served);
    const QString script = QStringLiteral(
        "(function () { try { const x = new XMLHttpRequest();"
        " x.open('GET', 'qvplayer://app/%1', false); x.send();"
        " return x.status === 200 && x.response.length > 0; } catch (e) { return false; } })()");
    const QVariant answer = m_bench->evaluate(script.arg(path));
    QVERIFY(answer.isValid());
    QCOMPARE(answer.toBool(), served);
}

void TestRufflePage::pageNeverTouchesTheNetwork()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    QSignalSpy connections(&server, &QTcpServer::newConnection);
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    const QVariant ran =
        m_bench->evaluate(QStringLiteral("fetch('%1').catch(() => 0); new Image().src = '%1img';"
                                         " const x = new XMLHttpRequest(); x.open('GET', '%1x');"
                                         " try { x.send(); } catch (e) {} true")
                              .arg(url));
    QVERIFY(ran.toBool());
    QTest::qWait(1000); // no connection comes
    QCOMPARE(connections.size(), 0);
}

void TestRufflePage::pageAndProgramAgree()
{
    // The page runs with what the program handed it ...
    const QVariant shared = m_bench->evaluate(QStringLiteral("JSON.stringify(QV)"));
    QCOMPARE(QJsonDocument::fromJson(shared.toString().toUtf8()).object(),
             PageContract::constants());
    // ... and spells none of it itself. The fscommand's name is also the
    // name of the page's event that carries it.
    QFile script(QStringLiteral(":/player/player.js"));
    QVERIFY(script.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(script.readAll());
    const QJsonObject constants = PageContract::constants();
    for (auto it = constants.begin(); it != constants.end(); ++it) {
        const QString value = it.value().isDouble() ? QString::number(it.value().toInteger())
                                                    : it.value().toString().trimmed();
        const QString quoted = it.value().isDouble() ? value : u'"' + value;
        if (it.key() != QLatin1String("frameCommand"))
            QVERIFY2(!text.contains(quoted), qPrintable(it.key()));
    }
}

QORVEL_WEB_TEST_MAIN(TestRufflePage, EngineEnvironment::prepare())

#include "test_rufflepage.moc"
