#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

#include <functional>

// Every file the program writes goes through here: the lists, the key and
// version files, the cache, saved games, the first start's copies and the
// desktop launcher. A file is replaced whole or not at all, and a failure is
// never taken for success. A failure's description is the system's reason,
// for the log; each caller says in its own words what it means to the user.
namespace AtomicFile {

// Writes bytes to a temporary file beside path, unbuffered so that every
// write is checked, syncs them to the disk and renames the file over path.
// On any failure the temporary file is removed and path keeps its old bytes
// (or stays absent). `permissions`, when given, are the new file's.
Result<> write(const QString &path, const QByteArray &bytes,
               QFileDevice::Permissions permissions = {});

// Copies the file at source to path the same way, a piece at a time;
// `progress` hears the bytes copied so far and may cancel by answering false.
Result<> copy(const QString &source, const QString &path,
              const std::function<bool(qint64 copied)> &progress = {});

} // namespace AtomicFile
