// Every built-in sound loads as plain PCM, with or without a sound server,
// and a new sound cuts off the one before.
#include "gui/sound/soundeffects.h"
#include "gui/window/resources.h"

#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QtEndian>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// The effect that plays `name`, found among the object's children.
QSoundEffect *effectOf(const SoundEffects &sounds, const QString &name)
{
    for (QSoundEffect *effect : sounds.findChildren<QSoundEffect *>()) {
        if (QFileInfo(effect->source().path()).baseName().compare(name, Qt::CaseInsensitive) == 0)
            return effect;
    }
    return nullptr;
}

} // namespace

class TestSoundEffects : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everySoundIsPcmAndLoads_data();
    void everySoundIsPcmAndLoads();
    void newSoundCutsOffTheOneBefore();

private:
    SoundEffects m_sounds{Resources::sounds()};
};

void TestSoundEffects::everySoundIsPcmAndLoads_data()
{
    QTest::addColumn<QUrl>("url");
    const QList<QUrl> urls = Resources::sounds();
    QCOMPARE(urls.size(), 15);
    for (const QUrl &url : urls)
        QTest::newRow(qPrintable(QFileInfo(url.path()).baseName())) << url;
}

void TestSoundEffects::everySoundIsPcmAndLoads()
{
    QFETCH(QUrl, url);
    QFile file(u':' + url.path());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray wave = file.readAll();
    QVERIFY(wave.startsWith("RIFF") && wave.mid(8, 8) == "WAVEfmt ");
    const auto le16 = [&](int at) { return qFromLittleEndian<quint16>(wave.constData() + at); };
    QCOMPARE(le16(20), quint16(1)); // PCM
    QCOMPARE(le16(22), quint16(1)); // mono
    QCOMPARE(qFromLittleEndian<quint32>(wave.constData() + 24), quint32(22050));
    QCOMPARE(le16(34), quint16(16));
    QCOMPARE(wave.mid(36, 4), QByteArray("data"));
    // The silent end that keeps the output from cutting off the voice.
    const QByteArray tail = wave.right(22050 / 2 * 2);
    QVERIFY(wave.size() > 44 + 22050 * 2);
    QCOMPARE(tail.count('\0'), tail.size());

    QSoundEffect *effect = effectOf(m_sounds, QFileInfo(url.path()).baseName());
    QVERIFY(effect);
    QTRY_COMPARE_WITH_TIMEOUT(effect->status(), QSoundEffect::Ready, 10000);
}

void TestSoundEffects::newSoundCutsOffTheOneBefore()
{
    QSoundEffect *first = effectOf(m_sounds, u"SOUND01"_s);
    QSoundEffect *second = effectOf(m_sounds, u"SOUND02"_s);
    QTRY_VERIFY_WITH_TIMEOUT(
        first->status() == QSoundEffect::Ready && second->status() == QSoundEffect::Ready, 10000);
    m_sounds.play(u"sound01"_s);
    QTRY_VERIFY(first->isPlaying());
    m_sounds.play(u"SOUND02"_s);
    QTRY_VERIFY(second->isPlaying());
    QVERIFY(!first->isPlaying());

    m_sounds.setMuted(true);
    QVERIFY(first->isMuted() && second->isMuted());
}

QTEST_MAIN(TestSoundEffects)
#include "test_soundeffects.moc"
