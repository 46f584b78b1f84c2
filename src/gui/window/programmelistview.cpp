#include "gui/window/programmelistview.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace {

constexpr int FrameMs = 16; // a screen of 60 Hz

} // namespace

ProgrammeListView::ProgrammeListView(QWidget *parent) : QListView(parent)
{
    m_frame.setSingleShot(true);
    m_frame.setInterval(FrameMs);
    connect(&m_frame, &QTimer::timeout, this, &ProgrammeListView::repaintHeldRows);
}

int ProgrammeListView::currentRow() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void ProgrammeListView::setCurrentRow(int row)
{
    const QModelIndex index = model() ? model()->index(row, 0) : QModelIndex();
    if (!index.isValid()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void ProgrammeListView::focusInEvent(QFocusEvent *event)
{
    // Qt makes the first row current when the list gains the focus with none;
    // a freshly loaded list is to show no row marked at all. The arrow keys
    // still start at the first row.
    const bool hadCurrent = currentIndex().isValid();
    QListView::focusInEvent(event);
    if (!hadCurrent && !selectionModel()->hasSelection())
        selectionModel()->clearCurrentIndex();
}

void ProgrammeListView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    // Only a move the user made counts; the row is selected as well, since
    // focus alone can leave a current row that is not selected.
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before && selectionModel()->isSelected(after))
        Q_EMIT rowChosen();
}

void ProgrammeListView::mousePressEvent(QMouseEvent *event)
{
    // A right press chooses the row under the pointer as a left click
    // would, so that the menu that follows acts on it.
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            setCurrentRow(index.row());
            Q_EMIT rowChosen();
        }
        return;
    }
    QListView::mousePressEvent(event);
}

void ProgrammeListView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        Q_EMIT menuRequested(event->globalPosition().toPoint());
        return;
    }
    QListView::mouseReleaseEvent(event);
    // A click, or a press dragged to another row, ends over the row that is
    // now current; a release beside the rows chooses nothing.
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && index == currentIndex())
        Q_EMIT rowChosen();
}

void ProgrammeListView::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                    const QList<int> &roles)
{
    if (!m_frame.isActive()) {
        QListView::dataChanged(topLeft, bottomRight, roles);
        m_frame.start();
        return;
    }
    m_heldFirst = m_heldFirst < 0 ? topLeft.row() : std::min(m_heldFirst, topLeft.row());
    m_heldLast = std::max(m_heldLast, bottomRight.row());
}

void ProgrammeListView::reset()
{
    // The rows held back are gone; the whole list is repainted anyway.
    m_heldFirst = m_heldLast = -1;
    QListView::reset();
}

void ProgrammeListView::repaintHeldRows()
{
    if (m_heldFirst < 0 || !model())
        return;
    const int last = std::min(m_heldLast, model()->rowCount() - 1);
    const int first = std::exchange(m_heldFirst, -1);
    m_heldLast = -1;
    if (first > last)
        return;
    QListView::dataChanged(model()->index(first, 0), model()->index(last, 0), {});
    m_frame.start(); // what changes in the next frame waits for its end
}
