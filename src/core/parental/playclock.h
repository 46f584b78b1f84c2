#pragma once

#include <QDate>
#include <QElapsedTimer>

// The two clocks play time is measured by: a monotonic one for how long
// something lasted, which a changed system clock cannot move, and the local
// date, which decides when a new day begins. Tests hand in their own.
class PlayClock
{
public:
    virtual ~PlayClock() = default;
    // Milliseconds on a clock that only runs forward, from any origin.
    virtual qint64 elapsedMs() const = 0;
    virtual QDate today() const = 0;
};

class SystemPlayClock : public PlayClock
{
public:
    SystemPlayClock() { m_started.start(); }
    qint64 elapsedMs() const override { return m_started.elapsed(); }
    QDate today() const override { return QDate::currentDate(); }

private:
    QElapsedTimer m_started;
};
