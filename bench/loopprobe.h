#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Measures how long the event loop was kept from running: a 1 ms timer
// notes the largest gap between two of its ticks. A loop that is free ticks
// every millisecond or so; anything that holds the loop shows up as a gap.
class LoopProbe : public QObject
{
    Q_OBJECT
public:
    LoopProbe();
    void start();
    // Counts the time since the last tick too, so a block right at the end
    // is not missed.
    void stop();
    double longestGapMs() const { return double(m_longestNs) / 1e6; }
    int ticks() const { return m_ticks; }

private:
    void tick();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    qint64 m_longestNs = 0;
    int m_ticks = 0;
};
