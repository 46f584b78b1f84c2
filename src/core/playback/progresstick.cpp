#include "core/playback/progresstick.h"

TickActions decideTick(const TickInput &in)
{
    TickActions out;
    if (in.movieEmpty)
        return out;
    out.showFrame = true;
    if (in.playAll) {
        const bool atEnd = in.totalFrames - in.frameNum <= EndFrames;
        if (atEnd && !in.advanceWaiting && in.rowCount > 0)
            out.selectRow = in.selectedRow + 1 >= in.rowCount ? 0 : in.selectedRow + 1;
        out.play = !in.playing;
    }
    if (in.repeatOne && !in.playing)
        out.play = true;
    return out;
}
