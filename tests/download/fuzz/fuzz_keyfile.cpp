// libFuzzer target: reading the server key from arbitrary key-file bytes.
#include "core/base/textfile.h"
#include "core/download/serverkey.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> key = ServerKey::fromFileBytes(bytes);
    if (bytes.isEmpty() != !key.has_value())
        std::abort();
    if (!key)
        return 0;
    const QString field = TextFile::firstField(bytes);
    // The field never reaches past the first line, and an unquoted one never
    // past the first comma.
    if (field.contains(u'\r') || field.contains(u'\n'))
        std::abort();
    if (!bytes.startsWith('"') && field.contains(u','))
        std::abort();
    if (key->size() > 6 || key->size() > field.size())
        std::abort();
    // Every key character is a character of the field at its place.
    for (qsizetype i = 0; i < key->size(); ++i) {
        const qsizetype at =
            i < qMin<qsizetype>(3, qMax<qsizetype>(0, field.size() - 10))
                ? 10 + i
                : 3 + i - qMin<qsizetype>(3, qMax<qsizetype>(0, field.size() - 10));
        if (at >= field.size() || key->at(i) != field.at(at))
            std::abort();
    }
    return 0;
}
