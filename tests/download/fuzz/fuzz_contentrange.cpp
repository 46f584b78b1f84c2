// libFuzzer target: the Content-Range parser against a plain reference.
#include "core/download/contentrange.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

namespace {

// Digits at pos, leading zeros skipped; nothing if there are none or if
// more than 18 significant digits remain.
std::optional<long long> referenceNumber(const std::string &text, size_t &pos)
{
    const size_t start = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    if (pos == start)
        return std::nullopt;
    std::string digits = text.substr(start, pos - start);
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.size() > 18)
        return std::nullopt;
    return digits.empty() ? 0 : std::stoll(digits);
}

std::optional<ContentRange> reference(const std::string &text)
{
    if (text.size() < 6)
        return std::nullopt;
    for (size_t i = 0; i < 5; ++i)
        if ((text[i] | 0x20) != "bytes"[i])
            return std::nullopt;
    if (text[5] != ' ')
        return std::nullopt;
    size_t pos = 6;
    const auto first = referenceNumber(text, pos);
    if (!first || pos >= text.size() || text[pos++] != '-')
        return std::nullopt;
    const auto last = referenceNumber(text, pos);
    if (!last || pos >= text.size() || text[pos++] != '/')
        return std::nullopt;
    const auto total = referenceNumber(text, pos);
    if (!total || pos != text.size() || *first > *last || *last >= *total)
        return std::nullopt;
    return ContentRange{*first, *last, *total};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    const auto parsed = parseContentRange(QByteArrayView(text.data(), qsizetype(text.size())));
    const auto expected = reference(text);
    if (parsed.has_value() != expected.has_value() || (parsed && !(*parsed == *expected)))
        std::abort();
    if (parsed &&
        (parsed->first < 0 || parsed->first > parsed->last || parsed->last >= parsed->total))
        std::abort();
    return 0;
}
