#include "core/lists/history.h"

#include "core/base/apperror.h"
#include "core/base/textfile.h"

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

} // namespace History
