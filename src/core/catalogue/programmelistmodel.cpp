#include "core/catalogue/programmelistmodel.h"

int ProgrammeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ProgrammeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !isValidRow(index.row()))
        return {};
    const ProgrammeItem &it = item(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return rowText(it);
    case NameRole:
        return it.name;
    case StateRole:
        return static_cast<int>(it.state);
    default:
        return {};
    }
}

void ProgrammeListModel::setItems(const QList<ProgrammeItem> &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

void ProgrammeListModel::removeRow(int row)
{
    if (!isValidRow(row))
        return;
    beginRemoveRows({}, row, row);
    m_items.removeAt(row);
    endRemoveRows();
}

void ProgrammeListModel::setState(int row, ProgrammeState state, int percent)
{
    if (!isValidRow(row))
        return;
    ProgrammeItem &it = m_items[row];
    const int shown = state == ProgrammeState::Downloading ? percent : 0;
    if (it.state == state && it.percent == shown)
        return;
    it.state = state;
    it.percent = shown;
    const QModelIndex at = index(row);
    Q_EMIT dataChanged(at, at);
}

void ProgrammeListModel::setStateOf(const QString &name, ProgrammeState state, int percent)
{
    for (int row = 0; row < count(); ++row) {
        if (m_items.at(row).name == name)
            setState(row, state, percent);
    }
}

int ProgrammeListModel::rowOf(const QString &name) const
{
    for (int row = 0; row < count(); ++row) {
        if (m_items.at(row).name == name)
            return row;
    }
    return -1;
}

QString ProgrammeListModel::rowText(const ProgrammeItem &item)
{
    switch (item.state) {
    case ProgrammeState::NotCached:
        return QStringLiteral("* ") + item.name;
    case ProgrammeState::Cached:
        return QStringLiteral("  ") + item.name;
    case ProgrammeState::Queued:
        return QStringLiteral("准备下载");
    case ProgrammeState::Starting:
        return QStringLiteral("开始下载");
    case ProgrammeState::Downloading:
        return QStringLiteral("正在下载 %1%").arg(item.percent);
    case ProgrammeState::Custom:
        return item.name.chopped(4); // a file name, shown without ".swf"
    }
    return item.name;
}
