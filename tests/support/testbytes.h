#pragma once

#include <QByteArray>
#include <QString>

// Bytes for transfer tests: a pattern with no short period, so a range put in
// the wrong place shows; different seeds give different contents.
QByteArray patternedBytes(qint64 size, int seed = 0);

// A file's whole content, or "<missing>" when it cannot be read.
QByteArray readFileOrMissing(const QString &path);
