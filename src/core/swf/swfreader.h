#pragma once

#include <QByteArray>
#include <QList>
#include <QRect>
#include <QString>

// Reads the header and the top-level tag list of a Flash movie. The body is
// inflated (zlib for "CWS", LZMA for "ZWS") into memory up to a cap, so that a
// damaged or hostile file cannot make the program allocate without bound.
namespace swf {

enum class Compression { None, Zlib, Lzma };

enum class ReadError {
    None,
    TooShort,       // fewer bytes than a header
    BadSignature,   // not FWS, CWS or ZWS
    TooLarge,       // the header claims more than the cap allows
    Truncated,      // the data ends inside the header, or before any frame
    BadCompression, // the compressed stream is corrupt
};

QString describe(ReadError error);

namespace tag {
inline constexpr int End = 0;
inline constexpr int ShowFrame = 1;
inline constexpr int SetBackgroundColor = 9;
inline constexpr int DoAction = 12;
inline constexpr int DefineSprite = 39;
inline constexpr int FileAttributes = 69;
inline constexpr int DoAbc = 72;
inline constexpr int DoAbc2 = 82;
} // namespace tag

struct Tag
{
    int code = 0;
    qsizetype offset = 0;     // of the record header, within Movie::data
    qsizetype bodyOffset = 0; // of the first body byte
    qsizetype length = 0;     // of the body
};

struct Movie
{
    Compression compression = Compression::None;
    int version = 0;
    quint32 declaredLength = 0; // the header's file length, uncompressed
    QRect frameRect;            // twips
    double frameRate = 0;
    int frameCount = 0;     // as declared in the header
    int showFrameCount = 0; // ShowFrame tags on the main timeline
    bool actionScript3 = false;
    bool endTagSeen = false;
    // The data ends before the declared length, inside a tag or inside the
    // compressed stream, as a download cut short does. The runtime plays such
    // a movie as far as it goes; the tags listed are the complete ones.
    bool damaged = false;
    // The whole movie uncompressed, header included, as an "FWS" file would
    // hold it (signature and length not rewritten).
    QByteArray data;
    qsizetype tagsOffset = 0; // first tag after the header fields
    QList<Tag> tags;          // main timeline, End tag excluded
};

struct ReadResult
{
    ReadError error = ReadError::None;
    Movie movie;
    bool ok() const { return error == ReadError::None; }
};

// A generous bound for children's programmes, far beyond any real one but far
// below what would hurt the machine.
inline constexpr qsizetype DefaultMaxSize = 256 * 1024 * 1024;

ReadResult read(const QByteArray &file, qsizetype maxSize = DefaultMaxSize);

} // namespace swf
