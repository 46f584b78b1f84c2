// The start-up sound's delay to first audio and the memory the sound output
// adds with every built-in sound loaded. bench/sound.sh runs it against a
// PulseAudio null sink, whose monitor it records to hear the first sample.
#include "gui/sound/soundeffects.h"
#include "gui/window/resources.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSoundEffect>
#include <QTest>
#include <QtEndian>

#include <algorithm>
#include <cstdio>

namespace {

qint64 pssKiB()
{
    QFile file(QStringLiteral("/proc/self/smaps_rollup"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Records the null sink's monitor (Qt lists no monitor sources, so through
// parec) and notes when the first loud sample came.
class Ear
{
public:
    bool start()
    {
        m_parec.start(QStringLiteral("parec"),
                      {QStringLiteral("--raw"), QStringLiteral("--device=bench.monitor"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                       QStringLiteral("--rate=44100"), QStringLiteral("--latency-msec=5")});
        return m_parec.waitForStarted();
    }
    bool heard()
    {
        m_pcm += m_parec.readAllStandardOutput();
        bool loud = false;
        for (qsizetype i = 0; i + 1 < m_pcm.size(); i += 2)
            loud = loud || qAbs(qFromLittleEndian<qint16>(m_pcm.constData() + i)) > 300;
        m_pcm = m_pcm.right(m_pcm.size() % 2);
        return loud;
    }

    ~Ear()
    {
        m_parec.kill();
        m_parec.waitForFinished();
    }

private:
    QProcess m_parec;
    QByteArray m_pcm;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Ear ear;
    if (!ear.start()) {
        std::fprintf(stderr, "parec did not start: run bench/sound.sh\n");
        return 1;
    }
    QTest::qWait(300); // let the recording settle before the clock starts
    ear.heard();
    const qint64 pssBefore = pssKiB();

    QElapsedTimer clock;
    clock.start();
    SoundEffects sound(Resources::sounds());
    const qint64 made = clock.elapsed();
    sound.play(Resources::StartSound);
    const qint64 asked = clock.elapsed();
    QSoundEffect *start = nullptr;
    for (QSoundEffect *effect : sound.findChildren<QSoundEffect *>()) {
        if (effect->source().path().contains(Resources::StartSound, Qt::CaseInsensitive))
            start = effect;
    }
    qint64 ready = -1;
    const bool heard = QTest::qWaitFor(
        [&] {
            if (ready < 0 && start && start->status() == QSoundEffect::Ready)
                ready = clock.elapsed();
            return ear.heard();
        },
        10000);
    const qint64 firstAudio = clock.elapsed();

    // Every sound is loaded when it is made; wait for the last of them.
    const auto loaded = [&] {
        const QList<QSoundEffect *> effects = sound.findChildren<QSoundEffect *>();
        return std::all_of(effects.begin(), effects.end(), [](QSoundEffect *effect) {
            return effect->status() == QSoundEffect::Ready;
        });
    };
    if (!QTest::qWaitFor(loaded, 10000))
        std::fprintf(stderr, "not every sound loaded\n");
    const qint64 allLoaded = clock.elapsed();
    // Nothing to wait for: the sound outputs set up their buffers in the
    // background once loaded, and this gives them a moment before the count.
    QTest::qWait(500);
    const qint64 pssAfter = pssKiB();
    std::printf("made_ms=%lld play_call_ms=%lld start_sound_ready_ms=%lld first_audio_ms=%s "
                "all_loaded_ms=%lld pss_added_kib=%lld\n",
                made, asked - made, ready,
                heard ? QByteArray::number(firstAudio).constData() : "never", allLoaded,
                pssAfter - pssBefore);
    return heard ? 0 : 1;
}
