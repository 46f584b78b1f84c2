#pragma once

#include "gui/sound/soundoutput.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class QAudioDecoder;
class QAudioSink;
class QTemporaryFile;
class QTimer;

// What the header of a RIFF WAVE image says, and where its samples lie.
struct WaveImage
{
    enum class Error {
        None,
        NotRiff,   // no "RIFF....WAVE" at the start
        Truncated, // a chunk or the RIFF body runs past the end of the bytes
        NoFormat,  // no "fmt " chunk before the samples
        BadFormat, // the "fmt " chunk is too short or says nonsense
        NoData,    // no "data" chunk
    };

    static constexpr quint16 Pcm = 0x0001;
    static constexpr quint16 IeeeFloat = 0x0003;
    static constexpr quint16 MpegLayer3 = 0x0055;
    static constexpr quint16 Extensible = 0xFFFE;

    Error error = Error::None;
    quint16 formatTag = 0; // for Extensible: the tag of the sub-format
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    quint16 blockAlign = 0;
    qsizetype dataOffset = 0; // of the first sample byte in the image
    QByteArray data;          // a copy of the samples (or MP3 frames)

    bool isValid() const { return error == Error::None; }
};

// Reads the header of a WAVE image. Never reads outside the bytes: a damaged,
// truncated or lying image gives an error, not a crash.
WaveImage parseWave(const QByteArray &bytes);
QString describe(WaveImage::Error error);

// Decodes compressed WAVE images to PCM in the background, one at a time.
// A decoding that has begun always runs to its end: interrupting the media
// back end half-way is what stalled and crashed it (see the .cpp).
class WaveDecoder : public QObject
{
    Q_OBJECT
public:
    explicit WaveDecoder(QObject *parent = nullptr);
    ~WaveDecoder() override;

    // While one image is being decoded, only the latest further request waits.
    void decode(const QByteArray &wave);
    bool isBusy() const { return m_file != nullptr; }

Q_SIGNALS:
    void decoded(const QByteArray &wave, const QAudioFormat &format, const QByteArray &pcm);
    void failed(const QByteArray &wave);

private:
    void start(const QByteArray &wave);
    void finish(bool ok);

    QAudioDecoder *m_decoder;
    QTimer *m_watchdog;
    std::unique_ptr<QTemporaryFile> m_file; // the image being decoded
    QByteArray m_current;
    QByteArray m_pending;
    QByteArray m_pcm;
    QAudioFormat m_format;
};

// Plays WAVE images from memory in the background, as the category buttons
// and start-up need: PCM as it is, MP3-compressed WAVE once decoded (and kept,
// since the program plays the same few sounds again and again), both through
// an audio sink. A new sound cuts off the one before. Without an audio device
// or a decoder nothing is heard and nothing is reported: a missing jingle is
// not worth interrupting a child for.
class WaveSound : public QObject, public SoundOutput
{
    Q_OBJECT
public:
    enum class Outcome {
        Nothing,     // nothing played yet
        Started,     // handed to the decoder or the audio output
        Damaged,     // the image could not be read
        Unsupported, // a sample format we cannot play
        NoDevice,    // there is no audio output to play on
        Failed,      // the output or decoder gave up
    };

    explicit WaveSound(QObject *parent = nullptr);
    ~WaveSound() override;

    void play(const QByteArray &wave) override;
    void setMuted(bool muted) override;
    bool isMuted() const { return m_muted; }

    // What became of the last play(): for diagnostics and tests.
    Outcome lastOutcome() const { return m_outcome; }
    bool isPlaying() const;

Q_SIGNALS:
    // The last sound ended, was cut off or failed; its bytes are released.
    void stopped();

private:
    struct Pcm
    {
        QAudioFormat format;
        QByteArray samples;
    };

    void stop();
    void fail();
    void startSink(const QAudioFormat &format, const QByteArray &samples);
    void onDecoded(const QByteArray &wave, const QAudioFormat &format, const QByteArray &pcm);
    void onDecodingFailed(const QByteArray &wave);

    bool m_muted = false;
    Outcome m_outcome = Outcome::Nothing;
    QAudioSink *m_sink = nullptr; // one per sound, owning the bytes it reads
    WaveDecoder *m_decoder;
    QByteArray m_waiting; // the image whose decoding the next sound waits for
    QHash<QByteArray, Pcm> m_decoded;
};
