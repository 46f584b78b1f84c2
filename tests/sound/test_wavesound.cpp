#include "gui/sound/wavesound.h"

#include <QAudioSink>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

namespace {

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char *id, const QByteArray &body)
{
    QByteArray c = QByteArray(id, 4) + le32(quint32(body.size())) + body;
    if (body.size() % 2)
        c.append('\0');
    return c;
}

QByteArray formatBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits)
{
    const quint16 align = quint16(channels * ((bits + 7) / 8));
    return le16(tag) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits);
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

// A short 16-bit stereo PCM image with recognisable samples.
QByteArray samples(int count)
{
    QByteArray s;
    for (int i = 0; i < count; ++i)
        s += le16(quint16(i * 257));
    return s;
}

QByteArray pcmWave()
{
    return riff(chunk("fmt ", formatBody(WaveImage::Pcm, 2, 22050, 16)) +
                chunk("data", samples(400)));
}

QByteArray readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

class TestWaveSound : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void committedSoundsAreMp3Waves_data();
    void committedSoundsAreMp3Waves();
    void readsPcmImages_data();
    void readsPcmImages();
    void rejectsDamagedImages_data();
    void rejectsDamagedImages();
    void rejectsEveryTruncation();
    void bitmapsHaveTheirSizesAndDepth_data();
    void bitmapsHaveTheirSizesAndDepth();
    void everyCategoryPictureIsDistinct();
    void cursorAndIcon();
    void decoderTurnsMp3IntoPcm();
    void decoderRefusesGarbageFrames();
    void decoderKeepsOnlyTheLatestRequest();
    void damagedSoundPlaysNothing();
    void unsupportedPcmIsRefusedBeforeTheDevice();
    void pcmSoundEndsByItself();
    void newSoundCutsOffTheOldOne();
    void quickSwitchesNeverStall();
};

void TestWaveSound::committedSoundsAreMp3Waves_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("start-up") << QStringLiteral("QIDONG");
    for (int n = 1; n <= 14; ++n) {
        const QString name = QStringLiteral("SOUND%1").arg(n, 2, 10, QLatin1Char('0'));
        QTest::newRow(qPrintable(name)) << name;
    }
}

void TestWaveSound::committedSoundsAreMp3Waves()
{
    QFETCH(QString, name);
    const QByteArray bytes = readResource(QStringLiteral(":/sounds/%1.wav").arg(name));
    QVERIFY2(!bytes.isEmpty(), "the sound is not built in");
    QVERIFY(bytes.size() >= 21 * 1000 && bytes.size() <= 36 * 1024);

    const WaveImage image = parseWave(bytes);
    QVERIFY2(image.isValid(), qPrintable(describe(image.error)));
    QCOMPARE(image.formatTag, WaveImage::MpegLayer3);
    QCOMPARE(image.channels, quint16(2));
    QCOMPARE(image.sampleRate, quint32(24000));
    QVERIFY(image.data.size() > 20000);
    QCOMPARE(image.data, bytes.mid(image.dataOffset, image.data.size()));
    // The samples start with an MPEG audio frame header (11 set sync bits).
    QCOMPARE(quint8(image.data.at(0)), quint8(0xFF));
    QCOMPARE(quint8(image.data.at(1)) & 0xE0, 0xE0);
}

void TestWaveSound::readsPcmImages_data()
{
    QTest::addColumn<QByteArray>("wave");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<QByteArray>("data");

    const QByteArray s = samples(300);
    const QByteArray fmt16 = chunk("fmt ", formatBody(WaveImage::Pcm, 2, 44100, 16));
    QTest::newRow("16-bit stereo") << riff(fmt16 + chunk("data", s)) << 1 << 2 << 44100 << 16 << s;
    QTest::newRow("8-bit mono") << riff(chunk("fmt ", formatBody(WaveImage::Pcm, 1, 11025, 8)) +
                                        chunk("data", s.left(101)))
                                << 1 << 1 << 11025 << 8 << s.left(101);
    QTest::newRow("float") << riff(chunk("fmt ", formatBody(WaveImage::IeeeFloat, 1, 8000, 32)) +
                                   chunk("data", s))
                           << 3 << 1 << 8000 << 32 << s;
    // Chunks the reader must step over, one of odd length with its pad byte.
    QTest::newRow("list and odd chunk first")
        << riff(chunk("LIST", QByteArray("INFOISFT\x03\0\0\0abc", 15)) + fmt16 +
                chunk("junk", "x") + chunk("data", s))
        << 1 << 2 << 44100 << 16 << s;
    QByteArray ext = formatBody(WaveImage::Extensible, 2, 48000, 16) + le16(22) + le16(16) +
                     le32(3) + le16(WaveImage::Pcm) + QByteArray(14, 'g');
    QTest::newRow("extensible") << riff(chunk("fmt ", ext) + chunk("data", s)) << 1 << 2 << 48000
                                << 16 << s;
    // The pad byte after an odd last chunk, left out of the RIFF size.
    QByteArray oddLast = riff(fmt16 + chunk("data", s.left(7)));
    oddLast.chop(1);
    oddLast.replace(4, 4, le32(quint32(oddLast.size() - 8)));
    QTest::newRow("odd last chunk unpadded") << oddLast << 1 << 2 << 44100 << 16 << s.left(7);
    QTest::newRow("trailing bytes after the RIFF body")
        << riff(fmt16 + chunk("data", s)) + "tail" << 1 << 2 << 44100 << 16 << s;
}

