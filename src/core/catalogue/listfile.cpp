#include "core/catalogue/listfile.h"

#include "core/base/textfile.h"

Result<QStringList> ListFile::read() const
{
    const Result<QByteArray> bytes = TextFile::readBytes(m_path);
    if (!bytes)
        return bytes.error();
    QStringList names = TextFile::decodeLines(bytes.value());
    names.removeAll(QString());
    return names;
}

Result<> ListFile::append(const QString &name) const
{
    const Result<QByteArray> old = TextFile::readBytes(m_path);
    if (!old && old.error().number() != AppError::FileNotFound)
        return old.error();
    QByteArray bytes = old.valueOr({});
    if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'))
        bytes += "\r\n";
    return TextFile::writeBytes(m_path, bytes + TextFile::encodeLines({name}));
}

Result<> ListFile::rewrite(const QStringList &names) const
{
    return TextFile::writeBytes(m_path, TextFile::encodeLines(names));
}

Result<> ListFile::clear() const
{
    return TextFile::writeBytes(m_path, {});
}
