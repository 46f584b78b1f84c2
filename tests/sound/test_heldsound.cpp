// The start-up sound is held until the window shows: only the last sound
// asked for is played then, after the muting asked for.
#include "gui/sound/heldsound.h"
#include "support/fakes.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestHeldSound : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void holdsTheLastSoundUntilReleased();
};

void TestHeldSound::holdsTheLastSoundUntilReleased()
{
    FakeSound *made = nullptr;
    int factoryCalls = 0;
    HeldSound sound([&] {
        ++factoryCalls;
        auto output = std::make_unique<FakeSound>();
        made = output.get();
        return output;
    });
    sound.play(u"first"_s);
    sound.setMuted(true);
    sound.play(u"second"_s);
    QCOMPARE(factoryCalls, 0);

    sound.release();
    sound.release();
    QCOMPARE(factoryCalls, 1);
    QVERIFY(made->muted);
    QCOMPARE(made->played, QStringList{u"second"_s});

    sound.play(u"third"_s);
    sound.setMuted(false);
    QCOMPARE(made->played, (QStringList{u"second"_s, u"third"_s}));
    QVERIFY(!made->muted);

    // Nothing asked for, nothing played.
    FakeSound *quiet = nullptr;
    HeldSound silent([&] {
        auto output = std::make_unique<FakeSound>();
        quiet = output.get();
        return output;
    });
    silent.release();
    QVERIFY(quiet && quiet->played.isEmpty());
}

QTEST_MAIN(TestHeldSound)
#include "test_heldsound.moc"
