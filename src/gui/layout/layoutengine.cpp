#include "gui/layout/layoutengine.h"

#include <QRect>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace {

// Where a control keeps its exact rectangle in twips.
constexpr char TwipsProperty[] = "layoutTwips";

std::int32_t percentOf(std::int64_t currentTwips, std::int32_t recordedTwips)
{
    if (recordedTwips == 0)
        return -1;
    return static_cast<std::int32_t>(currentTwips * 100 / recordedTwips);
}

std::int32_t scaled(std::int32_t recorded, std::int32_t percent)
{
    return static_cast<std::int32_t>(std::int64_t(recorded) * percent / 100);
}

} // namespace

int LayoutEngine::toPixels(std::int32_t twips)
{
    return static_cast<int>(std::lround(double(twips) / TwipsPerPixel));
}

QRect LayoutEngine::geometryInTwips(const QWidget *control)
{
    const QVariant kept = control->property(TwipsProperty);
    const QRect g = control->geometry();
    if (kept.canConvert<QRect>()) {
        const QRect t = kept.toRect();
        // Kept twips count only while the widget still stands where they
        // put it; a move by anyone else wins.
        if (QRect(toPixels(t.x()), toPixels(t.y()), toPixels(t.width()), toPixels(t.height())) == g)
            return t;
    }
    return QRect(toTwips(g.x()), toTwips(g.y()), toTwips(g.width()), toTwips(g.height()));
}

void LayoutEngine::setGeometryInTwips(QWidget *control, const QRect &twips)
{
    control->setProperty(TwipsProperty, twips);
    control->setGeometry(toPixels(twips.x()), toPixels(twips.y()), toPixels(twips.width()),
                         toPixels(twips.height()));
}

QList<QWidget *> LayoutEngine::controlsOf(QWidget *window)
{
    QList<QWidget *> controls;
    for (QObject *child : window->children()) {
        auto *w = qobject_cast<QWidget *>(child);
        if (w && !w->isWindow() && !w->objectName().isEmpty())
            controls.append(w);
    }
    return controls;
}

void LayoutEngine::resizeControls(QWidget *window)
{
    for (QWidget *control : controlsOf(window))
        resizeControl(control, window);
}

void LayoutEngine::resizeControl(QWidget *control, QWidget *window)
{
    const std::int32_t h = heightPercent(window);
    const std::int32_t w = widthPercent(window);
    const int i = findControlRecord(control, window->objectName());
    if (i < 0)
        return; // added after the window was recorded: left where it is
    const LayoutRecord &r = m_controlRecords.at(i);
    QRect now = geometryInTwips(control);
    // A percentage that cannot be taken leaves that direction as it is.
    if (w >= 0) {
        const bool parked = now.x() < 0;
        now.moveLeft(scaled(r.left, w) - (parked ? OffTabShift : 0));
        now.setWidth(scaled(r.width, w));
    }
    if (h >= 0) {
        now.moveTop(scaled(r.top, h));
        now.setHeight(scaled(r.height, h));
    }
    setGeometryInTwips(control, now);
}

std::int32_t LayoutEngine::widthPercent(QWidget *window)
{
    int i = findFormRecord(window);
    if (i < 0)
        i = addFormRecord(window);
    return percentOf(toTwips(window->width()), m_formRecords.at(i).scaleWidth);
}

std::int32_t LayoutEngine::heightPercent(QWidget *window)
{
    int i = findFormRecord(window);
    if (i < 0)
        i = addFormRecord(window);
    return percentOf(toTwips(window->height()), m_formRecords.at(i).scaleHeight);
}

int LayoutEngine::findFormRecord(const QWidget *window) const
{
    for (int i = 0; i < m_formRecords.size(); ++i) {
        if (m_formRecords.at(i).name == window->objectName())
            return i;
    }
    return -1;
}

int LayoutEngine::addFormRecord(QWidget *window)
{
    const QRect frame = window->frameGeometry();
    LayoutRecord r;
    r.name = window->objectName();
    r.top = toTwips(frame.y());
    r.left = toTwips(frame.x());
    r.height = toTwips(frame.height());
    r.width = toTwips(frame.width());
    r.scaleHeight = toTwips(window->height());
    r.scaleWidth = toTwips(window->width());
    m_formRecords.append(r);
    const int index = static_cast<int>(m_formRecords.size()) - 1;
    for (QWidget *control : controlsOf(window)) {
        if (findControlRecord(control, r.name) < 0)
            addControlRecord(control, r.name);
    }
    return index;
}

int LayoutEngine::findControlRecord(const QWidget *control, const QString &formName) const
{
    for (int i = 0; i < m_controlRecords.size(); ++i) {
        const LayoutRecord &r = m_controlRecords.at(i);
        if (r.formName == formName && r.name == control->objectName())
            return i;
    }
    return -1;
}

int LayoutEngine::addControlRecord(const QWidget *control, const QString &formName)
{
    const QRect t = geometryInTwips(control);
    LayoutRecord r;
    r.name = control->objectName();
    r.formName = formName;
    r.top = t.y();
    r.left = normalizeLeft(t.x());
    r.height = t.height();
    r.width = t.width();
    m_controlRecords.append(r);
    return static_cast<int>(m_controlRecords.size()) - 1;
}

std::int32_t LayoutEngine::normalizeLeft(std::int32_t left)
{
    return left >= 0 ? left : left + OffTabShift;
}
