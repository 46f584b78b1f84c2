#include "gui/window/designgeometry.h"

#include <QHash>
#include <QStringList>

namespace DesignGeometry {

namespace {

const QHash<QString, QRect> &table()
{
    static const QHash<QString, QRect> rects = [] {
        QHash<QString, QRect> t;
        for (int n = 1; n <= 14; ++n)
            t.insert(QStringLiteral("Image%1").arg(n),
                     QRect(30 + 1080 * (n - 1), 0, n == 14 ? 1095 : 1065, 1065));
        t.insert(QStringLiteral("ShockwaveFlash1"), QRect(15, 1080, 12630, 8565));
        t.insert(QStringLiteral("List1"), QRect(12675, 1080, 2505, 8670));
        t.insert(QStringLiteral("Image17"), QRect(540, 9810, 405, 405));
        t.insert(QStringLiteral("Image20"), QRect(1020, 9810, 405, 405));
        t.insert(QStringLiteral("Image15"), QRect(1500, 9810, 405, 405));
        t.insert(QStringLiteral("Image16"), QRect(1980, 9810, 405, 405));
        t.insert(QStringLiteral("HScroll1"), QRect(2610, 9960, 5200, 75));
        t.insert(QStringLiteral("Option1"), QRect(8100, 9780, 1035, 375));
        t.insert(QStringLiteral("Option2"), QRect(9270, 9780, 1035, 375));
        t.insert(QStringLiteral("Combo1"), QRect(10680, 9840, 1695, 300));
        t.insert(QStringLiteral("Label2"), QRect(12720, 9840, 495, 255));
        t.insert(QStringLiteral("Label3"), QRect(13320, 9840, 495, 255));
        t.insert(QStringLiteral("Label4"), QRect(13920, 9840, 495, 255));
        t.insert(QStringLiteral("Label1"), QRect(14520, 9840, 840, 240));
        t.insert(QStringLiteral("Command6"), QRect(14400, 9960, 705, 405));
        t.insert(QStringLiteral("WebBrowser1"), QRect(90, 10320, 15000, 315));
        return t;
    }();
    return rects;
}

} // namespace

QRect twips(const QString &controlName)
{
    return table().value(controlName);
}

const QStringList &controlNames()
{
    static const QStringList names = [] {
        QStringList n = table().keys();
        n.sort();
        return n;
    }();
    return names;
}

} // namespace DesignGeometry
