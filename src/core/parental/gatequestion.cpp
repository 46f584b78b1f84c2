#include "core/parental/gatequestion.h"

#include <QRandomGenerator>

GateQuestion GateQuestion::random()
{
    QRandomGenerator *random = QRandomGenerator::global();
    return {random->bounded(6, 10), random->bounded(6, 10)};
}

QString GateQuestion::text() const
{
    return QStringLiteral("%1 × %2 = ?").arg(left).arg(right);
}

bool GateQuestion::accepts(const QString &answer) const
{
    const QString typed = answer.trimmed();
    // Two digits are enough for every product; the length check keeps a
    // pasted page from being parsed at all.
    if (typed.isEmpty() || typed.size() > 2)
        return false;
    for (QChar c : typed) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return typed.toInt() == left * right;
}
