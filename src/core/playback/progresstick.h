#pragma once

// What one tick of the progress timer does, decided from what the player and
// the list show. The window reads the facts, asks here and carries it out.
struct TickInput
{
    bool movieEmpty = true; // the player holds nothing
    int totalFrames = 0;
    int frameNum = 0;
    bool playing = false;
    bool playAll = false;   // "播放全部" chosen
    bool repeatOne = false; // "单曲循环" chosen
    int selectedRow = -1;
    int rowCount = 0;
    // Play-all already moved on and waits for that programme to be loaded
    // or for its download to end; it must not move again meanwhile.
    bool advanceWaiting = false;
};

struct TickActions
{
    bool showFrame = false; // put the bar at frameNum
    int selectRow = -1;     // choose this row (play-all moves on); -1: none
    bool play = false;      // restart a stopped programme
};

// A programme with 12 frames or fewer left is at its end.
inline constexpr int EndFrames = 12;

TickActions decideTick(const TickInput &in);
