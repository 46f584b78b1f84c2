#pragma once

#include <QString>
#include <QStringList>

// Play-all moving on: which row comes next, and waiting while the programme
// it chose is being fetched, so that ticks at the old programme's end do not
// move on again and again.
class PlayAllCursor
{
public:
    // The row after `selectedRow`, from the last back to the first; -1 for
    // an empty list or while waiting.
    int next(int selectedRow, int rowCount) const;
    // Play-all chose `name`; `queued` are the downloads under way after the
    // choice. It waits only when the choice left `name` being fetched.
    void chose(const QString &name, const QStringList &queued);
    // Something new is in the player, or the user chose: no more waiting.
    void played() { m_waitsFor.clear(); }
    // The download of `name` ended, with the programme or without it.
    void downloadEnded(const QString &name);

private:
    QString m_waitsFor; // empty when not waiting
};
