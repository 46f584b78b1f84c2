#include "testbytes.h"

#include <QFile>

QByteArray patternedBytes(qint64 size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + seed * 101 + i / 509) & 0xff);
    return bytes;
}

QByteArray readFileOrMissing(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}
