#pragma once

#include <QString>

// The parental gate's question: the product of two numbers from 6 to 9,
// typed in. Easy for a parent, out of reach for a small child.
struct GateQuestion
{
    int left = 6;
    int right = 6;

    static GateQuestion random();
    // "7 × 8 = ?"
    QString text() const;
    // Only the product, as digits, with spaces around at most; anything else
    // (empty, letters, a long paste) is a wrong answer.
    bool accepts(const QString &answer) const;
};