void TestWaveSound::readsPcmImages()
{
    QFETCH(QByteArray, wave);
    const WaveImage image = parseWave(wave);
    QVERIFY2(image.isValid(), qPrintable(describe(image.error)));
    QTEST(int(image.formatTag), "tag");
    QTEST(int(image.channels), "channels");
    QTEST(int(image.sampleRate), "rate");
    QTEST(int(image.bitsPerSample), "bits");
    QTEST(image.data, "data");
}

void TestWaveSound::rejectsDamagedImages_data()
{
    using E = WaveImage::Error;
    QTest::addColumn<QByteArray>("wave");
    QTest::addColumn<E>("error");

    const QByteArray fmt = chunk("fmt ", formatBody(WaveImage::Pcm, 2, 22050, 16));
    const QByteArray data = chunk("data", samples(100));
    const QByteArray good = pcmWave();

    QTest::newRow("empty") << QByteArray() << E::NotRiff;
    QTest::newRow("garbage") << QByteArray(5000, '\x9c') << E::NotRiff;
    QTest::newRow("big-endian RIFX") << "RIFX" + good.mid(4) << E::NotRiff;
    QTest::newRow("AVI, not WAVE") << "RIFF" + le32(4) + "AVI " << E::NotRiff;
    QTest::newRow("RIFF size below its own header") << "RIFF" + le32(2) + "WAVE" << E::NotRiff;
    QTest::newRow("RIFF size past the end") << "RIFF" + le32(900) + good.mid(8) << E::Truncated;
    QTest::newRow("RIFF size 4 GB") << "RIFF" + le32(0xFFFFFFFF) + good.mid(8) << E::Truncated;
    QTest::newRow("data size past the end")
        << riff(fmt + "data" + le32(0xFFFFFFF0) + samples(100)) << E::Truncated;
    QTest::newRow("fmt size past the end")
        << riff("fmt " + le32(0x7FFFFFFF) + formatBody(1, 2, 22050, 16) + data) << E::Truncated;
    QTest::newRow("half a chunk header") << riff(fmt + "LIS") << E::Truncated;
    QTest::newRow("no chunks") << riff(QByteArray()) << E::NoFormat;
    QTest::newRow("data before fmt") << riff(data + fmt) << E::NoFormat;
    QTest::newRow("no data") << riff(fmt + chunk("LIST", "INFO")) << E::NoData;
    QTest::newRow("fmt too short") << riff(chunk("fmt ", le16(1) + le16(2)) + data) << E::BadFormat;
    QTest::newRow("no channels") << riff(chunk("fmt ", formatBody(1, 0, 22050, 16)) + data)
                                 << E::BadFormat;
    QTest::newRow("rate zero") << riff(chunk("fmt ", formatBody(1, 2, 0, 16)) + data)
                               << E::BadFormat;
    QTest::newRow("pcm without bits")
        << riff(chunk("fmt ", formatBody(1, 2, 8000, 0)) + data) << E::BadFormat;
    QByteArray badAlign = formatBody(1, 2, 22050, 16);
    badAlign.replace(12, 2, le16(3));
    QTest::newRow("block size disagrees") << riff(chunk("fmt ", badAlign) + data) << E::BadFormat;
    QTest::newRow("extensible cut short")
        << riff(chunk("fmt ", formatBody(WaveImage::Extensible, 2, 8000, 16)) + data)
        << E::BadFormat;
}

