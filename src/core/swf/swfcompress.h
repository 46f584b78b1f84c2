#pragma once

#include <QByteArray>

// The two compressions a Flash movie body can have. Inflating never produces
// more than the caller asks for, whatever the stream would expand to.
namespace swf {

enum class InflateStatus { Ok, Truncated, Corrupt };

struct Inflated
{
    InflateStatus status = InflateStatus::Ok;
    QByteArray data;
};

// Inflates a zlib stream until `wanted` bytes are out or the stream ends.
Inflated inflateZlib(QByteArrayView stream, qsizetype wanted);
// Inflates raw LZMA data with the 5 property bytes of a "ZWS" header.
Inflated inflateLzma(QByteArrayView properties, QByteArrayView stream, qsizetype wanted);

} // namespace swf
