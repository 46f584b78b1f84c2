#pragma once

#include "core/swf/swfreader.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// Builds small Flash movies for tests and demo content: a coloured background,
// squares circling and bouncing, a bar that grows with the frame number and
// the frame number itself in large digits, so a screenshot shows which frame
// is on screen.
struct TestMovieOptions
{
    int version = 8;
    swf::Compression compression = swf::Compression::None;
    double frameRate = 24;
    int frameCount = 240;
    int width = 480;              // pixels
    int height = 360;             // pixels
    int stopFrame = 0;            // a stop() action on this frame; 0 for none
    QByteArray firstFrameActions; // action bytes run in frame 1, without the closing End
    bool actionScript3 = false;   // FileAttributes says ActionScript 3
    quint32 background = 0x2a4d8f;
    // Scripts of the movie's own: a frame and its action byte code (End
    // included), run before the frame's stop().
    QList<std::pair<int, QByteArray>> actions;
    // Unused binary data of this size, for movies as large as real ones.
    int paddingBytes = 0;
};

QByteArray makeTestMovie(const TestMovieOptions &options);
// Writes the movie to `path`; returns false when the file cannot be written.
bool writeTestMovie(const QString &path, const TestMovieOptions &options);
