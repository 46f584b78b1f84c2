#include "web/ruffleplayer.h"

#include "web/rufflepage.h"

#include <QLoggingCategory>
#include <QUrl>

namespace {
Q_LOGGING_CATEGORY(lcControl, "qorvel.player.control", QtWarningMsg)
constexpr qint64 CommandGraceMs = 1000;
} // namespace

void RufflePlayer::play()
{
    if (!hasMovie())
        return;
    suspend(false);
    // A movie that has not run its first frame yet plays from there by
    // itself. A command would reach it only after that frame and would undo
    // the movie's own stop in it (a title screen waiting for a click).
    if (!m_started && m_command == 0)
        return;
    if (m_control == swf::FrameControl::Polling ||
        m_control == swf::FrameControl::ExternalInterface) {
        // Also restarts a timeline that stopped itself.
        m_stoppedByCommand = false;
        sendCommand(swf::hook::Play, 0);
    }
}

void RufflePlayer::stop()
{
    if (hasMovie())
        suspend(true);
}

void RufflePlayer::goToFrame(int frame)
{
    if (!hasMovie())
        return;
    frame = std::clamp(frame, 1, std::max(1, m_totalFrames));
    if (m_control == swf::FrameControl::Polling ||
        m_control == swf::FrameControl::ExternalInterface) {
        // A playing movie plays on from the frame, a stopped one shows it and
        // stays stopped. A paused player has to run for the command to reach
        // the movie, so it becomes a movie stopped at that frame.
        const bool play = isPlaying();
        suspend(false);
        m_stoppedByCommand = !play;
        sendCommand(play ? swf::hook::GotoAndPlay : swf::hook::GotoAndStop, frame);
    } else if (frame == 1) {
        // Without control the only frame we can reach is the first: load anew.
        restart();
    }
}

void RufflePlayer::restart()
{
    setMovie(QString(m_movie));
}

void RufflePlayer::suspend(bool suspended)
{
    if (suspended == m_suspended)
        return;
    m_suspended = suspended;
    runScript(suspended ? QStringLiteral("qv.pause()") : QStringLiteral("qv.resume()"));
    if (suspended && m_runClock.isValid()) {
        m_playedMs += m_runClock.elapsed();
        m_runClock.invalidate();
    } else if (!suspended && m_runStarted) {
        m_runClock.start();
    }
    m_sinceProgress.restart();
    m_graceMs = CommandGraceMs;
}

void RufflePlayer::sendCommand(char command, int frame)
{
    namespace hook = swf::hook;
    // A polling movie sees only the latest command: when it has not yet run
    // the one before, a play or stop must not drop that one's jump.
    const bool unseen =
        m_control == swf::FrameControl::Polling && m_content.acknowledged < m_commandId;
    const bool pendingJump = m_command == hook::GotoAndPlay || m_command == hook::GotoAndStop;
    if (unseen && pendingJump && (command == hook::Play || command == hook::Stop)) {
        frame = m_commandFrame;
        command = command == hook::Play ? hook::GotoAndPlay : hook::GotoAndStop;
    }
    m_command = command;
    m_commandFrame = frame;
    ++m_commandId;
    m_content.commandReply = QStringLiteral("%1=%2&%3=%4&%5=%6")
                                 .arg(QLatin1String(swf::hook::CommandId))
                                 .arg(m_commandId)
                                 .arg(QLatin1String(swf::hook::Command))
                                 .arg(QLatin1Char(command))
                                 .arg(QLatin1String(swf::hook::Argument))
                                 .arg(frame)
                                 .toUtf8();
    if (m_control == swf::FrameControl::ExternalInterface)
        runScript(QStringLiteral("qv.command(%1, '%2', '%3', '%4')")
                      .arg(m_content.generation)
                      .arg(m_commandId)
                      .arg(QLatin1Char(command))
                      .arg(frame));
    m_sinceProgress.restart();
    m_graceMs = CommandGraceMs;
}

void RufflePlayer::onPageEvent(int generation, const QString &kind, const QString &value)
{
    if (generation == 0 && kind == QLatin1String("warm")) {
        m_warm = true;
        // A fresh page after a large movie keeps the first page's yardstick.
        if (m_warmMemoryMb < 0)
            m_warmMemoryMb = rendererMemoryMb();
        Q_EMIT warmedUp();
        return;
    }
    // A movie being replaced still writes its saves as it goes.
    if (kind == QLatin1String("save") || kind == QLatin1String("unsave")) {
        onSaveEvent(kind, value);
        return;
    }
    if (generation != m_content.generation || !hasMovie())
        return; // a report from a movie that has since been replaced
    if (kind == QLatin1String("frame")) {
        bool ok = false;
        const int frame = value.toInt(&ok);
        if (!ok)
            return;
        m_frame = frame;
        m_started = true;
        m_sinceProgress.restart();
        m_graceMs = 0;
        Q_EMIT frameShown(frame);
    } else if (kind == QLatin1String("loaded")) {
        m_runStarted = true;
        if (!m_suspended && !m_runClock.isValid())
            m_runClock.start();
        Q_EMIT movieLoaded();
    } else if (kind == QLatin1String("trace")) {
        Q_EMIT traced(QUrl::fromPercentEncoding(value.toUtf8()));
    } else if (kind == QLatin1String("error")) {
        qCWarning(lcControl) << "the runtime failed:" << value;
    }
}

void RufflePlayer::onPageLoaded(bool ok)
{
    if (!ok) {
        qCWarning(lcControl) << "the player page did not load; is the runtime installed?";
        return;
    }
    m_pageReady = true;
    // A movie already waiting warms the runtime up by itself.
    if (!hasMovie())
        m_page->runJavaScript(QStringLiteral("qv.warmUp()"));
    const QStringList scripts = std::exchange(m_pendingScripts, {});
    for (const QString &script : scripts)
        m_page->runJavaScript(script);
}

void RufflePlayer::runScript(const QString &script)
{
    if (m_pageReady)
        m_page->runJavaScript(script);
    else
        m_pendingScripts.append(script);
}