void TestWaveSound::rejectsDamagedImages()
{
    QFETCH(QByteArray, wave);
    QFETCH(WaveImage::Error, error);
    const WaveImage image = parseWave(wave);
    QCOMPARE(image.error, error);
    QVERIFY(image.data.isEmpty());
    QVERIFY(!describe(image.error).isEmpty());
}

// A sound cut short anywhere (an incomplete copy, a bad sector) is refused:
// no prefix of a real sound passes for a whole one.
void TestWaveSound::rejectsEveryTruncation()
{
    const QByteArray whole = readResource(QStringLiteral(":/sounds/QIDONG.wav"));
    QVERIFY(parseWave(whole).isValid());
    for (qsizetype n = 0; n < whole.size(); ++n) {
        const WaveImage image = parseWave(QByteArray::fromRawData(whole.constData(), n));
        if (image.isValid())
            QFAIL(qPrintable(QStringLiteral("a prefix of %1 bytes was accepted").arg(n)));
    }
}

void TestWaveSound::bitmapsHaveTheirSizesAndDepth_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    for (int n = 1; n <= 14; ++n) {
        QTest::newRow(qPrintable(QString::number(100 + n)))
            << QString::number(100 + n) << QSize(71, 71);
        QTest::newRow(qPrintable(QString::number(200 + n)))
            << QString::number(200 + n) << QSize(71, 71);
    }
    for (const char *name : {"JINGYIN1", "JINGYIN2", "QUANPING", "BOFANG", "ZANTING"})
        QTest::newRow(name) << QString::fromLatin1(name) << QSize(27, 27);
    QTest::newRow("FANHUI") << QStringLiteral("FANHUI") << QSize(47, 27);
}

void TestWaveSound::bitmapsHaveTheirSizesAndDepth()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString path = QStringLiteral(":/bitmaps/%1.bmp").arg(name);
    const QByteArray bytes = readResource(path);
    QVERIFY2(bytes.size() > 54, "the bitmap is not built in");
    QVERIFY(bytes.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 28), quint16(24)); // bits per pixel
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 30), quint32(0));  // uncompressed

    const QImage image(path);
    QCOMPARE(image.size(), size);
    // A picture, not a blank: at least a few dozen colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY(colours.size() > 40);
}

namespace {

// Share of pixels that differ clearly between two pictures of one size.
double differingShare(const QImage &a, const QImage &b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d =
                qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
            differing += d > 60;
        }
    }
    return double(differing) / (a.width() * a.height());
}

QImage bitmap(int number)
{
    return QImage(QStringLiteral(":/bitmaps/%1.bmp").arg(number));
}

} // namespace

// A child must see at once which button is chosen, and tell the fourteen apart.
void TestWaveSound::everyCategoryPictureIsDistinct()
{
    for (int n = 1; n <= 14; ++n) {
        const QImage normal = bitmap(100 + n), selected = bitmap(200 + n);
        QVERIFY2(differingShare(normal, selected) > 0.3, qPrintable(QString::number(n)));
        for (int m = n + 1; m <= 14; ++m)
            QVERIFY2(differingShare(normal, bitmap(100 + m)) > 0.1,
                     qPrintable(QStringLiteral("%1 and %2").arg(n).arg(m)));
    }
    const QImage on(QStringLiteral(":/bitmaps/JINGYIN1.bmp"));
    const QImage off(QStringLiteral(":/bitmaps/JINGYIN2.bmp"));
    QVERIFY(differingShare(on, off) > 0.05);
}

void TestWaveSound::cursorAndIcon()
{
    const QImage cursor(QStringLiteral(":/icons/dolphin.png"));
    QCOMPARE(cursor.size(), QSize(32, 32));
    QVERIFY(cursor.hasAlphaChannel());
    QCOMPARE(qAlpha(cursor.pixel(31, 0)), 0);
    // The snout fills the top-left corner, next to the hot spot (4, 4) the
    // window gives the pointer, so the click lands where the child points.
    int snout = 0;
    for (int y = 0; y <= 3; ++y)
        for (int x = 0; x <= 3; ++x)
            snout = qMax(snout, qAlpha(cursor.pixel(x, y)));
    QVERIFY(snout > 128);

    QCOMPARE(QImage(QStringLiteral(":/icons/qorvel.png")).size(), QSize(256, 256));
    QImageReader ico(QStringLiteral(":/icons/qorvel.ico"));
    QCOMPARE(ico.imageCount(), 6);
    QList<int> sizes;
    for (int i = 0; i < ico.imageCount(); ++i) {
        QVERIFY(ico.jumpToImage(i));
        sizes.append(ico.read().width());
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, (QList<int>{16, 24, 32, 48, 64, 256}));
}

