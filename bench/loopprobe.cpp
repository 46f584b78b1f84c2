#include "loopprobe.h"

#include <algorithm>

LoopProbe::LoopProbe()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    connect(&m_timer, &QTimer::timeout, this, &LoopProbe::tick);
}

void LoopProbe::start()
{
    m_longestNs = 0;
    m_ticks = 0;
    m_lastNs = 0;
    m_clock.start();
    m_timer.start();
}

void LoopProbe::stop()
{
    if (!m_timer.isActive())
        return;
    tick();
    m_timer.stop();
}

void LoopProbe::tick()
{
    const qint64 now = m_clock.nsecsElapsed();
    m_longestNs = std::max(m_longestNs, now - m_lastNs);
    m_lastNs = now;
    ++m_ticks;
}
