#include "gui/window/designgeometry.h"

#include <QHash>
#include <QStringList>

namespace DesignGeometry {

namespace {

struct Design
{
    Control control;
    const char *name;
    QRect twips;
    QSize fixed; // empty: follows the window
};

// The one table of the main window's controls.
const Design Designs[] = {
    {Control::Window, "Form1", {}, {}},
    {Control::Player, "ShockwaveFlash1", {15, 1080, 12630, 8565}, {}},
    {Control::ProgrammeList, "List1", {12675, 1080, 2505, 8670}, {}},
    {Control::FullScreenButton, "Image17", {540, 9810, 405, 405}, {405, 405}},
    {Control::MuteButton, "Image20", {1020, 9810, 405, 405}, {405, 405}},
    {Control::PlayButton, "Image15", {1500, 9810, 405, 405}, {405, 405}},
    {Control::PauseButton, "Image16", {1980, 9810, 405, 405}, {405, 405}},
    {Control::PositionBar, "HScroll1", {2610, 9960, 5200, 75}, {0, 75}},
    {Control::PlayAllOption, "Option1", {8100, 9780, 1035, 375}, {}},
    {Control::RepeatOneOption, "Option2", {9270, 9780, 1035, 375}, {}},
    {Control::FolderBox, "Combo1", {10680, 9840, 1695, 300}, {}},
    {Control::FavouritesLink, "Label2", {12720, 9840, 495, 255}, {}},
    {Control::HistoryLink, "Label3", {13320, 9840, 495, 255}, {}},
    {Control::SettingsLink, "Label4", {13920, 9840, 495, 255}, {}},
    {Control::ShortcutLink, "Label1", {14520, 9840, 840, 240}, {}},
    {Control::BackButton, "Command6", {14400, 9960, 705, 405}, {705, 405}},
    {Control::InfoStrip, "WebBrowser1", {90, 10320, 15000, 315}, {0, 285}},
};

const Design *designOf(Control control)
{
    for (const Design &d : Designs) {
        if (d.control == control)
            return &d;
    }
    Q_UNREACHABLE();
}

const QHash<QString, QRect> &rectangles()
{
    static const QHash<QString, QRect> rects = [] {
        QHash<QString, QRect> t;
        for (int n = 1; n <= 14; ++n)
            t.insert(categoryButtonName(n),
                     QRect(30 + 1080 * (n - 1), 0, n == 14 ? 1095 : 1065, 1065));
        for (const Design &d : Designs) {
            if (!d.twips.isEmpty())
                t.insert(QString::fromLatin1(d.name), d.twips);
        }
        return t;
    }();
    return rects;
}

} // namespace

QString objectName(Control control)
{
    return QString::fromLatin1(designOf(control)->name);
}

QString categoryButtonName(int number)
{
    return QStringLiteral("Image%1").arg(number);
}

QRect twips(const QString &objectName)
{
    return rectangles().value(objectName);
}

const QStringList &controlNames()
{
    static const QStringList names = [] {
        QStringList n = rectangles().keys();
        n.sort();
        return n;
    }();
    return names;
}

QSize fixedTwips(const QString &objectName)
{
    for (const Design &d : Designs) {
        if (objectName == QLatin1String(d.name))
            return d.fixed;
    }
    return {};
}

Placement dialogControl(DialogControl control)
{
    switch (control) {
    case DialogControl::Frame:
        return {QStringLiteral("Frame1"), {60, 120, 5535, 8655}};
    case DialogControl::FirstHint:
        return {QStringLiteral("Label2"), {400, 360, 4800, 255}};
    case DialogControl::SecondHint:
        return {QStringLiteral("Label3"), {400, 720, 4335, 255}};
    case DialogControl::List:
        return {QStringLiteral("List1"), {1800, 1080, 3495, 7440}};
    case DialogControl::MoveUpButton:
        return {QStringLiteral("Command18"), {240, 5880, 1215, 375}};
    case DialogControl::MoveDownButton:
        return {QStringLiteral("Command19"), {240, 6480, 1215, 375}};
    case DialogControl::DeleteButton:
        return {QStringLiteral("Command20"), {240, 7440, 1215, 375}};
    case DialogControl::SaveButton:
        return {QStringLiteral("OKButton"), {1500, 8880, 900, 375}};
    case DialogControl::CancelButton:
        return {QStringLiteral("CancelButton"), {3300, 8880, 900, 375}};
    case DialogControl::ParentButton:
        return {QStringLiteral("ParentButton"), {4380, 8880, 1095, 375}};
    }
    Q_UNREACHABLE();
}

Placement dialogCategoryButton(int number)
{
    return {QStringLiteral("Command%1").arg(number), {240, 1320 + 240 * (number - 1), 1215, 255}};
}

} // namespace DesignGeometry
