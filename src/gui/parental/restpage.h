#pragma once

#include <QWidget>

class QLabel;

// A friendly page laid over the player or the whole window while the child
// must not play: the day's time is up, or the eyes rest.
class RestPage : public QWidget
{
    Q_OBJECT
public:
    RestPage(QWidget *window, const QString &objectName, const QString &text);

    // The seconds left, shown large; 0 hides them.
    void setCountdown(int seconds);
    // A small "家长" button that opens the gate.
    void addParentButton();

Q_SIGNALS:
    void parentRequested();

private:
    QLabel *m_countdown = nullptr;
};
