#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The program's text files (lists, key, version) are GBK with CR LF line ends,
// the same on every platform so that a data folder moves between builds.
namespace TextFile {

// Splits GBK bytes into lines. CR LF, LF and a lone CR end a line; a last line
// without an ending counts. Empty lines are kept; callers skip them.
QStringList decodeLines(const QByteArray &bytes);
// GBK bytes of the lines, CR LF after every line including the last.
QByteArray encodeLines(const QStringList &lines);

// Whole-file helpers; they throw AppError with the file's name on failure.
QStringList readLines(const QString &path);
// The file's bytes, or nothing when there is no such file.
// Opens before asking whether the file exists: a file being replaced by a
// rename can look deleted to a check made while the rename happens.
std::optional<QByteArray> readIfPresent(const QString &path);
// Replace the file whole or not at all (see AtomicFile). A failure throws
// a plain AppError and leaves the old file as it was.
void writeBytes(const QString &path, const QByteArray &bytes);
void writeLines(const QString &path, const QStringList &lines);

// The first field of the first line: text up to the first comma or the end of
// the line, without enclosing double quotes.
QString firstField(const QByteArray &bytes);

QString fromGbk(const QByteArray &bytes);
QByteArray toGbk(const QString &text);

} // namespace TextFile
