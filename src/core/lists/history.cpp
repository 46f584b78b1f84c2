#include "core/lists/history.h"

#include "core/catalogue/listfile.h"

namespace History {

void record(const QString &historyFile, const QString &name)
{
    // The history is a convenience: without its file, or when the file
    // cannot be read or written, playing goes on without it.
    const ListFile file(historyFile);
    const Result<QStringList> old = file.read();
    if (!old)
        return;
    QStringList entries = QStringList{name} + old.value();
    if (entries.size() > MaxEntries)
        entries.resize(MaxEntries);
    static_cast<void>(file.rewrite(entries));
}

} // namespace History
