#pragma once

#include "core/catalogue/listsource.h"

#include <QObject>
#include <QString>

class FlashPlayer;
class ImageButton;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;
class SoundOutput;

// The player's controls below the player: play, pause, full screen, mute,
// the position bar, "播放全部" and "单曲循环", and the return button shown
// in full screen. Each tick of the window's timer it moves the bar and
// carries out play-all and repeat-one.
class PlayerBar : public QObject
{
    Q_OBJECT
public:
    // The controls are placed on `window`.
    PlayerBar(QWidget *window, FlashPlayer *player, SoundOutput *sound);

    // Start-up: an empty player and the mute button showing sound on.
    void start();

    bool playsAll() const;
    bool repeatsOne() const;
    // The controls full screen hides.
    QList<QWidget *> windowedControls() const;
    // Shows the return button above the full-screen player, with the focus,
    // or hides it.
    void showBackButton(bool shown);
    // Keeps it above the player, which has just been raised.
    void raiseBackButton();

public Q_SLOTS:
    void onPlayClicked();
    // Pause: no repeat mode any more, then stop.
    void onPauseClicked();
    // Mutes the program's own sound, the player's and the category sounds,
    // or sounds them again.
    void onMuteClicked();
    // A drag of the bar's thumb: play on from that frame.
    void onPositionDragged(int frame);
    void onTick();
    // A new list: both options off, and usable only where the category
    // allows them.
    void onListShown(const ListSource &source);
    // Loads the programme afresh from its first frame and plays it.
    void playFromStart(const QString &file);
    // Loads a movie of the child's own as it is; an empty path only empties
    // the player.
    void playOwnMovie(const QString &path);

Q_SIGNALS:
    void fullScreenRequested();
    void windowedRequested();
    // Play-all reached the end of the programme: on to the next one.
    void playAllReachedEnd();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Tests read whether the sound is off through it.
    friend struct PlayerBarInside;

    void uncheckOptions();
    void setPositionMaximum(int totalFrames);

    FlashPlayer *m_player;
    SoundOutput *m_sound;
    bool m_muted = false;
    ImageButton *m_playButton = nullptr;
    ImageButton *m_pauseButton = nullptr;
    ImageButton *m_fullScreenButton = nullptr;
    ImageButton *m_muteButton = nullptr;
    QScrollBar *m_positionBar = nullptr;
    QRadioButton *m_playAllOption = nullptr;
    QRadioButton *m_repeatOneOption = nullptr;
    QPushButton *m_backButton = nullptr;
};
