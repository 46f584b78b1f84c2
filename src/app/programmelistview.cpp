#include "app/programmelistview.h"

#include <QKeyEvent>
#include <QMouseEvent>

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
