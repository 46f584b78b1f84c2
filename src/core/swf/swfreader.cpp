#include "core/swf/swfreader.h"

#include "core/swf/swfcompress.h"

#include <QtEndian>

namespace swf {
namespace {

constexpr qsizetype HeaderSize = 8;     // signature, version, file length
constexpr qsizetype LzmaPrefix = 4 + 5; // compressed length, properties

quint16 u16(const QByteArray &d, qsizetype at)
{
    return qFromLittleEndian<quint16>(d.constData() + at);
}

quint32 u32(const QByteArray &d, qsizetype at)
{
    return qFromLittleEndian<quint32>(d.constData() + at);
}

// Reads the RECT record at `at`; returns the offset past it, or -1 when the
// data ends inside it.
qsizetype readRect(const QByteArray &d, qsizetype at, QRect &rect)
{
    if (at >= d.size())
        return -1;
    const int bits = static_cast<unsigned char>(d[at]) >> 3;
    const qsizetype totalBits = 5 + 4 * bits;
    const qsizetype end = at + (totalBits + 7) / 8;
    if (end > d.size())
        return -1;
    qsizetype bit = 5;
    auto field = [&] {
        qint64 value = 0;
        for (int i = 0; i < bits; ++i, ++bit) {
            const auto byte = static_cast<unsigned char>(d[at + bit / 8]);
            value = (value << 1) | ((byte >> (7 - bit % 8)) & 1);
        }
        if (bits > 0 && (value & (qint64(1) << (bits - 1))))
            value -= qint64(1) << bits; // sign-extend
        return static_cast<int>(value);
    };
    const int xMin = field(), xMax = field(), yMin = field(), yMax = field();
    rect = QRect(QPoint(xMin, yMin), QPoint(xMax - 1, yMax - 1));
    return end;
}

ReadError inflateBody(const QByteArray &file, Movie &movie)
{
    const qsizetype wanted = movie.declaredLength - HeaderSize;
    Inflated body;
    if (movie.compression == Compression::Zlib) {
        body = inflateZlib(QByteArrayView(file).sliced(HeaderSize), wanted);
    } else {
        if (file.size() < HeaderSize + LzmaPrefix)
            return ReadError::Truncated;
        const QByteArrayView rest = QByteArrayView(file).sliced(HeaderSize + LzmaPrefix);
        body = inflateLzma(QByteArrayView(file).sliced(HeaderSize + 4, 5), rest, wanted);
    }
    if (body.status == InflateStatus::Corrupt)
        return ReadError::BadCompression;
    movie.damaged = body.status == InflateStatus::Truncated;
    movie.data = file.left(HeaderSize) + body.data;
    return ReadError::None;
}

bool readFileAttributes(const Movie &movie, const Tag &t)
{
    return t.length >= 1 && (static_cast<unsigned char>(movie.data[t.bodyOffset]) & 0x08);
}

void walkTags(Movie &movie)
{
    const QByteArray &d = movie.data;
    qsizetype at = movie.tagsOffset;
    // A tag that does not fit ends the list: the movie is damaged there.
    while (at < d.size()) {
        if (at + 2 > d.size())
            break;
        Tag t;
        t.offset = at;
        const quint16 head = u16(d, at);
        t.code = head >> 6;
        t.length = head & 0x3f;
        at += 2;
        if (t.length == 0x3f) {
            if (at + 4 > d.size())
                break;
            t.length = u32(d, at);
            at += 4;
        }
        t.bodyOffset = at;
        if (t.length > d.size() - at)
            break;
        at += t.length;
        if (t.code == tag::End) {
            movie.endTagSeen = true;
            break;
        }
        if (t.code == tag::ShowFrame)
            ++movie.showFrameCount;
        else if (t.code == tag::FileAttributes)
            movie.actionScript3 = movie.actionScript3 || readFileAttributes(movie, t);
        else if (t.code == tag::DoAbc || t.code == tag::DoAbc2)
            movie.actionScript3 = true;
        movie.tags.append(t);
    }
    movie.damaged = movie.damaged || (!movie.endTagSeen && at != d.size());
}

} // namespace

QString describe(ReadError error)
{
    switch (error) {
    case ReadError::None:
        return QStringLiteral("no error");
    case ReadError::TooShort:
        return QStringLiteral("the file is too short to be a Flash movie");
    case ReadError::BadSignature:
        return QStringLiteral("the file is not a Flash movie (no FWS, CWS or ZWS signature)");
    case ReadError::TooLarge:
        return QStringLiteral("the movie claims to be larger than the allowed size");
    case ReadError::Truncated:
        return QStringLiteral(
            "the movie ends inside its header, or is cut short and declares no frames");
    case ReadError::BadCompression:
        return QStringLiteral("the compressed body of the movie is damaged");
    }
    return {};
}

ReadResult read(const QByteArray &file, qsizetype maxSize)
{
    ReadResult result;
    Movie &movie = result.movie;
    auto fail = [&result](ReadError e) {
        result.error = e;
        result.movie = Movie();
        return result;
    };
    if (file.size() < HeaderSize)
        return fail(ReadError::TooShort);
    const QByteArray signature = file.left(3);
    if (signature == "FWS")
        movie.compression = Compression::None;
    else if (signature == "CWS")
        movie.compression = Compression::Zlib;
    else if (signature == "ZWS")
        movie.compression = Compression::Lzma;
    else
        return fail(ReadError::BadSignature);
    movie.version = static_cast<unsigned char>(file[3]);
    movie.declaredLength = u32(file, 4);
    if (movie.declaredLength > static_cast<quint64>(maxSize))
        return fail(ReadError::TooLarge);
    if (movie.declaredLength < HeaderSize)
        return fail(ReadError::Truncated);

    if (movie.compression == Compression::None) {
        movie.damaged = file.size() < qsizetype(movie.declaredLength);
        movie.data = file.left(movie.declaredLength);
    } else if (const ReadError e = inflateBody(file, movie); e != ReadError::None) {
        return fail(e);
    }

    const qsizetype afterRect = readRect(movie.data, HeaderSize, movie.frameRect);
    if (afterRect < 0 || afterRect + 4 > movie.data.size())
        return fail(ReadError::Truncated);
    movie.frameRate = u16(movie.data, afterRect) / 256.0;
    movie.frameCount = u16(movie.data, afterRect + 2);
    movie.tagsOffset = afterRect + 4;
    walkTags(movie);
    // A damaged movie is worth playing only when it says how long it is.
    if (movie.damaged && movie.frameCount == 0)
        return fail(ReadError::Truncated);
    return result;
}

} // namespace swf
