#pragma once

#include "app/services.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QAudioSink;
class QMediaPlayer;

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
    QByteArray data;          // the samples (or MP3 frames), shared with the image

    bool isValid() const { return error == Error::None; }
};

// Reads the header of a WAVE image. Never reads outside the bytes: a damaged,
// truncated or lying image gives an error, not a crash.
WaveImage parseWave(const QByteArray &bytes);
QString describe(WaveImage::Error error);

// Plays WAVE images from memory in the background, as the category buttons
// and start-up need: PCM through an audio sink, MP3-compressed WAVE through the
// media player. A new sound cuts off the one before. Without an audio device
// or a decoder nothing is heard and nothing is reported: a missing jingle is
// not worth interrupting a child for.
class WaveSound : public QObject, public SoundOutput
{
    Q_OBJECT
public:
    enum class Outcome {
        Nothing,     // nothing played yet
        Started,     // handed to the audio output
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
    void stop();
    void playPcm(const WaveImage &image);
    void playMp3(const WaveImage &image);
    void fail();

    bool m_muted = false;
    Outcome m_outcome = Outcome::Nothing;
    // At most one of them plays; each owns the bytes it reads from.
    QAudioSink *m_sink = nullptr;
    QMediaPlayer *m_player = nullptr;
};
