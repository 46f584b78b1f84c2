#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <optional>

// One "Content-Range: bytes first-last/total" header of a 206 answer.
struct ContentRange
{
    qint64 first = 0;
    qint64 last = 0;
    qint64 total = 0;

    friend bool operator==(const ContentRange &, const ContentRange &) = default;
};

// Parses the value of a Content-Range header strictly: the unit "bytes"
// (any case), one space, three decimal numbers without signs or spaces, and
// first <= last < total. Anything else, including the "*/total" form of a 416,
// a list joined from repeated headers, or numbers too large for qint64, gives
// nothing. Pure, so that it can be fuzzed.
std::optional<ContentRange> parseContentRange(QByteArrayView value);
