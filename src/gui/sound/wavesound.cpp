#include "gui/sound/wavesound.h"

#include <QAudioBuffer>
#include <QAudioDecoder>
#include <QAudioSink>
#include <QBuffer>
#include <QDir>
#include <QMediaDevices>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <QtEndian>

#include <utility>

namespace {

using Error = WaveImage::Error;

quint16 le16(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 le32(const QByteArray &bytes, qint64 at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

bool isPcmLike(quint16 tag)
{
    return tag == WaveImage::Pcm || tag == WaveImage::IeeeFloat;
}

// Fills the format fields from a "fmt " chunk of `size` bytes at `at`.
Error readFormat(const QByteArray &bytes, qint64 at, qint64 size, WaveImage &image)
{
    if (size < 16)
        return Error::BadFormat;
    image.formatTag = le16(bytes, at);
    image.channels = le16(bytes, at + 2);
    image.sampleRate = le32(bytes, at + 4);
    image.blockAlign = le16(bytes, at + 12);
    image.bitsPerSample = le16(bytes, at + 14);
    if (image.formatTag == WaveImage::Extensible) {
        // The real tag is the first two bytes of the sub-format GUID.
        if (size < 40)
            return Error::BadFormat;
        image.formatTag = le16(bytes, at + 24);
    }
    if (image.channels == 0 || image.sampleRate == 0)
        return Error::BadFormat;
    if (isPcmLike(image.formatTag)) {
        const int bytesPerSample = (image.bitsPerSample + 7) / 8;
        if (bytesPerSample == 0 || image.blockAlign != image.channels * bytesPerSample)
            return Error::BadFormat;
    }
    return Error::None;
}

WaveImage failed(Error error)
{
    WaveImage image;
    image.error = error;
    return image;
}

// Sample formats an audio sink takes as they are; anything else is not
// converted here, since the program's own sounds are MP3 or 16-bit PCM.
QAudioFormat sinkFormat(const WaveImage &image)
{
    QAudioFormat format;
    format.setSampleRate(int(image.sampleRate));
    format.setChannelCount(image.channels);
    if (image.formatTag == WaveImage::IeeeFloat && image.bitsPerSample == 32)
        format.setSampleFormat(QAudioFormat::Float);
    else if (image.formatTag != WaveImage::Pcm)
        return {};
    else if (image.bitsPerSample == 8)
        format.setSampleFormat(QAudioFormat::UInt8);
    else if (image.bitsPerSample == 16)
        format.setSampleFormat(QAudioFormat::Int16);
    else if (image.bitsPerSample == 32)
        format.setSampleFormat(QAudioFormat::Int32);
    else
        return {};
    return format;
}

} // namespace

WaveImage parseWave(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return failed(Error::NotRiff);
    qint64 end = 8 + qint64(le32(bytes, 4));
    // Writers differ on whether the pad byte after an odd last chunk is
    // counted; one byte short is not damage.
    if (end == bytes.size() + 1)
        end = bytes.size();
    if (end > bytes.size())
        return failed(Error::Truncated);
    if (end < 12)
        return failed(Error::NotRiff);

    WaveImage image;
    bool haveFormat = false;
    qint64 pos = 12;
    while (pos < end) {
        if (end - pos < 8)
            return failed(Error::Truncated);
        const QByteArray id = bytes.mid(pos, 4);
        const qint64 size = le32(bytes, pos + 4);
        const qint64 body = pos + 8;
        if (size > end - body)
            return failed(Error::Truncated);
        if (id == "fmt ") {
            const Error error = readFormat(bytes, body, size, image);
            if (error != Error::None)
                return failed(error);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return failed(Error::NoFormat);
            image.dataOffset = body;
            image.data = bytes.mid(body, size);
            return image;
        }
        pos = body + size + (size & 1);
    }
    return failed(haveFormat ? Error::NoData : Error::NoFormat);
}

QString describe(WaveImage::Error error)
{
    switch (error) {
    case Error::None:
        return QStringLiteral("no error");
    case Error::NotRiff:
        return QStringLiteral("not a RIFF WAVE image");
    case Error::Truncated:
        return QStringLiteral("a chunk runs past the end of the image");
    case Error::NoFormat:
        return QStringLiteral("no format chunk before the samples");
    case Error::BadFormat:
        return QStringLiteral("the format chunk is damaged");
    case Error::NoData:
        return QStringLiteral("no data chunk");
    }
    return {};
}

// Measured with Qt 6.4's GStreamer back end, playing MP3 through a media
// player: stopping a player in the first moments of a sound froze the window
// for a second, reusing one deadlocked now and then, and deleting one with a
// loaded stream crashed now and then. Decoding to PCM once and playing that
// through an audio sink avoids all three: a sink stops at once, and a
// decoding is never interrupted. The decoder reads the image from a temporary
// file rather than a QBuffer, which it would read through this thread.

namespace {

constexpr int DecodeTimeoutMs = 10000;
constexpr int MaxDecodedSounds = 32;

} // namespace

WaveDecoder::WaveDecoder(QObject *parent)
    : QObject(parent), m_decoder(new QAudioDecoder(this)), m_watchdog(new QTimer(this))
{
    m_watchdog->setSingleShot(true);
    m_watchdog->setInterval(DecodeTimeoutMs);
    connect(m_watchdog, &QTimer::timeout, this, [this] { finish(false); });
    connect(m_decoder, &QAudioDecoder::bufferReady, this, [this] {
        const QAudioBuffer buffer = m_decoder->read();
        m_format = buffer.format();
        m_pcm.append(buffer.constData<char>(), buffer.byteCount());
    });
    // Queued: the next decoding is not started from inside the decoder's own
    // notification.
    connect(
        m_decoder, &QAudioDecoder::finished, this, [this] { finish(true); }, Qt::QueuedConnection);
    connect(
        m_decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), this,
        [this] { finish(false); }, Qt::QueuedConnection);
}

WaveDecoder::~WaveDecoder() = default;

void WaveDecoder::decode(const QByteArray &wave)
{
    if (!isBusy())
        start(wave);
    else if (wave == m_current)
        m_pending.clear(); // on its way already
    else
        m_pending = wave;
}

void WaveDecoder::start(const QByteArray &wave)
{
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                                 QStringLiteral("/qorvel-sound-XXXXXX.wav"));
    if (!file->open() || file->write(wave) != wave.size() || !file->flush()) {
        Q_EMIT failed(wave);
        return;
    }
    file->close();
    m_file = std::move(file);
    m_current = wave;
    m_pcm.clear();
    m_format = {};
    m_watchdog->start();
    m_decoder->setSource(QUrl::fromLocalFile(m_file->fileName()));
    m_decoder->start();
}

