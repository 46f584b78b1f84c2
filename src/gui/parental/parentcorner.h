#pragma once

#include "core/parental/parentsettings.h"
#include "core/parental/playtimerules.h"

#include <QObject>
#include <QRect>

#include <functional>

class FullScreenLock;
class LockablePlayer;
class MessageBoxes;
class PlayClock;
class QLabel;
class QWidget;
class RestPage;

// The parent's corner of the window: keeps the day's play time and the eye
// rests, shows their pages and notice, locks the full screen, and puts the
// parental gate in front of every way round them. All off until a parent
// turns something on; then nothing changes.
class ParentCorner : public QObject
{
    Q_OBJECT
public:
    struct Files
    {
        QString settings; // none: nothing is kept and saving fails
        QString playTime; // none: the day's play is not kept
    };

    ParentCorner(QWidget *window, LockablePlayer *player, MessageBoxes *messages,
                 const PlayClock &clock, const Files &files);

    // Writes down the play not yet kept; the window calls it as it closes,
    // while the clock it was given still exists.
    void keepPlayTime();

    // Puts the rest page over the player and the break over the whole window.
    void layOut(const QRect &playerArea);
    void setFullScreen(bool fullScreen);

public Q_SLOTS:
    void onTick();
    // "家长设置": the gate, then the settings dialog, over `over`.
    void openSettings(QWidget *over);
    // The return button or a key would leave the full screen.
    void requestLeaveFullScreen();

Q_SIGNALS:
    void leaveFullScreenAllowed();
    // A page came or went; the window puts its controls back in order.
    void pagesChanged();

private:
    // Shows the gate over `over`; `passed` runs once it is answered right.
    void askGate(QWidget *over, const std::function<void()> &passed);
    void openSettingsDialog(QWidget *over);
    void apply(const ParentSettings &settings);
    void showNotice(const QString &text);
    void endBreakEarly();
    void createPages();
    void syncPages();
    bool isPlaying() const;
    bool limitsOff() const;

    QWidget *m_window;
    LockablePlayer *m_player;
    MessageBoxes *m_messages;
    Files m_files;
    ParentSettings m_settings;
    PlayTimeRules m_rules;
    FullScreenLock *m_lock = nullptr;
    RestPage *m_restPage = nullptr;
    RestPage *m_breakPage = nullptr;
    QLabel *m_notice = nullptr;
    bool m_fullScreen = false;
    bool m_gateOpen = false;
};
