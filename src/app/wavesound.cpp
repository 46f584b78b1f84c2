#include "app/wavesound.h"

#include <QAudioFormat>
#include <QAudioOutput>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>
#include <QtEndian>

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

WaveSound::WaveSound(QObject *parent) : QObject(parent) {}

WaveSound::~WaveSound() = default;

bool WaveSound::isPlaying() const
{
    return m_sink || m_player;
}

void WaveSound::play(const QByteArray &wave)
{
    stop();
    const WaveImage image = parseWave(wave);
    if (!image.isValid()) {
        m_outcome = Outcome::Damaged;
        return;
    }
    if (image.formatTag == WaveImage::MpegLayer3)
        playMp3(image);
    else
        playPcm(image);
}

void WaveSound::playPcm(const WaveImage &image)
{
    const QAudioFormat format = sinkFormat(image);
    if (!format.isValid()) {
        m_outcome = Outcome::Unsupported;
        return;
    }
    // The sink talks to the sound server directly; the media player below
    // finds its own way out, so only this path needs the check.
    if (QMediaDevices::defaultAudioOutput().isNull()) {
        m_outcome = Outcome::NoDevice;
        return;
    }
    m_sink = new QAudioSink(format, this);
    // The sink owns the bytes it reads, so they go with it and not before.
    auto *buffer = new QBuffer(m_sink);
    buffer->setData(image.data);
    buffer->open(QIODevice::ReadOnly);
    m_sink->setVolume(m_muted ? 0.0 : 1.0);
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (m_sink->error() != QAudio::NoError)
            fail();
        else if (state == QAudio::IdleState)
            stop();
    });
    m_outcome = Outcome::Started;
    m_sink->start(buffer);
    if (m_sink && m_sink->error() != QAudio::NoError)
        fail();
}

// One media player per sound. Stopping a player that is still loading from a
// device waits a whole second for its decoder (measured with the GStreamer
// back end: the decoder asks this thread for data while this thread waits
// for the decoder), whereas deleting it returns at once. So a sound is cut off
// by throwing its player away, never by stopping it.
void WaveSound::playMp3(const WaveImage &image)
{
    m_player = new QMediaPlayer(this);
    auto *output = new QAudioOutput(m_player);
    output->setMuted(m_muted);
    m_player->setAudioOutput(output);
    // Children go after the player itself: the bytes outlive the decoder.
    auto *buffer = new QBuffer(m_player);
    buffer->setData(image.data);
    buffer->open(QIODevice::ReadOnly);
    connect(m_player, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error) {
        if (error != QMediaPlayer::NoError)
            fail();
    });
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
                if (status == QMediaPlayer::InvalidMedia)
                    fail();
                else if (status == QMediaPlayer::EndOfMedia)
                    stop();
            });
    m_outcome = Outcome::Started;
    // Without a name the player ignores the device; a relative name would be
    // resolved against the working folder, so it gets one that names no file.
    m_player->setSourceDevice(buffer, QUrl(QStringLiteral("memory:sound.mp3")));
    m_player->play();
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
    // Either may be the sender of the signal that brought us here, so they
    // are deleted once it has returned, and silenced until then.
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
        m_sink->deleteLater();
        m_sink = nullptr;
    }
    if (m_player) {
        m_player->disconnect(this);
        if (QAudioOutput *output = m_player->audioOutput())
            output->setMuted(true);
        m_player->deleteLater();
        m_player = nullptr;
    }
    Q_EMIT stopped();
}

void WaveSound::setMuted(bool muted)
{
    m_muted = muted;
    if (m_sink)
        m_sink->setVolume(muted ? 0.0 : 1.0);
    if (m_player && m_player->audioOutput())
        m_player->audioOutput()->setMuted(muted);
}
