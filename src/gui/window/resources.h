#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>

// The pictures and sounds built into the program. Names match without regard
// to case, so "jingyin1" finds the bitmap JINGYIN1.
namespace Resources {

// Throws AppError when the bitmap is missing: a window without its pictures
// is a broken installation, not something to carry on with quietly.
QPixmap bitmap(const QString &name);
inline QPixmap bitmap(int number)
{
    return bitmap(QString::number(number));
}

// Empty when there is no such sound.
QByteArray wave(const QString &name);

} // namespace Resources
