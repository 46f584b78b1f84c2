#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QString>

// Where a programme of the list stands.
enum class ProgrammeState {
    NotCached,   // must be fetched before it plays
    Cached,      // in the cache, plays at once
    Queued,      // waiting in the download queue
    Starting,    // its download is being set up
    Downloading, // arriving, with a percentage
    Custom,      // a file of the child's own folder
};

struct ProgrammeItem
{
    QString name;
    ProgrammeState state = ProgrammeState::NotCached;
    int percent = 0; // while downloading

    bool operator==(const ProgrammeItem &) const = default;
};

// The rows of the programme list: each programme's name and state. The texts
// the user sees are made from them here and nowhere else, so nothing ever
// has to read a state back out of a row's text.
class ProgrammeListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { NameRole = Qt::UserRole + 1, StateRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    void setItems(const QList<ProgrammeItem> &items);
    void clear() { setItems({}); }
    int count() const { return static_cast<int>(m_items.size()); }
    bool isValidRow(int row) const { return row >= 0 && row < count(); }
    // Row must be valid.
    const ProgrammeItem &item(int row) const { return m_items.at(row); }
    // Takes the row out; a row that does not exist is left alone.
    void removeRow(int row);
    // Changes one row's state; a row that no longer exists is left alone.
    void setState(int row, ProgrammeState state, int percent = 0);
    // Changes the state of every row of the programme; nothing when the list
    // shown does not hold it.
    void setStateOf(const QString &name, ProgrammeState state, int percent = 0);
    // The first row of the programme, -1 when there is none.
    int rowOf(const QString &name) const;

    // The text a row shows: "  name" cached, "* name" not cached, the bare
    // name of a custom file, or the download's progress in place of the name.
    static QString rowText(const ProgrammeItem &item);
    QString rowText(int row) const { return rowText(item(row)); }

private:
    QList<ProgrammeItem> m_items;
};
