// Plays a minute and a second under a clock of its own, says so, and waits
// to be killed.
//
//   playtime_victim <play time file>
#include "core/parental/playtimerules.h"
#include "support/fakeclock.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    FakeClock clock;
    PlayTimeRules rules(clock, QString::fromLocal8Bit(argv[1]));
    rules.setLimits({30, 0});
    for (int second = 0; second <= 61; ++second, clock.ms += 1000)
        rules.update(true);
    std::puts("played");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}
