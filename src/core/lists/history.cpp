#include "core/lists/history.h"

#include "core/base/apperror.h"
#include "core/base/textfile.h"
#include "core/catalogue/categorytable.h"

#include <QFileInfo>

namespace History {

void record(const QString &historyFile, const QString &name)
{
    if (!QFileInfo(historyFile).isFile())
        return;
    try {
        QStringList entries{name};
        for (const QString &line : TextFile::readLines(historyFile)) {
            if (!line.isEmpty())
                entries.append(line);
        }
        if (entries.size() > MaxEntries)
            entries.resize(MaxEntries);
        TextFile::writeLines(historyFile, entries);
    } catch (const AppError &) {
        // The history is a convenience: playing goes on without it.
    }
}

bool isRecorded(const QString &currentCategory)
{
    return currentCategory != ListMode::Favourites && currentCategory != ListMode::History &&
           currentCategory != ListMode::Custom;
}

} // namespace History
