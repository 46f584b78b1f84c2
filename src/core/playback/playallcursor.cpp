#include "core/playback/playallcursor.h"

int PlayAllCursor::next(int selectedRow, int rowCount) const
{
    if (rowCount <= 0 || !m_waitsFor.isEmpty())
        return -1;
    return selectedRow + 1 >= rowCount ? 0 : selectedRow + 1;
}

void PlayAllCursor::chose(const QString &name, const QStringList &queued)
{
    m_waitsFor = queued.contains(name) ? name : QString();
}

void PlayAllCursor::downloadEnded(const QString &name)
{
    if (name == m_waitsFor)
        m_waitsFor.clear();
}
