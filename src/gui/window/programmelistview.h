#pragma once

#include <QListView>
#include <QTimer>

// The programme list. It tells the window only about the user's own choices:
// a left click on a row (also the row already selected) and a keyboard move
// of the selection. Loading the rows, the list gaining focus after a message
// box, or the program setting the current row are not choices and say
// nothing, so they can never start a programme by themselves.
//
// A download changes its row once per range, hundreds of times a second on
// a fast line, while the screen shows one picture per frame: rows changed
// within a frame of the last repaint are repainted together when the frame
// is over, the latest text of each row then.
class ProgrammeListView : public QListView
{
    Q_OBJECT
public:
    explicit ProgrammeListView(QWidget *parent = nullptr);

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
    void focusInEvent(QFocusEvent *event) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles) override;
    void reset() override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void repaintHeldRows();

    QTimer m_frame;
    int m_heldFirst = -1; // rows changed since the last repaint, -1: none
    int m_heldLast = -1;
};
