#include "gui/parental/fullscreenlock.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QWidget>

FullScreenLock::FullScreenLock(QWidget *window, QWidget *player)
    : QObject(window), m_window(window), m_player(player)
{
}

void FullScreenLock::setEngaged(bool engaged)
{
    if (engaged == m_engaged)
        return;
    m_engaged = engaged;
    if (engaged) {
        QCoreApplication::instance()->installEventFilter(this);
        m_window->grabKeyboard();
        movieTarget()->setFocus();
    } else {
        m_window->releaseKeyboard();
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

QWidget *FullScreenLock::movieTarget() const
{
    // Where the movie last had the focus, else its first part that takes it
    // (the web view inside the player's area).
    QWidget *target = m_player->focusWidget();
    if (!target) {
        target = m_player;
        for (QWidget *part : m_player->findChildren<QWidget *>()) {
            if (part->focusPolicy() != Qt::NoFocus) {
                target = part;
                break;
            }
        }
    }
    while (target->focusProxy())
        target = target->focusProxy();
    return target;
}

bool FullScreenLock::wouldLeave(const QKeyEvent &key)
{
    const bool alt = key.modifiers() & Qt::AltModifier;
    switch (key.key()) {
    case Qt::Key_Escape:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_F4:
        return alt;
    default:
        return key.modifiers() & Qt::MetaModifier;
    }
}

bool FullScreenLock::eventFilter(QObject *watched, QEvent *event)
{
    auto *widget = qobject_cast<QWidget *>(watched);
    // The gate and any other dialog take their keys as usual.
    if (!widget || widget->window() != m_window)
        return false;
    if (event->type() == QEvent::Close && watched == m_window && event->spontaneous()) {
        event->ignore();
        Q_EMIT leaveRequested();
        return true;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (wouldLeave(*key)) {
        if (event->type() == QEvent::KeyPress && !key->isAutoRepeat())
            Q_EMIT leaveRequested();
        return true;
    }
    if (m_forwarding || widget == m_player || m_player->isAncestorOf(widget))
        return false;
    // Held by the grab or by the return button: hand it to the movie, and
    // the focus with it. A movie takes keys only while its page has the
    // focus (a game clicked before the gate was asked has lost it since).
    QWidget *target = movieTarget();
    target->setFocus(Qt::OtherFocusReason);
    QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                   key->nativeVirtualKey(), key->nativeModifiers(), key->text(),
                   key->isAutoRepeat(), quint16(key->count()));
    // A key the movie leaves alone comes back up through the window; it
    // goes its usual way from there.
    const QScopedValueRollback forwarding(m_forwarding, true);
    QCoreApplication::sendEvent(target, &copy);
    return true;
}
