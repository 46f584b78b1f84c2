#include "core/swf/swfreader.h"
#include "support/swfwriter.h"

#include <QtEndian>
#include <QtTest>

#include <zlib.h>

using swf::Compression;
using swf::ReadError;

Q_DECLARE_METATYPE(swf::Compression)
Q_DECLARE_METATYPE(swf::ReadError)

namespace {

QByteArray movie(int version, Compression compression, int frames = 30)
{
    TestMovieOptions o;
    o.version = version;
    o.compression = compression;
    o.frameCount = frames;
    return makeTestMovie(o);
}

QByteArray withLength(QByteArray bytes, quint32 length)
{
    qToLittleEndian(length, bytes.data() + 4);
    return bytes;
}

} // namespace

class TestSwfReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsWhatWasWritten_data();
    void readsWhatWasWritten();
    void damagedInput_data();
    void damagedInput();
    void damagedButPlayable_data();
    void damagedButPlayable();
    void everyTruncationIsNoticed_data();
    void everyTruncationIsNoticed();
    void compressedBombIsCutAtDeclaredLength();
    void trailingBytesAreIgnored();
    void tagsAreListedInOrder();
};

void TestSwfReader::readsWhatWasWritten_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<Compression>("compression");
    QTest::addColumn<int>("frames");
    QTest::addColumn<double>("rate");
    QTest::addColumn<bool>("as3");
    QTest::newRow("v6 plain") << 6 << Compression::None << 240 << 24.0 << false;
    QTest::newRow("v6 zlib") << 6 << Compression::Zlib << 240 << 12.0 << false;
    QTest::newRow("v8 plain") << 8 << Compression::None << 1 << 30.0 << false;
    QTest::newRow("v8 zlib") << 8 << Compression::Zlib << 500 << 25.0 << false;
    QTest::newRow("v10 lzma") << 10 << Compression::Lzma << 240 << 24.0 << false;
    QTest::newRow("v13 lzma as3") << 13 << Compression::Lzma << 90 << 60.0 << true;
    QTest::newRow("v9 plain as3, fractional rate") << 9 << Compression::None << 7 << 7.5 << true;
}

void TestSwfReader::readsWhatWasWritten()
{
    QFETCH(int, version);
    QFETCH(Compression, compression);
    QFETCH(int, frames);
    QFETCH(double, rate);
    QFETCH(bool, as3);
    TestMovieOptions o;
    o.version = version;
    o.compression = compression;
    o.frameCount = frames;
    o.frameRate = rate;
    o.actionScript3 = as3;
    o.width = 550;
    o.height = 400;
    const swf::ReadResult r = swf::read(makeTestMovie(o));
    QVERIFY2(r.ok(), qPrintable(swf::describe(r.error)));
    QCOMPARE(r.movie.version, version);
    QCOMPARE(r.movie.compression, compression);
    QCOMPARE(r.movie.frameCount, frames);
    QCOMPARE(r.movie.showFrameCount, frames);
    QCOMPARE(r.movie.frameRate, rate);
    QCOMPARE(r.movie.actionScript3, as3);
    QCOMPARE(r.movie.frameRect, QRect(0, 0, 550 * 20, 400 * 20));
    QVERIFY(r.movie.endTagSeen);
    QCOMPARE(r.movie.data.size(), qsizetype(r.movie.declaredLength));
}

void TestSwfReader::damagedInput_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qsizetype>("cap");
    QTest::addColumn<ReadError>("error");
    const qsizetype cap = swf::DefaultMaxSize;
    const QByteArray plain = movie(6, Compression::None);
    const QByteArray zlib = movie(8, Compression::Zlib);
    const QByteArray lzma = movie(10, Compression::Lzma);

    QTest::newRow("empty") << QByteArray() << cap << ReadError::TooShort;
    QTest::newRow("seven bytes") << plain.left(7) << cap << ReadError::TooShort;
    QTest::newRow("a picture") << QByteArray("GIF89a\x01\x00\x01\x00\x00\x00", 12) << cap
                               << ReadError::BadSignature;
    QTest::newRow("lower-case signature")
        << QByteArray("fws").append(plain.mid(3)) << cap << ReadError::BadSignature;
    QTest::newRow("plain cut inside its header") << plain.left(12) << cap << ReadError::Truncated;
    QTest::newRow("length below header") << withLength(plain, 4) << cap << ReadError::Truncated;
    QTest::newRow("zlib cut inside its header") << zlib.left(14) << cap << ReadError::Truncated;
    QTest::newRow("plain cut short, no frames")
        << movie(6, Compression::None, 0).left(200) << cap << ReadError::Truncated;
    QTest::newRow("zlib cut short, no frames")
        << movie(8, Compression::Zlib, 0).left(200) << cap << ReadError::Truncated;
    QByteArray garbage = zlib.left(8) + QByteArray(400, '\x5a');
    QTest::newRow("zlib garbage") << garbage << cap << ReadError::BadCompression;
    QTest::newRow("lzma without its properties") << lzma.left(10) << cap << ReadError::Truncated;
    QByteArray badProps = lzma;
    badProps[12] = '\xff'; // lc/lp/pb byte beyond its range
    QTest::newRow("lzma bad properties") << badProps << cap << ReadError::BadCompression;
    QTest::newRow("larger than the cap") << zlib << qsizetype(100) << ReadError::TooLarge;
    QTest::newRow("claims four gigabytes")
        << withLength(zlib, 0xfffffff0u) << cap << ReadError::TooLarge;
}

