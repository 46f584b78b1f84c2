#include "swfwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRect>
#include <QtEndian>

#include <lzma.h>
#include <zlib.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

constexpr int Twips = 20;

class BitWriter
{
public:
    void bits(int count, quint32 value)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_current = static_cast<quint8>((m_current << 1) | ((value >> i) & 1));
            if (++m_used == 8)
                flush();
        }
    }
    void signedBits(int count, qint32 value) { bits(count, static_cast<quint32>(value)); }
    QByteArray take()
    {
        if (m_used > 0) {
            m_current = static_cast<quint8>(m_current << (8 - m_used));
            flush();
        }
        return std::exchange(m_bytes, {});
    }
    // Bits needed for `value` as a signed field.
    static int width(qint32 value)
    {
        int n = 1;
        while (value < -(1 << (n - 1)) || value >= (1 << (n - 1)))
            ++n;
        return n;
    }

private:
    void flush()
    {
        m_bytes.append(static_cast<char>(m_current));
        m_current = 0;
        m_used = 0;
    }
    QByteArray m_bytes;
    quint8 m_current = 0;
    int m_used = 0;
};

void putU16(QByteArray &out, quint16 v)
{
    out.append(static_cast<char>(v & 0xff)).append(static_cast<char>(v >> 8));
}

void putU32(QByteArray &out, quint32 v)
{
    putU16(out, static_cast<quint16>(v & 0xffff));
    putU16(out, static_cast<quint16>(v >> 16));
}

void putRgb(QByteArray &out, quint32 rgb)
{
    out.append(static_cast<char>(rgb >> 16)).append(static_cast<char>(rgb >> 8));
    out.append(static_cast<char>(rgb));
}

QByteArray tagRecord(int code, const QByteArray &body)
{
    QByteArray out;
    if (body.size() < 0x3f) {
        putU16(out, static_cast<quint16>(code << 6 | body.size()));
    } else {
        putU16(out, static_cast<quint16>(code << 6 | 0x3f));
        putU32(out, static_cast<quint32>(body.size()));
    }
    return out + body;
}

QByteArray rectRecord(const QRect &twips)
{
    const int n = std::max({BitWriter::width(twips.left()), BitWriter::width(twips.right() + 1),
                            BitWriter::width(twips.top()), BitWriter::width(twips.bottom() + 1)});
    BitWriter w;
    w.bits(5, static_cast<quint32>(n));
    w.signedBits(n, twips.left());
    w.signedBits(n, twips.right() + 1);
    w.signedBits(n, twips.top());
    w.signedBits(n, twips.bottom() + 1);
    return w.take();
}

// A matrix with an optional horizontal scale (16.16) and a translation in twips.
QByteArray matrixRecord(int x, int y, double scaleX = 1.0)
{
    BitWriter w;
    const bool scaled = scaleX != 1.0;
    w.bits(1, scaled);
    if (scaled) {
        const auto sx = static_cast<qint32>(std::lround(scaleX * 65536));
        const int n = std::max(BitWriter::width(sx), BitWriter::width(65536));
        w.bits(5, static_cast<quint32>(n));
        w.signedBits(n, sx);
        w.signedBits(n, 65536);
    }
    w.bits(1, 0); // no rotation
    const int n = std::max(BitWriter::width(x), BitWriter::width(y));
    w.bits(5, static_cast<quint32>(n));
    w.signedBits(n, x);
    w.signedBits(n, y);
    return w.take();
}

