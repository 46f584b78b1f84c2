#pragma once

#include "web/ruffleplayer.h"

// What tests read and set inside the real player.
struct PlayerInside
{
    // Why the last movie set was refused; empty when it loaded.
    static QString loadError(const RufflePlayer &p) { return p.m_loadError; }
    static swf::FrameControl frameControl(const RufflePlayer &p) { return p.m_control.control(); }
    // Movies set from now on are played as they are, or prepared.
    static void setPlain(RufflePlayer &p, bool plain) { p.m_options.plain = plain; }
};
