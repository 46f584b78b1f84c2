#include "gui/sound/heldsound.h"

#include <utility>

HeldSound::HeldSound(Factory make) : m_make(std::move(make)) {}

HeldSound::~HeldSound() = default;

void HeldSound::release()
{
    if (m_output)
        return;
    m_output = m_make();
    m_output->setMuted(m_muted);
    if (!m_held.isEmpty())
        m_output->play(std::exchange(m_held, {}));
}

void HeldSound::play(const QString &name)
{
    if (m_output)
        m_output->play(name);
    else
        m_held = name;
}

void HeldSound::setMuted(bool muted)
{
    m_muted = muted;
    if (m_output)
        m_output->setMuted(muted);
}
