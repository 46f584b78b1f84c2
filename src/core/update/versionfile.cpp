#include "core/update/versionfile.h"

#include "core/base/textfile.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

// GBK text throughout: every byte sequence decodes and encodes back to
// itself, and nothing decodes to a control, replacement or private-use
// character. Catches binary files and text in other encodings, which a
// version read from their first bytes would otherwise make look new.
bool isGbkText(const QByteArray &bytes)
{
    const QString text = TextFile::fromGbk(bytes);
    if (TextFile::toGbk(text) != bytes)
        return false;
    for (const QChar c : text) {
        const bool lineBreakOrTab = c == u'\r' || c == u'\n' || c == u'\t';
        if ((c.category() == QChar::Other_Control && !lineBreakOrTab) ||
            c.category() == QChar::Other_PrivateUse || c == QChar::ReplacementCharacter)
            return false;
    }
    return true;
}

// A server or proxy that has no file to give often answers with an error
// page; no version and no program starts with '<'.
bool looksLikeMarkup(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    for (const char c : bytes) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return c == '<';
    }
    return false;
}

// The second field of the first line, without blanks or enclosing quotes.
QString secondField(const QString &line)
{
    qsizetype from = 0;
    if (line.startsWith(u'"')) {
        const qsizetype close = line.indexOf(u'"', 1); // a quoted first field may hold commas
        from = close < 0 ? line.size() : close + 1;
    }
    const qsizetype comma = line.indexOf(u',', from);
    if (comma < 0)
        return {};
    QString field = line.mid(comma + 1).section(u',', 0, 0).trimmed();
    if (field.size() >= 2 && field.startsWith(u'"') && field.endsWith(u'"'))
        field = field.mid(1, field.size() - 2);
    return field;
}

QByteArray sha256FromHex(const QString &field)
{
    if (field.size() != 64)
        return {};
    for (const QChar c : field) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F')))
            return {};
    }
    return QByteArray::fromHex(field.toLatin1());
}

} // namespace

std::optional<VersionFile> VersionFile::parse(const QByteArray &bytes)
{
    if (bytes.size() > MaxBytes || !isGbkText(bytes) || looksLikeMarkup(bytes))
        return std::nullopt;
    VersionFile file;
    file.version = TextFile::firstField(bytes);
    if (file.version.trimmed().isEmpty())
        return std::nullopt;
    file.updaterSha256 = sha256FromHex(secondField(TextFile::decodeLines(bytes).value(0)));
    return file;
}

bool isAcceptableUpdater(const QString &path, const QByteArray &expectedSha256)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0 || looksLikeMarkup(file.peek(1024)))
        return false;
    if (expectedSha256.isEmpty())
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    return hash.addData(&file) && hash.result() == expectedSha256;
}
