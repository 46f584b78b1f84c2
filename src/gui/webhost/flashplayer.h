#pragma once

#include <QRect>
#include <QString>

class QWidget;

// What the window needs of a Flash player. The text "http://" as the movie
// means an empty player: nothing is shown or played.
//
// Frame numbers count from 1, the same way in TotalFrames, FrameNum and
// GotoFrame.
class FlashPlayer
{
public:
    static inline const QString EmptyMovie = QStringLiteral("http://");

    virtual ~FlashPlayer() = default;

    // "http://" empties the player. A file path loads that movie afresh from
    // its first frame and starts it, also a path that was loaded before.
    virtual void SetMovie(const QString &movie) = 0;
    // The string last set.
    virtual QString Movie() const = 0;

    // Frame count of the loaded movie, known as soon as SetMovie returns;
    // 0 for an empty player or a file that is not a movie.
    virtual int TotalFrames() const = 0;
    virtual int FrameNum() const = 0;
    // True while the movie runs; false once it stopped by itself or by StopPlay.
    virtual bool Playing() const = 0;

    virtual void Play() = 0;
    virtual void StopPlay() = 0;
    virtual void GotoFrame(int frame) = 0;

    // The player's own widget, placed by the window at any rectangle.
    virtual QWidget *widget() = 0;
    virtual void setMuted(bool muted) = 0;
};
