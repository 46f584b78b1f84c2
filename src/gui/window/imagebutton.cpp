#include "gui/window/imagebutton.h"

#include <QMouseEvent>

ImageButton::ImageButton(QWidget *parent) : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void ImageButton::setPicture(const QString &name, const QPixmap &pixmap)
{
    m_pictureName = name;
    setPixmap(pixmap);
}

void ImageButton::mousePressEvent(QMouseEvent *event)
{
    if (m_pressable)
        setFrameStyle(QFrame::Box | QFrame::Plain);
    QLabel::mousePressEvent(event);
}

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_pressable)
        setFrameStyle(QFrame::NoFrame);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}