// One DefineShape made of axis-aligned rectangles (pixels) in one solid colour.
QByteArray shapeTag(int id, quint32 rgb, const QList<QRect> &rects)
{
    QRect bounds;
    for (const QRect &r : rects)
        bounds = bounds.united(r);
    QByteArray body;
    putU16(body, static_cast<quint16>(id));
    body += rectRecord(QRect(bounds.topLeft() * Twips, bounds.size() * Twips));
    body.append('\x01').append('\x00'); // one fill style: solid
    putRgb(body, rgb);
    body.append('\x00'); // no line styles
    body.append('\x10'); // one fill bit, no line bits
    BitWriter w;
    for (const QRect &r : rects) {
        const int x = r.x() * Twips, y = r.y() * Twips;
        const int n = std::max(BitWriter::width(x), BitWriter::width(y));
        w.bits(6, 0b000101); // style change: fill style 1 and move-to
        w.bits(5, static_cast<quint32>(n));
        w.signedBits(n, x);
        w.signedBits(n, y);
        w.bits(1, 1); // fill style 1
        const int dx = r.width() * Twips, dy = r.height() * Twips;
        for (const auto &[vertical, delta] : std::array<std::pair<bool, int>, 4>{
                 {{false, dx}, {true, dy}, {false, -dx}, {true, -dy}}}) {
            const int m = std::max(BitWriter::width(delta), 2);
            w.bits(2, 0b11); // straight edge
            w.bits(4, static_cast<quint32>(m - 2));
            w.bits(1, 0); // not a general line
            w.bits(1, vertical);
            w.signedBits(m, delta);
        }
    }
    w.bits(6, 0); // end of shape
    return tagRecord(2, body + w.take());
}

// Rectangles of a seven-segment digit in a 30 by 50 pixel cell.
QList<QRect> digitRects(int digit)
{
    constexpr int W = 30, H = 50, T = 6;
    const QRect seg[7] = {
        {T, 0, W - 2 * T, T},           {W - T, 0, T, H / 2}, {W - T, H / 2, T, H / 2},
        {T, H - T, W - 2 * T, T},       {0, H / 2, T, H / 2}, {0, 0, T, H / 2},
        {T, (H - T) / 2, W - 2 * T, T},
    };
    static const char *const lit[10] = {"abcdef", "bc",     "abdeg", "abcdg",   "bcfg",
                                        "acdfg",  "acdefg", "abc",   "abcdefg", "abcdfg"};
    QList<QRect> out;
    for (const char *c = lit[digit]; *c; ++c)
        out.append(seg[*c - 'a']);
    return out;
}

QByteArray placeTag(int depth, int character, const QByteArray &matrix, bool move)
{
    QByteArray body;
    body.append(static_cast<char>(0x04 | (character ? 0x02 : 0) | (move ? 0x01 : 0)));
    putU16(body, static_cast<quint16>(depth));
    if (character)
        putU16(body, static_cast<quint16>(character));
    return tagRecord(26, body + matrix);
}

constexpr int BarId = 1, FirstSquareId = 2, SquareCount = 6, BouncerId = 8, FirstDigitId = 20;
constexpr int DigitCount = 4;

QByteArray definitions(const TestMovieOptions &o)
{
    static const quint32 colours[SquareCount] = {0xe63946, 0xf4a261, 0xe9c46a,
                                                 0x2a9d8f, 0x8ecae6, 0xb5179e};
    QByteArray out = shapeTag(BarId, 0xffd166, {QRect(0, 0, o.width, 12)});
    for (int i = 0; i < SquareCount; ++i)
        out += shapeTag(FirstSquareId + i, colours[i], {QRect(-16, -16, 32, 32)});
    out += shapeTag(BouncerId, 0xffffff, {QRect(0, 0, 48, 48)});
    for (int d = 0; d < 10; ++d)
        out += shapeTag(FirstDigitId + d, 0xffffff, digitRects(d));
    return out;
}

QByteArray frameTags(const TestMovieOptions &o, int frame)
{
    const bool first = frame == 1;
    const double share = double(frame) / o.frameCount;
    QByteArray out =
        placeTag(1, first ? BarId : 0,
                 matrixRecord(0, (o.height - 12) * Twips, std::max(share, 0.01)), !first);
    const double cx = o.width / 2.0, cy = o.height / 2.0, radius = std::min(cx, cy) * 0.6;
    for (int i = 0; i < SquareCount; ++i) {
        const double angle = 2 * std::numbers::pi * (share + double(i) / SquareCount);
        const int x = int(std::lround((cx + radius * std::cos(angle)) * Twips));
        const int y = int(std::lround((cy + radius * std::sin(angle)) * Twips));
        out += placeTag(2 + i, first ? FirstSquareId + i : 0, matrixRecord(x, y), !first);
    }
    const int span = std::max(1, o.width - 48);
    const int pos = (frame * 8) % (2 * span);
    out += placeTag(20, first ? BouncerId : 0,
                    matrixRecord((pos < span ? pos : 2 * span - pos) * Twips, 20 * Twips), !first);
    for (int i = 0; i < DigitCount; ++i) {
        static const int scale[DigitCount] = {1000, 100, 10, 1};
        const int digit = frame / scale[i] % 10;
        const int before = (frame - 1) / scale[i] % 10;
        if (first || digit != before)
            out += placeTag(10 + i, FirstDigitId + digit,
                            matrixRecord((16 + 40 * i) * Twips, (o.height - 80) * Twips), !first);
    }
    return out;
}

