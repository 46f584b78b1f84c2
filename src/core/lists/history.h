#pragma once

#include <QString>

// The history: the programmes played from a category list, newest first.
namespace History {

inline constexpr int MaxEntries = 20;

// Puts the name at the head of the history file and keeps the newest twenty.
// A missing or unreadable file records nothing; nothing is ever reported.
// The file is replaced in one step, so a crash leaves the old history whole.
void record(const QString &historyFile, const QString &name);

} // namespace History