void WaveDecoder::finish(bool ok)
{
    if (!isBusy())
        return; // an error after the end, or the end after an error
    m_watchdog->stop();
    if (!ok || m_pcm.isEmpty() || !m_format.isValid())
        m_decoder->stop();
    m_file.reset();
    const QByteArray wave = std::exchange(m_current, {});
    if (ok && !m_pcm.isEmpty() && m_format.isValid())
        Q_EMIT decoded(wave, m_format, std::exchange(m_pcm, {}));
    else
        Q_EMIT failed(wave);
    if (!m_pending.isEmpty() && !isBusy())
        start(std::exchange(m_pending, {}));
}

WaveSound::WaveSound(QObject *parent) : QObject(parent), m_decoder(new WaveDecoder(this))
{
    connect(m_decoder, &WaveDecoder::decoded, this, &WaveSound::onDecoded);
    connect(m_decoder, &WaveDecoder::failed, this, &WaveSound::onDecodingFailed);
}

WaveSound::~WaveSound() = default;

bool WaveSound::isPlaying() const
{
    return m_sink || !m_waiting.isEmpty();
}

void WaveSound::play(const QByteArray &wave)
{
    stop();
    const WaveImage image = parseWave(wave);
    if (!image.isValid()) {
        m_outcome = Outcome::Damaged;
        return;
    }
    const bool compressed = image.formatTag == WaveImage::MpegLayer3;
    const QAudioFormat format = compressed ? QAudioFormat() : sinkFormat(image);
    if (!compressed && !format.isValid()) {
        m_outcome = Outcome::Unsupported;
        return;
    }
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        m_outcome = Outcome::NoDevice;
        return;
    }
    m_outcome = Outcome::Started;
    if (!compressed) {
        startSink(format, image.data);
    } else if (const auto found = m_decoded.constFind(wave); found != m_decoded.cend()) {
        startSink(found->format, found->samples);
    } else {
        m_waiting = wave;
        m_decoder->decode(wave);
    }
}

void WaveSound::onDecoded(const QByteArray &wave, const QAudioFormat &format, const QByteArray &pcm)
{
    if (m_decoded.size() >= MaxDecodedSounds)
        m_decoded.clear();
    m_decoded.insert(wave, Pcm{format, pcm});
    if (!m_waiting.isEmpty() && wave == m_waiting) {
        m_waiting.clear();
        startSink(format, pcm);
    }
}

void WaveSound::onDecodingFailed(const QByteArray &wave)
{
    if (!m_waiting.isEmpty() && wave == m_waiting)
        fail();
}

void WaveSound::startSink(const QAudioFormat &format, const QByteArray &samples)
{
    m_sink = new QAudioSink(format, this);
    auto *buffer = new QBuffer(m_sink);
    buffer->setData(samples);
    buffer->open(QIODevice::ReadOnly);
    m_sink->setVolume(m_muted ? 0.0 : 1.0);
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (m_sink->error() != QAudio::NoError)
            fail();
        else if (state == QAudio::IdleState)
            stop();
    });
    m_sink->start(buffer);
    if (m_sink && m_sink->error() != QAudio::NoError)
        fail();
}

void WaveSound::fail()
{
    stop();
    m_outcome = Outcome::Failed;
}

void WaveSound::stop()
{
    if (!isPlaying())
        return;
    // A decoding under way runs on; its result is kept for the next time.
    m_waiting.clear();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        // This may run inside the sink's own signal, and the sink owns the
        // bytes it was reading: both go once that has returned.
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    Q_EMIT stopped();
}

void WaveSound::setMuted(bool muted)
{
    m_muted = muted;
    if (m_sink)
        m_sink->setVolume(muted ? 0.0 : 1.0);
}