constexpr qsizetype LzmaChunk = 64 * 1024;

QByteArray deflateZlib(QByteArrayView data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
    compress2(reinterpret_cast<unsigned char *>(out.data()), &size,
              reinterpret_cast<const unsigned char *>(data.data()), static_cast<uLong>(data.size()),
              9);
    out.resize(static_cast<qsizetype>(size));
    return out;
}

QByteArray deflateLzma(QByteArrayView data)
{
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 6);
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    QByteArray out(5, '\0');
    lzma_properties_encode(&filters[0], reinterpret_cast<unsigned char *>(out.data()));

    lzma_stream z = LZMA_STREAM_INIT;
    if (lzma_raw_encoder(&z, filters) != LZMA_OK)
        return {};
    z.next_in = reinterpret_cast<const unsigned char *>(data.data());
    z.avail_in = static_cast<size_t>(data.size());
    lzma_ret rc = LZMA_OK;
    while (rc == LZMA_OK) {
        const qsizetype at = out.size();
        out.resize(at + LzmaChunk);
        z.next_out = reinterpret_cast<unsigned char *>(out.data()) + at;
        z.avail_out = LzmaChunk;
        rc = lzma_code(&z, LZMA_FINISH);
        out.resize(out.size() - static_cast<qsizetype>(z.avail_out));
    }
    lzma_end(&z);
    return rc == LZMA_STREAM_END ? out : QByteArray();
}

} // namespace

QByteArray makeTestMovie(const TestMovieOptions &o)
{
    QByteArray body = rectRecord(QRect(0, 0, o.width * Twips, o.height * Twips));
    putU16(body, static_cast<quint16>(std::lround(o.frameRate * 256)));
    putU16(body, static_cast<quint16>(o.frameCount));
    if (o.version >= 8 || o.actionScript3) {
        QByteArray attributes;
        putU32(attributes, o.actionScript3 ? 0x08 : 0x00);
        body += tagRecord(69, attributes);
    }
    QByteArray background;
    putRgb(background, o.background);
    body += tagRecord(9, background);
    body += definitions(o);
    if (o.paddingBytes > 0) {
        // DefineBinaryData, id 999, filled with bytes that do not compress.
        QByteArray data(6 + o.paddingBytes, '\0');
        data[0] = char(999 & 0xff);
        data[1] = char(999 >> 8);
        quint32 x = 2463534242u;
        for (qsizetype i = 6; i < data.size(); ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            data[i] = static_cast<char>(x);
        }
        body += tagRecord(87, data);
    }
    for (int frame = 1; frame <= o.frameCount; ++frame) {
        body += frameTags(o, frame);
        for (const auto &[at, code] : o.actions)
            if (at == frame)
                body += tagRecord(12, code);
        if (frame == o.stopFrame)
            body += tagRecord(12, QByteArray("\x07\x00", 2));
        if (frame == 1 && !o.firstFrameActions.isEmpty())
            body += tagRecord(12, o.firstFrameActions + QByteArray(1, '\0'));
        body += tagRecord(1, {});
    }
    body += tagRecord(0, {});

    QByteArray out;
    const auto length = static_cast<quint32>(8 + body.size());
    switch (o.compression) {
    case swf::Compression::None:
        out = "FWS";
        break;
    case swf::Compression::Zlib:
        out = "CWS";
        body = deflateZlib(body);
        break;
    case swf::Compression::Lzma: {
        out = "ZWS";
        const QByteArray packed = deflateLzma(body);
        QByteArray lengthField;
        putU32(lengthField, static_cast<quint32>(packed.size() - 5));
        body = lengthField + packed;
        break;
    }
    }
    out.append(static_cast<char>(o.version));
    putU32(out, length);
    return out + body;
}

bool writeTestMovie(const QString &path, const TestMovieOptions &options)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    const QByteArray bytes = makeTestMovie(options);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
