#include "app/imagebutton.h"

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

void ImageButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
    QLabel::mouseReleaseEvent(event);
}
