#include "core/swf/swfcompress.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace swf {
namespace {

// Output grows in steps so that a header claiming a huge size costs nothing
// until the stream really delivers that much.
constexpr qsizetype Step = 256 * 1024;

unsigned char *bytes(QByteArray &buffer, qsizetype at)
{
    return reinterpret_cast<unsigned char *>(buffer.data()) + at;
}

const unsigned char *bytes(QByteArrayView view)
{
    return reinterpret_cast<const unsigned char *>(view.data());
}

qsizetype nextSize(qsizetype current, qsizetype wanted)
{
    return std::min(wanted, current + std::max(Step, current));
}

} // namespace

Inflated inflateZlib(QByteArrayView stream, qsizetype wanted)
{
    Inflated result;
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        result.status = InflateStatus::Corrupt;
        return result;
    }
    z.next_in = const_cast<unsigned char *>(bytes(stream));
    z.avail_in = static_cast<uInt>(stream.size());
    qsizetype produced = 0;
    int rc = Z_OK;
    while (produced < wanted && rc == Z_OK) {
        result.data.resize(nextSize(produced, wanted));
        z.next_out = bytes(result.data, produced);
        z.avail_out = static_cast<uInt>(result.data.size() - produced);
        rc = inflate(&z, Z_NO_FLUSH);
        produced = result.data.size() - z.avail_out;
        if (rc == Z_BUF_ERROR && z.avail_in == 0)
            break;
    }
    inflateEnd(&z);
    result.data.resize(produced);
    if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_NEED_DICT || rc == Z_STREAM_ERROR)
        result.status = InflateStatus::Corrupt;
    else if (produced < wanted)
        result.status = InflateStatus::Truncated;
    return result;
}

Inflated inflateLzma(QByteArrayView properties, QByteArrayView stream, qsizetype wanted)
{
    Inflated result;
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (properties.size() != 5 ||
        lzma_properties_decode(&filters[0], nullptr, bytes(properties), 5) != LZMA_OK) {
        result.status = InflateStatus::Corrupt;
        return result;
    }
    // The decoder allocates the dictionary the header asks for, up to 4 GB.
    // No match reaches back further than the output we accept, so a
    // dictionary of that size decodes the same.
    auto *options = static_cast<lzma_options_lzma *>(filters[0].options);
    options->dict_size = static_cast<uint32_t>(std::clamp<qsizetype>(
        wanted, LZMA_DICT_SIZE_MIN, std::max<qsizetype>(options->dict_size, LZMA_DICT_SIZE_MIN)));
    lzma_stream z = LZMA_STREAM_INIT;
    lzma_ret rc = lzma_raw_decoder(&z, filters);
    std::free(filters[0].options); // lzma_properties_decode allocates it with malloc
    if (rc != LZMA_OK) {
        result.status = InflateStatus::Corrupt;
        return result;
    }
    z.next_in = bytes(stream);
    z.avail_in = static_cast<size_t>(stream.size());
    qsizetype produced = 0;
    while (produced < wanted && rc == LZMA_OK) {
        result.data.resize(nextSize(produced, wanted));
        z.next_out = bytes(result.data, produced);
        z.avail_out = static_cast<size_t>(result.data.size() - produced);
        rc = lzma_code(&z, z.avail_in == 0 ? LZMA_FINISH : LZMA_RUN);
        produced = result.data.size() - static_cast<qsizetype>(z.avail_out);
    }
    lzma_end(&z);
    result.data.resize(produced);
    if (rc != LZMA_OK && rc != LZMA_STREAM_END && rc != LZMA_BUF_ERROR)
        result.status = InflateStatus::Corrupt;
    else if (produced < wanted)
        result.status = InflateStatus::Truncated;
    return result;
}

} // namespace swf
