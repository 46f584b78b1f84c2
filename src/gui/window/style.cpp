#include "gui/window/style.h"

#include <QWidget>

namespace Style {

QFont chineseFont(double pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("WenQuanYi Zen Hei")});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, colour);
    widget->setPalette(pal);
}

void paintAsList(QWidget *list)
{
    QPalette pal = list->palette();
    pal.setColor(QPalette::Base, ListYellow);
    pal.setColor(QPalette::Text, ListOrange);
    list->setPalette(pal);
}

} // namespace Style