namespace {

// Loudest sample of 16-bit PCM, 0 .. 1.
double peak(const QByteArray &pcm)
{
    int loudest = 0;
    for (qsizetype i = 0; i + 1 < pcm.size(); i += 2)
        loudest = qMax(loudest, qAbs(int(qFromLittleEndian<qint16>(pcm.constData() + i))));
    return loudest / 32768.0;
}

} // namespace

void TestWaveSound::decoderTurnsMp3IntoPcm()
{
    WaveDecoder decoder;
    QSignalSpy decoded(&decoder, &WaveDecoder::decoded);
    QSignalSpy failed(&decoder, &WaveDecoder::failed);
    const QByteArray wave = readResource(QStringLiteral(":/sounds/SOUND04.wav"));
    decoder.decode(wave);
    QVERIFY(decoder.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(decoded.count() + failed.count() > 0, 10000);
    QVERIFY2(failed.isEmpty(), "no MP3 decoder: gstreamer1.0-plugins-good is needed");
    QCOMPARE(decoded.first().at(0).toByteArray(), wave);
    const auto format = decoded.first().at(1).value<QAudioFormat>();
    const QByteArray pcm = decoded.first().at(2).toByteArray();
    QCOMPARE(format.sampleRate(), 24000);
    QCOMPARE(format.channelCount(), 2);
    QCOMPARE(format.sampleFormat(), QAudioFormat::Int16);
    const double seconds = double(pcm.size()) / format.bytesPerFrame() / format.sampleRate();
    QVERIFY2(seconds > 2.5 && seconds < 4.6, qPrintable(QString::number(seconds)));
    QVERIFY(peak(pcm) > 0.2); // the voice is there, not silence
    QVERIFY(!decoder.isBusy());
}

void TestWaveSound::decoderRefusesGarbageFrames()
{
    QByteArray wave = readResource(QStringLiteral(":/sounds/SOUND05.wav"));
    const WaveImage image = parseWave(wave);
    for (qsizetype i = image.dataOffset; i < wave.size(); ++i)
        wave[i] = char((i * 7919) % 251);
    WaveDecoder decoder;
    QSignalSpy decoded(&decoder, &WaveDecoder::decoded);
    QSignalSpy failed(&decoder, &WaveDecoder::failed);
    decoder.decode(wave);
    QTRY_VERIFY_WITH_TIMEOUT(decoded.count() + failed.count() > 0, 12000);
    QCOMPARE(failed.count(), 1);
    QCOMPARE(decoded.count(), 0);
}

// Clicking through categories faster than the sounds decode: the one decoding
// finishes, those clicked past are skipped, the last one clicked follows.
void TestWaveSound::decoderKeepsOnlyTheLatestRequest()
{
    QList<QByteArray> waves;
    for (const char *name : {"SOUND06", "SOUND07", "SOUND08", "SOUND09"})
        waves.append(readResource(QStringLiteral(":/sounds/%1.wav").arg(QLatin1String(name))));
    WaveDecoder decoder;
    QSignalSpy decoded(&decoder, &WaveDecoder::decoded);
    for (const QByteArray &wave : waves)
        decoder.decode(wave);
    // Handed over, not decoded on the spot: the clicks never wait.
    QVERIFY(decoder.isBusy());
    QCOMPARE(decoded.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(decoded.count(), 2, 20000);
    QCOMPARE(decoded.at(0).at(0).toByteArray(), waves.first());
    QCOMPARE(decoded.at(1).at(0).toByteArray(), waves.last());
    QTest::qWait(200); // no third decoding follows
    QCOMPARE(decoded.count(), 2);
}

void TestWaveSound::damagedSoundPlaysNothing()
{
    WaveSound sound;
    for (const QByteArray &bad :
         {QByteArray(), QByteArray("RIFF\xff\xff\xff\xffWAVEfmt "), QByteArray(30000, '\0')}) {
        sound.play(bad);
        QCOMPARE(sound.lastOutcome(), WaveSound::Outcome::Damaged);
        QVERIFY(!sound.isPlaying());
    }
}

void TestWaveSound::unsupportedPcmIsRefusedBeforeTheDevice()
{
    WaveSound sound;
    sound.play(riff(chunk("fmt ", formatBody(WaveImage::Pcm, 2, 22050, 24)) +
                    chunk("data", samples(300))));
    QCOMPARE(sound.lastOutcome(), WaveSound::Outcome::Unsupported);
    QVERIFY(!sound.isPlaying());

    // Good PCM either starts or finds no device here; it is never refused.
    sound.play(pcmWave());
    QVERIFY(sound.lastOutcome() == WaveSound::Outcome::Started ||
            sound.lastOutcome() == WaveSound::Outcome::NoDevice ||
            sound.lastOutcome() == WaveSound::Outcome::Failed);
}

void TestWaveSound::pcmSoundEndsByItself()
{
    WaveSound sound;
    QSignalSpy stopped(&sound, &WaveSound::stopped);
    sound.setMuted(true);
    sound.play(riff(chunk("fmt ", formatBody(WaveImage::Pcm, 1, 8000, 16)) +
                    chunk("data", samples(2000))));
    if (sound.lastOutcome() == WaveSound::Outcome::NoDevice)
        QSKIP("no audio output on this machine");
    QCOMPARE(sound.lastOutcome(), WaveSound::Outcome::Started);
    const auto sinks = sound.findChildren<QAudioSink *>();
    QCOMPARE(sinks.size(), 1);
    QCOMPARE(sinks.first()->volume(), 0.0);
    QTRY_VERIFY_WITH_TIMEOUT(!sound.isPlaying(), 5000);
    QCOMPARE(stopped.count(), 1);
    QTRY_VERIFY(sound.findChildren<QAudioSink *>().isEmpty());
}

namespace {

QStringList soundFiles()
{
    return QDir::temp().entryList({QStringLiteral("qorvel-sound-*")}, QDir::Files);
}

} // namespace

void TestWaveSound::newSoundCutsOffTheOldOne()
{
    const QStringList filesBefore = soundFiles();
    WaveSound sound;
    QSignalSpy stopped(&sound, &WaveSound::stopped);
    sound.play(readResource(QStringLiteral(":/sounds/QIDONG.wav")));
    if (sound.lastOutcome() == WaveSound::Outcome::NoDevice)
        QSKIP("no audio output on this machine");
    QCOMPARE(sound.lastOutcome(), WaveSound::Outcome::Started);
    QVERIFY(sound.isPlaying());
    const QByteArray second = readResource(QStringLiteral(":/sounds/SOUND01.wav"));
    sound.play(second);
    QCOMPARE(stopped.count(), 1);
    // The second sound is decoded, heard to its end, and leaves nothing behind.
    QTRY_VERIFY_WITH_TIMEOUT(!sound.isPlaying(), 15000);
    QCOMPARE(stopped.count(), 2);
    QCOMPARE(sound.lastOutcome(), WaveSound::Outcome::Started);
    QTRY_COMPARE(soundFiles(), filesBefore);

    // Played again, it needs no decoding: the output starts at once.
    sound.play(second);
    QCOMPARE(sound.findChildren<QAudioSink *>().size(), 1);
    sound.setMuted(true);
    QCOMPARE(sound.findChildren<QAudioSink *>().first()->volume(), 0.0);
}

// Clicking through the categories must never freeze the window, whatever
// state the previous sound's decoder is in.
void TestWaveSound::quickSwitchesNeverStall()
{
    WaveSound sound;
    sound.play(pcmWave());
    if (sound.lastOutcome() == WaveSound::Outcome::NoDevice)
        QSKIP("no audio output on this machine");
    QList<QByteArray> waves;
    for (int n = 1; n <= 14; ++n)
        waves.append(
            readResource(QStringLiteral(":/sounds/SOUND%1.wav").arg(n, 2, 10, QLatin1Char('0'))));
    qint64 slowest = 0;
    for (int round = 0; round < 28; ++round) {
        QElapsedTimer timer;
        timer.start();
        sound.play(waves.at(round % waves.size()));
        slowest = qMax(slowest, timer.elapsed());
        // Vary how far the previous sound got: decoding, starting, playing.
        QTest::qWait((round % 4) * 25); // a pause on purpose, not a wait for anything
    }
    qInfo("slowest play() took %lld ms", slowest);
    // However the switches fell, the last sound clicked is the one heard.
    QCOMPARE(sound.lastOutcome(), WaveSound::Outcome::Started);
    QTRY_VERIFY_WITH_TIMEOUT(sound.isPlaying(), 20000);
}

QTEST_MAIN(TestWaveSound)
#include "test_wavesound.moc"
