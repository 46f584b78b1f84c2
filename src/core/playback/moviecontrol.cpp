#include "core/playback/moviecontrol.h"

#include "core/parental/playclock.h"

#include <algorithm>

namespace hook = swf::hook;

void MovieControl::start(int totalFrames, double frameRate, swf::FrameControl control)
{
    clear();
    m_hasMovie = true;
    m_totalFrames = totalFrames;
    m_frameRate = frameRate;
    m_control = control;
    m_frame = 1;
}

void MovieControl::clear()
{
    const PlayClock *clock = m_clock;
    *this = MovieControl(clock);
    m_progressAt = now();
    m_graceMs = LoadGraceMs;
}

qint64 MovieControl::now() const
{
    return m_clock->elapsedMs();
}

bool MovieControl::canCommand() const
{
    return m_control == swf::FrameControl::Polling ||
           m_control == swf::FrameControl::ExternalInterface;
}

void MovieControl::frameShown(int frame)
{
    if (!m_hasMovie)
        return;
    m_frame = frame;
    m_started = true;
    m_progressAt = now();
    m_graceMs = 0;
}

void MovieControl::loaded()
{
    if (!m_hasMovie)
        return;
    m_loaded = true;
    if (!m_suspended && m_runningSince < 0)
        m_runningSince = now();
}

PageCommands MovieControl::play()
{
    PageCommands out;
    if (!m_hasMovie)
        return out;
    suspend(false, out);
    // A movie that has not run its first frame yet plays from there by
    // itself. A command would reach it only after that frame and would undo
    // the movie's own stop in it (a title screen waiting for a click).
    if (!m_started && m_command == 0)
        return out;
    if (canCommand()) {
        // Also restarts a timeline that stopped itself.
        m_stoppedByCommand = false;
        out.append(send(hook::Play, 0));
    }
    return out;
}

PageCommands MovieControl::stop()
{
    PageCommands out;
    if (m_hasMovie)
        suspend(true, out);
    return out;
}

PageCommands MovieControl::goToFrame(int frame)
{
    PageCommands out;
    if (!m_hasMovie)
        return out;
    frame = std::clamp(frame, 1, std::max(1, m_totalFrames));
    if (canCommand()) {
        // A playing movie plays on from the frame, a stopped one shows it and
        // stays stopped. A paused player has to run for the command to reach
        // the movie, so it becomes a movie stopped at that frame.
        const bool playing = isPlaying();
        suspend(false, out);
        m_stoppedByCommand = !playing;
        out.append(send(playing ? hook::GotoAndPlay : hook::GotoAndStop, frame));
    } else if (frame == 1) {
        // Without control the only frame we can reach is the first: load anew.
        out.append(PageCommand{PageCommand::Reload});
    }
    return out;
}

void MovieControl::suspend(bool suspended, PageCommands &out)
{
    if (suspended == m_suspended)
        return;
    m_suspended = suspended;
    out.append(PageCommand{suspended ? PageCommand::Suspend : PageCommand::Resume});
    if (suspended && m_runningSince >= 0) {
        m_playedMs += now() - m_runningSince;
        m_runningSince = -1;
    } else if (!suspended && m_loaded) {
        m_runningSince = now();
    }
    m_progressAt = now();
    m_graceMs = CommandGraceMs;
}

PageCommand MovieControl::send(char letter, int frame)
{
    // A polling movie sees only the latest command: when it has not yet run
    // the one before, a play or stop must not drop that one's jump.
    const bool unseen = m_control == swf::FrameControl::Polling && m_acknowledged < m_commandId;
    const bool pendingJump = m_command == hook::GotoAndPlay || m_command == hook::GotoAndStop;
    if (unseen && pendingJump && (letter == hook::Play || letter == hook::Stop)) {
        frame = m_commandFrame;
        letter = letter == hook::Play ? hook::GotoAndPlay : hook::GotoAndStop;
    }
    m_command = letter;
    m_commandFrame = frame;
    m_progressAt = now();
    m_graceMs = CommandGraceMs;
    return {PageCommand::Send, ++m_commandId, letter, frame};
}

int MovieControl::frameNum() const
{
    if (!m_hasMovie)
        return 0;
    if (m_control == swf::FrameControl::None)
        return estimatedFrame();
    return m_frame;
}

bool MovieControl::isPlaying() const
{
    if (!m_hasMovie || m_suspended || m_stoppedByCommand)
        return false;
    if (m_control == swf::FrameControl::None)
        return true;
    // The movie reports every frame it enters: when none came for a while,
    // its timeline has stopped.
    return now() - m_progressAt < std::max(m_graceMs, stallLimitMs());
}

qint64 MovieControl::stallLimitMs() const
{
    const double period = m_frameRate > 0 ? 1000.0 / m_frameRate : 1000.0;
    return std::max<qint64>(500, qint64(period * 3.5));
}

int MovieControl::estimatedFrame() const
{
    if (m_totalFrames <= 0)
        return 0;
    const qint64 ms = m_playedMs + (m_runningSince >= 0 ? now() - m_runningSince : 0);
    const auto frames = static_cast<qint64>(ms * m_frameRate / 1000.0);
    return 1 + static_cast<int>(frames % m_totalFrames);
}
