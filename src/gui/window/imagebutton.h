#pragma once

#include <QLabel>

// A picture that acts as a button: shows a bitmap at its own size, reports
// clicks. The window's category and player buttons are these.
class ImageButton : public QLabel
{
    Q_OBJECT
public:
    explicit ImageButton(QWidget *parent = nullptr);

    void setPicture(const QString &name, const QPixmap &pixmap);
    // Shows a thin border while a mouse button is held down on it.
    void setPressable(bool pressable) { m_pressable = pressable; }

Q_SIGNALS:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Tests read which picture is shown through it.
    friend struct ImageButtonInside;

    QString m_pictureName;
    bool m_pressable = false;
};
