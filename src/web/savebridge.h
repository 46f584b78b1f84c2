#pragma once

#include "core/lists/savedgames.h"

#include <QJsonObject>
#include <QSet>

// Carries saved games between the program's files and the page: the saves of
// a programme go to the page with its movie, and every save the movie writes
// or deletes comes back to be kept on disk.
class SaveBridge
{
public:
    explicit SaveBridge(SavedGames saves) : m_saves(std::move(saves)) {}

    // {programme, saves: {name: base64}, canSave} for the movie at `path`.
    QJsonObject savesFor(const QString &moviePath);
    // A "save" ({programme, name, data: base64}) or "unsave" ({programme,
    // name}) event of the page.
    void pageChanged(const QJsonObject &event);

private:
    SavedGames m_saves;
    QSet<QString> m_programmes; // programmes whose saves the page may change
};
