#pragma once

#include "support/swfwriter.h"
#include "web/ruffleplayer.h"

#include <QList>
#include <QTemporaryDir>
#include <QVariant>
#include <QWidget>

class QSignalSpy;

// A shown window holding the real player, 480 by 360 pixels, and a folder for
// the movies a test writes. Needs a display (Xvfb).
class PlayerTestBench
{
public:
    PlayerTestBench();
    ~PlayerTestBench();

    RufflePlayer &player() { return *m_player; }
    // Writes a movie into the bench's folder and returns its path.
    QString write(const QString &name, const TestMovieOptions &options);
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Loads `path` afresh and waits until the movie has reached `frame`.
    bool start(const QString &path, int frame = 3);
    // The frame number the test movie draws in its corner, read off the
    // screen; -1 when no number can be read there.
    int frameOnScreen();
    // Runs a script in the player page and returns its value.
    QVariant evaluate(const QString &script);
    // After stop(): waits until the runtime in the page is suspended, so that
    // no further frame runs (the page pauses once one more frame has run).
    bool waitUntilPaused();

private:
    QTemporaryDir m_dir;
    QWidget m_window;
    RufflePlayer *m_player = nullptr;
};

// Waits for the next `count` frames the spy sees (at most a minute) and
// returns them.
QList<int> nextFrames(QSignalSpy &spy, int count);
// The frames a spy on RufflePlayer::frameShown has seen so far.
QList<int> framesSeen(const QSignalSpy &spy);
