#include "core/parental/playtimerules.h"
#include "support/fakeclock.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestPlayTimeRules : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rules_data();
    void rules();
    void killedMidDayKeepsThePlay();
};

void TestPlayTimeRules::rules_data()
{
    QTest::addColumn<int>("daily");
    QTest::addColumn<int>("eyeRest");
    // play N / idle N: minutes in ticks of 30 s; day ±N moves the date;
    // restart: a new run from the file alone; add N: a parent's minutes.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("events");
    QTest::addColumn<int>("playedMinutes");
    QTest::addColumn<bool>("usedUp");

    QTest::newRow("only play counts") << 30 << 0 << "play 10;idle 20;play 5"
                                      << "" << 15 << false;
    QTest::newRow("no limit") << 0 << 0 << "play 200"
                              << "" << 200 << false;
    QTest::newRow("warning") << 15 << 0 << "play 12"
                             << "warned" << 12 << false;
    QTest::newRow("end") << 15 << 0 << "play 15;idle 5"
                         << "warned timeUp" << 15 << true;
    QTest::newRow("next day") << 15 << 0 << "play 15;idle 1;day 1;idle 1"
                              << "warned timeUp newDay" << 0 << false;
    QTest::newRow("midnight while playing") << 30 << 0 << "play 20;day 1;play 5"
                                            << "newDay" << 5 << false;
    QTest::newRow("date moved back") << 15 << 0 << "play 10;day -1;play 5;day 1;idle 1"
                                     << "warned timeUp" << 15 << true;
    QTest::newRow("clock far ahead, then right") << 30 << 0 << "day 30;play 10;day -30;play 5"
                                                 << "newDay" << 15 << false;
    QTest::newRow("restart mid-day") << 30 << 0 << "play 20;restart;play 5"
                                     << "warned" << 25 << false;
    QTest::newRow("restart after the end") << 15 << 0 << "play 15;restart;idle 1"
                                           << "warned timeUp timeUp" << 15 << true;
    QTest::newRow("parent adds time") << 15 << 0 << "play 15;add 15;play 10"
                                      << "warned timeUp warned" << 25 << false;
    QTest::newRow("eye rest, then on") << 0 << 15 << "play 15;idle 2;play 5"
                                       << "breakStarted breakEnded" << 20 << false;
}

void TestPlayTimeRules::rules()
{
    QFETCH(int, daily);
    QFETCH(int, eyeRest);
    QFETCH(QString, script);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("playtime.txt"));
    FakeClock clock;
    auto rules = std::make_unique<PlayTimeRules>(clock, file);
    rules->setLimits({daily, eyeRest});
    QStringList seen;
    const auto update = [&](bool playing) {
        const PlayTimeRules::Step s = rules->update(playing);
        const std::pair<bool, const char *> happenings[] = {{s.warned, "warned"},
                                                            {s.timeUp, "timeUp"},
                                                            {s.newDay, "newDay"},
                                                            {s.breakStarted, "breakStarted"},
                                                            {s.breakEnded, "breakEnded"}};
        for (const auto &[happened, name] : happenings) {
            if (happened)
                seen.append(QString::fromLatin1(name));
        }
    };
    for (const QString &step : script.split(QLatin1Char(';'))) {
        const QString verb = step.section(QLatin1Char(' '), 0, 0);
        const int n = step.section(QLatin1Char(' '), 1).toInt();
        if (verb == QLatin1String("play") || verb == QLatin1String("idle")) {
            update(verb == QLatin1String("play"));
            for (int tick = 0; tick < 2 * n; ++tick) {
                clock.ms += 30 * 1000;
                update(verb == QLatin1String("play"));
            }
        } else if (verb == QLatin1String("day")) {
            clock.date = clock.date.addDays(n);
        } else if (verb == QLatin1String("add")) {
            rules->addMinutes(n);
        } else {
            // A new run: what it knows comes from the file; its monotonic
            // clock starts anywhere.
            rules.reset();
            clock.ms = -7777;
            rules = std::make_unique<PlayTimeRules>(clock, file);
            rules->setLimits({daily, eyeRest});
        }
    }
    QFETCH(QString, events);
    QFETCH(int, playedMinutes);
    QFETCH(bool, usedUp);
    QCOMPARE(seen.join(QLatin1Char(' ')), events);
    QCOMPARE(rules->day().playedMs, playedMinutes * PlayTimeRules::MinuteMs);
    QCOMPARE(rules->timeUsedUp(), usedUp);
    QCOMPARE(QFile::exists(file), daily + eyeRest > 0);
}

void TestPlayTimeRules::killedMidDayKeepsThePlay()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("playtime.txt"));
    QProcess victim;
    victim.start(QStringLiteral(QORVEL_PLAYTIME_VICTIM), {file});
    QVERIFY(victim.waitForStarted());
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += victim.readAllStandardOutput()).contains("played"), 20000);
    victim.kill();
    QVERIFY(victim.waitForFinished());

    FakeClock clock;
    PlayTimeRules restarted(clock, file);
    restarted.setLimits({30, 0});
    QVERIFY2(restarted.day().playedMs >= PlayTimeRules::MinuteMs,
             qPrintable(QString::number(restarted.day().playedMs)));
    QCOMPARE(restarted.minutesLeft(), 29);
}

QTEST_GUILESS_MAIN(TestPlayTimeRules)
#include "test_playtimerules.moc"
