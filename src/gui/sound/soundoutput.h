#pragma once

#include <QString>

// Plays one of the program's built-in sounds (QIDONG, SOUND01 ...) in the
// background; a new sound cuts off the one before.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QString &name) = 0;
    virtual void setMuted(bool muted) = 0;
};
