#pragma once

#include <QRect>
#include <QString>

// The window's design: inner size and every control's rectangle in twips
// (15 twips to a pixel at 96 dots per inch; the layout engine converts).
namespace DesignGeometry {

inline constexpr int InnerWidthTwips = 15240;
inline constexpr int InnerHeightTwips = 10665;

// Design rectangle of the control with this objectName, in twips; an empty
// rectangle for names that have none.
QRect twips(const QString &controlName);

// Every named control that has a design rectangle.
const QStringList &controlNames();

} // namespace DesignGeometry
