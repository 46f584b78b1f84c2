#pragma once

#include "webapi/flashplayer.h"

// The window's player with a lock in front of it: while the day's play is
// used up or the eyes rest, nothing starts a programme, whatever the list or
// the buttons ask. Unlocked it passes every call straight on.
class LockablePlayer : public FlashPlayer
{
public:
    explicit LockablePlayer(FlashPlayer *player) : m_player(player) {}

    // Locking pauses the programme where it is.
    void setLocked(bool locked);
    bool isLocked() const { return m_locked; }

    void setMovie(const QString &movie) override;
    QString movie() const override { return m_player->movie(); }
    int totalFrames() const override { return m_player->totalFrames(); }
    int frameNum() const override { return m_player->frameNum(); }
    bool isPlaying() const override { return m_player->isPlaying(); }
    void play() override;
    void stop() override { m_player->stop(); }
    void goToFrame(int frame) override;
    QWidget *widget() override { return m_player->widget(); }
    void setMuted(bool muted) override { m_player->setMuted(muted); }

private:
    FlashPlayer *m_player;
    bool m_locked = false;
};
