#include "core/download/contentrange.h"

namespace {

// Reads a run of decimal digits at pos and moves pos past it. Leading zeros
// are allowed (RFC 9110 allows them); a number of more than 18 significant
// digits is refused rather than wrapped.
std::optional<qint64> readNumber(QByteArrayView text, qsizetype &pos)
{
    constexpr qint64 Limit = 999'999'999'999'999'999; // 18 nines, far below overflow
    const qsizetype start = pos;
    qint64 value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        const int digit = text[pos] - '0';
        // Checked before multiplying: the product itself may not overflow.
        if (value > (Limit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
        ++pos;
    }
    if (pos == start)
        return std::nullopt;
    return value;
}

bool expect(QByteArrayView text, qsizetype &pos, char c)
{
    if (pos >= text.size() || text[pos] != c)
        return false;
    ++pos;
    return true;
}

bool startsWithUnit(QByteArrayView text)
{
    static constexpr char Unit[] = "bytes ";
    if (text.size() < 6)
        return false;
    for (int i = 0; i < 6; ++i) {
        const char c = text[i];
        const char lower = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
        if (lower != Unit[i])
            return false;
    }
    return true;
}

} // namespace

std::optional<ContentRange> parseContentRange(QByteArrayView value)
{
    if (!startsWithUnit(value))
        return std::nullopt;
    qsizetype pos = 6;
    const auto first = readNumber(value, pos);
    if (!first || !expect(value, pos, '-'))
        return std::nullopt;
    const auto last = readNumber(value, pos);
    if (!last || !expect(value, pos, '/'))
        return std::nullopt;
    const auto total = readNumber(value, pos);
    if (!total || pos != value.size())
        return std::nullopt;
    if (*first > *last || *last >= *total)
        return std::nullopt;
    return ContentRange{*first, *last, *total};
}
