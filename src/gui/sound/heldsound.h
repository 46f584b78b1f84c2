#pragma once

#include "gui/sound/soundoutput.h"

#include <functional>
#include <memory>

// A sound output made only when `release` is called; until then it keeps the
// last sound asked for (a new sound cuts off the one before anyway) and the
// muting, and plays that sound on release. Loading the media back end takes
// about as long as showing the window, so the program's start-up sound waits
// until the window is on screen.
class HeldSound : public SoundOutput
{
public:
    using Factory = std::function<std::unique_ptr<SoundOutput>()>;
    explicit HeldSound(Factory make);
    ~HeldSound() override;

    void release();
    bool released() const { return m_output != nullptr; }

    void play(const QByteArray &wave) override;
    void setMuted(bool muted) override;

private:
    Factory m_make;
    std::unique_ptr<SoundOutput> m_output;
    QByteArray m_held;
    bool m_muted = false;
};
