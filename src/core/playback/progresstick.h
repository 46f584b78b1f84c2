#pragma once

// What one tick of the progress timer does, decided from what the player and
// the player's options show. The player bar reads the facts, asks here and
// carries it out; moving on to the next programme is the list's part.
struct TickInput
{
    bool movieEmpty = true; // the player holds nothing
    int totalFrames = 0;
    int frameNum = 0;
    bool playing = false;
    bool playAll = false;   // "播放全部" chosen
    bool repeatOne = false; // "单曲循环" chosen
};

struct TickActions
{
    bool showFrame = false; // put the bar at frameNum
    bool moveOn = false;    // play-all reached the end: on to the next programme
    bool play = false;      // restart a stopped programme
};

// A programme with 12 frames or fewer left is at its end.
inline constexpr int EndFrames = 12;

TickActions decideTick(const TickInput &in);
