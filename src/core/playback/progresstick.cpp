#include "core/playback/progresstick.h"

TickActions decideTick(const TickInput &in)
{
    TickActions out;
    if (in.movieEmpty)
        return out;
    out.showFrame = true;
    if (in.playAll) {
        out.moveOn = in.totalFrames - in.frameNum <= EndFrames;
        out.play = !in.playing;
    }
    if (in.repeatOne && !in.playing)
        out.play = true;
    return out;
}
