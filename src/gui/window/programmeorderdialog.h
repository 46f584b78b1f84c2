#pragma once

#include "core/base/apppaths.h"

#include <QDialog>

class MessageBoxes;
class ProgrammeOrder;
class QListView;
class QPushButton;

// The programme order dialog "设置": a parent puts one category's programmes
// in the order the child should see them and deletes the ones not wanted.
// It starts with no category chosen and an empty list.
class ProgrammeOrderDialog : public QDialog
{
    Q_OBJECT
public:
    ProgrammeOrderDialog(const AppPaths &paths, MessageBoxes &messages, QWidget *parent = nullptr);

    // Category button n (1 .. 14): shows that category's list.
    void onCategoryClicked(int number);
    void onMoveUpClicked();
    void onMoveDownClicked();
    // Deletes the selected programme, after asking.
    void onDeleteClicked();
    // Saves the list shown, then closes.
    void onSaveClicked();
    void onCancelClicked();

    // The selected row, -1 for none.
    int selectedRow() const;
    void selectRow(int row);

Q_SIGNALS:
    // "家长设置": the parent's settings, behind the gate.
    void parentSettingsRequested();

private:
    // Tests read the rows shown through it.
    friend struct OrderDialogInside;

    void createControls();
    void createList(QWidget *frame);
    void createActionButtons(QWidget *frame);

    MessageBoxes &m_messages;
    ProgrammeOrder *m_order = nullptr;
    QListView *m_list = nullptr;
};
