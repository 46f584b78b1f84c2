#pragma once

#include "core/base/apppaths.h"
#include "core/base/result.h"

#include <QStringListModel>

// One category list as the order dialog edits it: loaded from the category's
// file, rows moved and deleted in memory, written back only on saving.
class ProgrammeOrder : public QStringListModel
{
    Q_OBJECT
public:
    // editedListFile() before a category has been loaded.
    static inline const QString NoList = QStringLiteral("none");

    explicit ProgrammeOrder(AppPaths paths, QObject *parent = nullptr);

    // No rows and no category chosen.
    void clear();

    // Replaces the rows with the non-empty lines of category n's list file
    // (1 .. 14); changes not saved are dropped. Fails when the file cannot be
    // read: the list is then empty and nothing would be saved.
    Result<> load(int category);

    // Each takes the selected row (-1: none) and returns the row to select
    // afterwards; a move that cannot be made changes nothing.
    int moveUp(int selected);
    int moveDown(int selected);
    int remove(int selected);

    // Writes the rows shown, CR LF after each, over the edited list file;
    // nothing when no category was chosen. Fails when the file cannot be
    // written, leaving it as it was.
    Result<> save() const;

private:
    // Tests read which list file would be saved through it.
    friend struct OrderInside;

    // "bNN.inb" of the list shown, or NoList.
    QString editedListFile() const;
    void exchange(int a, int b);

    AppPaths m_paths;
    QString m_listFile; // relative to the application folder; empty: none
};
