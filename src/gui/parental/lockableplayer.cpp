#include "gui/parental/lockableplayer.h"

void LockablePlayer::setLocked(bool locked)
{
    if (locked && !m_locked)
        m_player->stop();
    m_locked = locked;
}

void LockablePlayer::setMovie(const QString &movie)
{
    // A new movie would start by itself; the one loaded stays, paused, to
    // play on from there once the lock is lifted.
    if (!m_locked)
        m_player->setMovie(movie);
}

void LockablePlayer::play()
{
    if (!m_locked)
        m_player->play();
}

void LockablePlayer::goToFrame(int frame)
{
    // A jump makes a paused movie run to reach its frame.
    if (!m_locked)
        m_player->goToFrame(frame);
}
