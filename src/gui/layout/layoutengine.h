#pragma once

#include <QList>
#include <QRect>
#include <QString>

#include <cstdint>

class QWidget;

// What the engine remembers of a window or of one of its controls, in twips
// as the window first had it. For a window top/left/height/width are its
// outer frame and scaleHeight/scaleWidth its inner area; for a control the
// window fields stay 0.
struct LayoutRecord
{
    QString name;
    std::int32_t index = 0; // Qt has no control arrays: always 0
    QString formName;
    std::int32_t top = 0;
    std::int32_t left = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t scaleHeight = 0;
    std::int32_t scaleWidth = 0;
};

// Keeps every control of a window at the same relative place and size. The
// first time it sees a window it records the window's inner size and every
// control's rectangle; every later layout is computed from those first
// records by whole percentages, so rounding never adds up over many
// resizes. Works on any top-level widget, keyed by object names; the
// controls are its direct child widgets that have a name.
class LayoutEngine
{
public:
    // A control parked off to the left is recorded this far to the right.
    static constexpr std::int32_t OffTabShift = 75000;
    static constexpr int TwipsPerPixel = 15;

    void resizeControls(QWidget *window);

    // The only conversions between the twips the engine counts in and the
    // (logical) pixels of the widgets. A control's exact twips are kept on
    // it, so a rectangle that is no whole number of pixels reads back as
    // it was set.
    static std::int32_t toTwips(int pixels) { return pixels * TwipsPerPixel; }
    static int toPixels(std::int32_t twips);
    static QRect geometryInTwips(const QWidget *control);
    static void setGeometryInTwips(QWidget *control, const QRect &twips);

private:
    // Tests read the records kept and the percentages through it.
    friend struct LayoutInside;

    void resizeControl(QWidget *control, QWidget *window);
    // The window's inner size as a whole percentage of the recorded one; -1
    // when the recorded size is 0 and no percentage can be taken.
    std::int32_t widthPercent(QWidget *window);
    std::int32_t heightPercent(QWidget *window);
    int findFormRecord(const QWidget *window) const;
    int addFormRecord(QWidget *window);
    int findControlRecord(const QWidget *control, const QString &formName) const;
    int addControlRecord(const QWidget *control, const QString &formName);
    static std::int32_t normalizeLeft(std::int32_t left);
    static QList<QWidget *> controlsOf(QWidget *window);

    QList<LayoutRecord> m_formRecords;
    QList<LayoutRecord> m_controlRecords;
};
