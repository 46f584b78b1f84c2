#pragma once

#include <QObject>

class QKeyEvent;
class QWidget;

// Keeps a small child in the full screen: while engaged, the keys that
// would leave it (Esc, Alt+Tab, Alt+F4, the Super keys) and closing the
// window ask for the gate instead, and every other key goes to the movie,
// wherever the focus is, so that games stay playable. The keyboard is
// grabbed where the desktop allows it, so that its own shortcuts do not
// switch away.
class FullScreenLock : public QObject
{
    Q_OBJECT
public:
    FullScreenLock(QWidget *window, QWidget *player);

    void setEngaged(bool engaged);
    bool isEngaged() const { return m_engaged; }

    static bool wouldLeave(const QKeyEvent &key);

Q_SIGNALS:
    void leaveRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *movieTarget() const;

    QWidget *m_window;
    QWidget *m_player;
    bool m_engaged = false;
    bool m_forwarding = false;
};
