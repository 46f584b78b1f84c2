#pragma once

#include "gui/sound/soundoutput.h"

#include <functional>
#include <memory>

// A sound output made only when `release` is called; until then it keeps the
// last sound asked for (a new sound cuts off the one before anyway) and the
// muting, and plays that sound on release. The program's sounds load in a few
// milliseconds, long before the window is on screen, so without this the
// start-up sound would be heard while there is still nothing to see.
class HeldSound : public SoundOutput
{
public:
    using Factory = std::function<std::unique_ptr<SoundOutput>()>;
    explicit HeldSound(Factory make);
    ~HeldSound() override;

    void release();
    bool released() const { return m_output != nullptr; }

    void play(const QString &name) override;
    void setMuted(bool muted) override;

private:
    Factory m_make;
    std::unique_ptr<SoundOutput> m_output;
    QString m_held;
    bool m_muted = false;
};
