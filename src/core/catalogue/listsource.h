#pragma once

#include <QString>

// Which list the programme list shows: one of the fourteen categories, the
// favourites, the history, or one of the child's own folders.
struct ListSource
{
    enum Kind { Category, Favourites, History, Folder };

    Kind kind = Category;
    int category = 1; // 1 .. 14, for a category
    QString folder;   // the folder's name, for a folder

    static ListSource ofCategory(int number) { return {Category, number, {}}; }
    static ListSource favourites() { return {Favourites, 0, {}}; }
    static ListSource history() { return {History, 0, {}}; }
    static ListSource ofFolder(const QString &name) { return {Folder, 0, name}; }

    bool isFolder() const { return kind == Folder; }
    // Programmes played from a category are recorded in the history; those
    // played from the favourites, the history or a folder are not.
    bool recordsHistory() const { return kind == Category; }

    bool operator==(const ListSource &) const = default;
};
