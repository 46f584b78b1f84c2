#pragma once

#include "core/swf/swfreader.h"

#include <QByteArray>

// Prepares an ActionScript 1/2 movie for the player: every frame of the main
// timeline reports its number with fscommand("frame", N), and frame 1 installs
// a small control script through which the program can jump, play and stop
// the timeline. Everything added lives under names of its own and adds no
// frames, so the movie behaves as before.
namespace swf {

enum class FrameControl {
    None,              // ActionScript 3, or a damaged movie: left as it is
    ReportOnly,        // frame numbers, no control (versions before 5)
    Polling,           // control by loading variables again and again (5 to 7)
    ExternalInterface, // control through a callback on the player (8 and later)
};

// The names shared by the scripts, the player page and the program.
namespace hook {
inline constexpr char FrameCommand[] = "frame";
inline constexpr char Callback[] = "__qvctl";
inline constexpr char CommandId[] = "__qvctl_k";
inline constexpr char Command[] = "__qvctl_c";
inline constexpr char Argument[] = "__qvctl_n";
// Commands: jump and play, jump and stop, play, stop.
inline constexpr char GotoAndPlay = 'g';
inline constexpr char GotoAndStop = 's';
inline constexpr char Play = 'p';
inline constexpr char Stop = 't';
// How long the program holds a poll that has nothing new to answer.
inline constexpr int PollIntervalMs = 100;
} // namespace hook

FrameControl frameControlFor(const Movie &movie);

struct Rewritten
{
    FrameControl control = FrameControl::None;
    QByteArray data; // an uncompressed movie, or the original bytes when left alone
};

// `original` is the file as read; `pollUrl` is where a polling movie loads its
// commands from.
Rewritten rewriteForPlayer(const Movie &movie, const QByteArray &original,
                           const QByteArray &pollUrl);

// The pieces, exposed for tests.
QByteArray frameReportActions(int frame);
QByteArray controlActions(FrameControl control, const QByteArray &pollUrl);

} // namespace swf
