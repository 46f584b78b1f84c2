#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Every file the program writes goes through here: the lists, the key and
// version files, the cache, saved games, the first start's copies and the
// desktop launcher. A file is replaced whole or not at all, and a failure is
// never taken for success.
namespace AtomicFile {

struct Outcome
{
    bool ok = false;
    QString error; // why not, for the log; empty when ok
    explicit operator bool() const { return ok; }
};

// Writes bytes to a temporary file beside path, unbuffered so that every
// write is checked, syncs them to the disk and renames the file over path.
// On any failure the temporary file is removed and path keeps its old bytes
// (or stays absent). `permissions`, when given, are the new file's.
[[nodiscard]] Outcome write(const QString &path, const QByteArray &bytes,
                            QFileDevice::Permissions permissions = {});

} // namespace AtomicFile
