#pragma once

#include "gui/layout/layoutengine.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

// The design of the main window and of the programme order dialog: every
// control's object name and rectangle in twips (15 twips to a pixel at 96
// dots per inch; the layout engine converts). The object names are the
// design's own; the layout engine's records and the tests find controls by
// them, so they are written here and nowhere else.
namespace DesignGeometry {

inline constexpr int InnerWidthTwips = 15240;
inline constexpr int InnerHeightTwips = 10665;

// The main window's controls besides the fourteen category buttons.
enum class Control {
    Window,
    Player,
    ProgrammeList,
    FullScreenButton,
    MuteButton,
    PlayButton,
    PauseButton,
    PositionBar,
    PlayAllOption,
    RepeatOneOption,
    FolderBox,
    ShortcutLink,
    FavouritesLink,
    HistoryLink,
    SettingsLink,
    BackButton,
    InfoStrip,
};

QString objectName(Control control);
// Category button n (1 .. 14).
QString categoryButtonName(int number);

// Design rectangle of the control with this object name, in twips; an empty
// rectangle for names that have none.
QRect twips(const QString &objectName);
// Every named control of the main window that has a design rectangle.
const QStringList &controlNames();
// The size in twips a control keeps whatever the window's size; a width of
// 0 follows the window. An empty size for controls that follow it wholly.
QSize fixedTwips(const QString &objectName);

// Names the control and puts it at its design rectangle.
template <typename W> W *place(W *widget, const QString &name)
{
    widget->setObjectName(name);
    LayoutEngine::setGeometryInTwips(widget, twips(name));
    return widget;
}
template <typename W> W *place(W *widget, Control control)
{
    return place(widget, objectName(control));
}

// The programme order dialog.
inline constexpr QSize DialogTwips(5625, 9405);
enum class DialogControl {
    Frame,
    FirstHint,
    SecondHint,
    List,
    MoveUpButton,
    MoveDownButton,
    DeleteButton,
    SaveButton,
    CancelButton,
    ParentButton,
};
struct Placement
{
    QString name;
    QRect twips;
};
Placement dialogControl(DialogControl control);
// The dialog's category button n (1 .. 14).
Placement dialogCategoryButton(int number);

} // namespace DesignGeometry
