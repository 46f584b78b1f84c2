#pragma once

#include <QByteArray>

// Plays a WAVE image from memory in the background; a new sound cuts off the
// one before.
class SoundOutput
{
public:
    virtual ~SoundOutput() = default;
    virtual void play(const QByteArray &wave) = 0;
    virtual void setMuted(bool muted) = 0;
};
