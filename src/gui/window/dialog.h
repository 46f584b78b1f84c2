#pragma once

#include "core/base/apppaths.h"

#include <QDialog>
#include <functional>

class MessageBoxes;
class ProgrammeOrder;
class QListView;
class QPushButton;

// The programme order dialog "设置": a parent puts one category's programmes
// in the order the child should see them and deletes the ones not wanted.
class Dialog : public QDialog
{
    Q_OBJECT
public:
    Dialog(const AppPaths &paths, MessageBoxes &messages, QWidget *parent = nullptr);

    // Starts with no category chosen and an empty list.
    void Form_Load();
    // Category button n (1 .. 14): shows that category's list.
    void CommandClick(int n);
    void Command18_Click(); // move up
    void Command19_Click(); // move down
    void Command20_Click(); // delete, after asking
    void OKButton_Click();  // save the list shown, then close
    void CancelButton_Click();

    ProgrammeOrder *order() const { return m_order; }
    // The selected row, -1 for none.
    int selectedRow() const;
    void selectRow(int row);

private:
    void createControls();
    void createList(QWidget *frame);
    void createActionButtons(QWidget *frame);
    // Runs a handler; a file that cannot be read or written is reported and
    // the dialog stays usable.
    bool guarded(const std::function<void()> &handler);

    MessageBoxes &m_messages;
    ProgrammeOrder *m_order = nullptr;
    QListView *List1 = nullptr;
};
