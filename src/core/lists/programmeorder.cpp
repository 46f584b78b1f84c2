#include "core/lists/programmeorder.h"

#include "core/catalogue/categorytable.h"
#include "core/catalogue/listfile.h"

#include <QFileInfo>

ProgrammeOrder::ProgrammeOrder(AppPaths paths, QObject *parent)
    : QStringListModel(parent), m_paths(std::move(paths))
{
}

void ProgrammeOrder::clear()
{
    setStringList({});
    m_listFile.clear();
}

Result<> ProgrammeOrder::load(int category)
{
    // Forget the old list first: if the new one cannot be read, a save must
    // not write the old rows, or nothing, over either file.
    clear();
    const QString listFile = CategoryTable::row(category).listFile;
    const Result<QStringList> names = ListFile(m_paths.file(listFile)).read();
    if (!names)
        return names.error();
    setStringList(names.value());
    m_listFile = listFile;
    return {};
}

QString ProgrammeOrder::editedListFile() const
{
    return m_listFile.isEmpty() ? NoList : QFileInfo(m_listFile).fileName();
}

int ProgrammeOrder::moveUp(int selected)
{
    if (selected < 1 || selected >= rowCount())
        return selected;
    exchange(selected - 1, selected);
    return selected - 1;
}

int ProgrammeOrder::moveDown(int selected)
{
    if (selected < 0 || selected + 1 >= rowCount())
        return selected;
    exchange(selected, selected + 1);
    return selected + 1;
}

int ProgrammeOrder::remove(int selected)
{
    if (selected >= 0 && selected < rowCount())
        removeRows(selected, 1);
    return -1;
}

Result<> ProgrammeOrder::save() const
{
    if (m_listFile.isEmpty())
        return {};
    return ListFile(m_paths.file(m_listFile)).rewrite(stringList());
}

void ProgrammeOrder::exchange(int a, int b)
{
    const QVariant first = data(index(a), Qt::EditRole);
    setData(index(a), data(index(b), Qt::EditRole), Qt::EditRole);
    setData(index(b), first, Qt::EditRole);
}
