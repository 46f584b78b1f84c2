#pragma once

#include <QRect>
#include <QString>

class QWidget;

// What the window needs of a Flash player. The text "http://" as the movie
// means an empty player: nothing is shown or played.
//
// Frame numbers count from 1, the same way in totalFrames, frameNum and
// goToFrame.
class FlashPlayer
{
public:
    static inline const QString EmptyMovie = QStringLiteral("http://");

    virtual ~FlashPlayer() = default;

    // "http://" empties the player. A file path loads that movie afresh from
    // its first frame and starts it, also a path that was loaded before.
    virtual void setMovie(const QString &movie) = 0;
    // The string last set.
    virtual QString movie() const = 0;

    // Frame count of the loaded movie, known as soon as setMovie returns;
    // 0 for an empty player or a file that is not a movie.
    virtual int totalFrames() const = 0;
    virtual int frameNum() const = 0;
    // True while the movie runs; false once it stopped by itself or by stop.
    virtual bool isPlaying() const = 0;

    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void goToFrame(int frame) = 0;

    // The player's own widget, placed by the window at any rectangle.
    virtual QWidget *widget() = 0;
    virtual void setMuted(bool muted) = 0;
};
