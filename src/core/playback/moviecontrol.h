#pragma once

#include "core/swf/swfrewriter.h"

#include <QList>

class PlayClock;

// What the player's page is told to do.
struct PageCommand
{
    enum Kind {
        Suspend, // pause the whole runtime
        Resume,  // let it run again
        Send,    // hand the movie's control script `letter` with `frame`
        Reload,  // load the movie afresh, from its first frame
    };
    Kind kind = Suspend;
    int id = 0;      // Send: counts from 1 for each movie
    char letter = 0; // Send: one of swf::hook's commands
    int frame = 0;   // Send: the frame to jump to, or 0

    bool operator==(const PageCommand &other) const = default;
};
using PageCommands = QList<PageCommand>;

// The frame number, the play state and the commands of one movie in the
// player. The page reports the frames the movie enters and whether it has
// loaded; the user plays, stops and seeks; this decides what the page is
// told and what the player answers when asked for the frame and whether it
// plays. Without frame reports (ActionScript 3) the frame is estimated from
// the frame rate and the time played.
class MovieControl
{
public:
    // Until its first frame, a movie is taken to be playing for this long:
    // the runtime and the movie are still loading.
    static constexpr qint64 LoadGraceMs = 5000;
    // After a command, how long the movie is trusted to be playing without
    // a frame report.
    static constexpr qint64 CommandGraceMs = 1000;

    explicit MovieControl(const PlayClock *clock) : m_clock(clock) {}

    // A movie was loaded, with what its header says; or nothing (clear).
    void start(int totalFrames, double frameRate, swf::FrameControl control);
    void clear();

    // What the page reported.
    void frameShown(int frame);
    void loaded();
    // A polling movie has run the command with this id.
    void acknowledged(int id) { m_acknowledged = id; }

    [[nodiscard]] PageCommands play();
    [[nodiscard]] PageCommands stop();
    [[nodiscard]] PageCommands goToFrame(int frame);

    bool hasMovie() const { return m_hasMovie; }
    swf::FrameControl control() const { return m_control; }
    int totalFrames() const { return m_totalFrames; }
    double frameRate() const { return m_frameRate; }
    int frameNum() const;
    bool isPlaying() const;

private:
    bool canCommand() const;
    qint64 now() const;
    void suspend(bool suspended, PageCommands &out);
    PageCommand send(char letter, int frame);
    qint64 stallLimitMs() const;
    int estimatedFrame() const;

    const PlayClock *m_clock;
    bool m_hasMovie = false;
    int m_totalFrames = 0;
    double m_frameRate = 0;
    swf::FrameControl m_control = swf::FrameControl::None;
    int m_frame = 0;
    bool m_started = false;          // the movie has reported a frame
    bool m_suspended = false;        // stop: the whole player is paused
    bool m_stoppedByCommand = false; // the timeline was told to stop
    int m_commandId = 0;             // of the last command sent
    char m_command = 0;              // the last command sent, and its frame
    int m_commandFrame = 0;
    int m_acknowledged = 0;
    qint64 m_progressAt = 0; // the last frame or command
    qint64 m_graceMs = 0;    // how long isPlaying trusts a command
    qint64 m_playedMs = 0;   // estimate: time played before m_runningSince
    qint64 m_runningSince = -1;
    bool m_loaded = false; // estimate: the movie has loaded
};
