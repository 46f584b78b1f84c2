#pragma once

#include <QListView>

// The programme list. It tells the window only about the user's own choices:
// a left click on a row (also the row already selected) and a keyboard move
// of the selection. Loading the rows, the list gaining focus after a message
// box, or the program setting the current row are not choices and say
// nothing, so they can never start a programme by themselves.
class ProgrammeListView : public QListView
{
    Q_OBJECT
public:
    using QListView::QListView;

    // -1 when no row is current.
    int currentRow() const;
    // Makes the row current and selected without telling anyone; -1 clears.
    void setCurrentRow(int row);

Q_SIGNALS:
    // The user chose the current row.
    void rowChosen();
    // The right button was released over the list: time for its menu.
    void menuRequested(const QPoint &globalPos);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
