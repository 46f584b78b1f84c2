#pragma once

#include "gui/sound/soundoutput.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QUrl>

class QSoundEffect;

// The built-in sounds, each loaded once into an effect of its own, so a
// click is heard at once. A new sound cuts off the one before. Without an
// audio device nothing is heard and nothing waits: a missing jingle is not
// worth interrupting a child for.
class SoundEffects : public QObject, public SoundOutput
{
    Q_OBJECT
public:
    // Each sound is named by its file's base name, "SOUND01" for
    // "qrc:/sounds/SOUND01.wav"; names match without regard to case.
    explicit SoundEffects(const QList<QUrl> &sounds, QObject *parent = nullptr);

    void play(const QString &name) override;
    void setMuted(bool muted) override;

private:
    QSoundEffect *effect(const QString &name) const;

    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};
