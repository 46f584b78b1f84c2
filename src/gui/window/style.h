#pragma once

#include <QColor>
#include <QFont>

class QWidget;

// The window's colours and fonts, shared by its areas and the order dialog.
namespace Style {

inline const QColor WindowGreen(192, 255, 192);
inline const QColor ListYellow(255, 255, 192);
inline const QColor ListOrange(255, 128, 0);
inline const QColor LinkRed(255, 0, 0);

// Chinese text must render whatever fonts the machine has: the design's font
// first and the common CJK families after it.
QFont chineseFont(double pointSize);

void setTextColour(QWidget *widget, const QColor &colour);
// The yellow list with orange text of the window and the dialog.
void paintAsList(QWidget *list);

} // namespace Style
