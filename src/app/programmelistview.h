#pragma once

#include <QListWidget>

// The programme list. It tells the window only about the user's own choices:
// a left click on a row (also the row already selected) and a keyboard move
// of the selection. Loading the rows, the list gaining focus after a message
// box, or the program setting the current row are not choices and say
// nothing, so they can never start a programme by themselves.
class ProgrammeListView : public QListWidget
{
    Q_OBJECT
public:
    using QListWidget::QListWidget;

Q_SIGNALS:
    // The user chose the current row.
    void rowChosen();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
