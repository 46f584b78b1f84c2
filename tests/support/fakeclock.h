#pragma once

#include "core/parental/playclock.h"

// A clock the test moves by hand.
class FakeClock : public PlayClock
{
public:
    qint64 elapsedMs() const override { return ms; }
    QDate today() const override { return date; }

    qint64 ms = 0;
    QDate date{2026, 3, 14};
};