void TestSwfReader::damagedInput()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qsizetype, cap);
    QFETCH(ReadError, error);
    const swf::ReadResult r = swf::read(bytes, cap);
    QCOMPARE(r.error, error);
    QCOMPARE(r.movie.frameCount, 0);
    QVERIFY(r.movie.data.isEmpty());
    QVERIFY(!swf::describe(r.error).isEmpty());
}

void TestSwfReader::damagedButPlayable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tags"); // complete tags left; -1: fewer than the whole movie's
    const QByteArray plain = movie(6, Compression::None);
    const QByteArray zlib = movie(8, Compression::Zlib);
    const QByteArray lzma = movie(10, Compression::Lzma);
    const QList<swf::Tag> all = swf::read(plain).movie.tags;
    const auto allTags = int(all.size());
    QTest::newRow("plain cut short") << plain.left(plain.size() / 2) << -1;
    QTest::newRow("plain, length says more") << withLength(plain, plain.size() + 100) << allTags;
    QTest::newRow("zlib cut short") << zlib.left(zlib.size() / 2) << -1;
    QTest::newRow("zlib, length says more") << withLength(zlib, 1 << 20) << allTags + 1;
    QTest::newRow("lzma cut short") << lzma.left(lzma.size() / 2) << -1;
    // The last tag's length runs past the end of the file.
    QByteArray lying = plain.left(all.last().offset);
    lying.append('\x3f').append('\x00');             // tag 0 with a long length...
    lying.append(QByteArray("\x00\x00\x01\x00", 4)); // ...of 65536 bytes
    lying.append(QByteArray(8, '\0'));
    QTest::newRow("tag length lies") << withLength(lying, lying.size()) << allTags - 1;
    QTest::newRow("cut inside a tag header") << plain.left(all.last().offset + 1) << allTags - 1;
}

void TestSwfReader::damagedButPlayable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, tags);
    const swf::ReadResult r = swf::read(bytes);
    QVERIFY2(r.ok(), qPrintable(swf::describe(r.error)));
    QVERIFY(r.movie.damaged);
    QCOMPARE(r.movie.frameCount, 30);
    QVERIFY(!r.movie.tags.isEmpty());
    const swf::Tag last = r.movie.tags.last();
    QVERIFY(last.bodyOffset + last.length <= r.movie.data.size());
    // The file's own end or the tag that runs past it is where the list stops.
    if (tags >= 0)
        QCOMPARE(r.movie.tags.size(), qsizetype(tags));
    else
        QVERIFY(r.movie.tags.size() < swf::read(movie(6, Compression::None)).movie.tags.size());
}

void TestSwfReader::everyTruncationIsNoticed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain") << movie(6, Compression::None, 3);
    QTest::newRow("zlib") << movie(8, Compression::Zlib, 3);
    QTest::newRow("lzma") << movie(10, Compression::Lzma, 3);
}

void TestSwfReader::everyTruncationIsNoticed()
{
    QFETCH(QByteArray, bytes);
    // The last few bytes of a compressed stream are checksums or an end
    // marker; the movie is complete without them.
    const qsizetype complete = bytes.startsWith("FWS") ? bytes.size() : bytes.size() - 16;
    for (qsizetype n = 0; n < complete; ++n) {
        const swf::ReadResult r = swf::read(bytes.left(n));
        if (r.ok() && !r.movie.damaged)
            QFAIL(qPrintable(QStringLiteral("a prefix of %1 bytes was taken as whole").arg(n)));
    }
}

void TestSwfReader::compressedBombIsCutAtDeclaredLength()
{
    // 64 MB of zeros packed into a few kilobytes, behind a header that
    // declares 4 KB: the reader must stop at 4 KB, not follow the stream.
    const QByteArray zeros(64 * 1024 * 1024, '\0');
    uLongf size = compressBound(uLong(zeros.size()));
    QByteArray packed(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(packed.data()), &size,
              reinterpret_cast<const Bytef *>(zeros.constData()), uLong(zeros.size()), 9);
    packed.resize(qsizetype(size));
    QByteArray bomb = withLength(QByteArray("CWS\x08\0\0\0\0", 8), 4096) + packed;
    const swf::ReadResult r = swf::read(bomb);
    QVERIFY(r.ok());
    QCOMPARE(r.movie.data.size(), qsizetype(4096));
    QCOMPARE(r.movie.frameCount, 0);

    const swf::ReadResult capped = swf::read(withLength(bomb, 32 * 1024 * 1024), 1024 * 1024);
    QCOMPARE(capped.error, ReadError::TooLarge);
}

void TestSwfReader::trailingBytesAreIgnored()
{
    const QByteArray plain = movie(6, Compression::None, 12);
    const swf::ReadResult r = swf::read(plain + QByteArray(100, '\x11'));
    QVERIFY(r.ok());
    QCOMPARE(r.movie.frameCount, 12);
    QCOMPARE(r.movie.data, plain);
}

void TestSwfReader::tagsAreListedInOrder()
{
    TestMovieOptions o;
    o.frameCount = 40;
    o.stopFrame = 30;
    const swf::ReadResult r = swf::read(makeTestMovie(o));
    QVERIFY(r.ok());
    // The stop() action is a DoAction just before the 30th ShowFrame.
    int shown = 0;
    int doActionFrame = 0;
    for (const swf::Tag &t : r.movie.tags) {
        if (t.code == swf::tag::ShowFrame)
            ++shown;
        if (t.code == swf::tag::DoAction)
            doActionFrame = shown + 1;
        QVERIFY(t.bodyOffset + t.length <= r.movie.data.size());
    }
    QCOMPARE(doActionFrame, 30);
    QCOMPARE(r.movie.tags.first().code, swf::tag::FileAttributes);
}

QTEST_GUILESS_MAIN(TestSwfReader)
#include "test_swfreader.moc"
