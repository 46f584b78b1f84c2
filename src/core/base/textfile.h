#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's text files (lists, key, version) are GBK with CR LF line ends,
// the same on every platform so that a data folder moves between builds.
namespace TextFile {

// Splits GBK bytes into lines. CR LF, LF and a lone CR end a line; a last line
// without an ending counts. Empty lines are kept; callers skip them.
QStringList decodeLines(const QByteArray &bytes);
// GBK bytes of the lines, CR LF after every line including the last.
QByteArray encodeLines(const QStringList &lines);

// The file's bytes. A failure names the file; no such file is the error
// FileNotFound, which some callers take as an empty or default file.
Result<QByteArray> readBytes(const QString &path);
// Replaces the file whole or not at all (see AtomicFile): on failure the old
// file is as it was.
Result<> writeBytes(const QString &path, const QByteArray &bytes);

// The first field of the first line: text up to the first comma or the end of
// the line, without enclosing double quotes.
QString firstField(const QByteArray &bytes);

QString fromGbk(const QByteArray &bytes);
QByteArray toGbk(const QString &text);

} // namespace TextFile
