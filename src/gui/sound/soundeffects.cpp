#include "gui/sound/soundeffects.h"

#include <QFileInfo>
#include <QSoundEffect>

SoundEffects::SoundEffects(const QList<QUrl> &sounds, QObject *parent) : QObject(parent)
{
    for (const QUrl &url : sounds) {
        auto *effect = new QSoundEffect(this);
        effect->setSource(url);
        m_effects.insert(QFileInfo(url.path()).baseName().toUpper(), effect);
    }
}

void SoundEffects::play(const QString &name)
{
    // Every effect has its own output, so the one still playing has to be
    // stopped by hand for the new one to cut it off.
    if (m_playing)
        m_playing->stop();
    m_playing = effect(name);
    if (m_playing)
        m_playing->play();
}

void SoundEffects::setMuted(bool muted)
{
    for (QSoundEffect *effect : std::as_const(m_effects))
        effect->setMuted(muted);
}

QSoundEffect *SoundEffects::effect(const QString &name) const
{
    return m_effects.value(name.toUpper());
}
