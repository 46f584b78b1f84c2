// libFuzzer target: reading a movie from arbitrary bytes, and rewriting what
// was read. A movie that reads must rewrite into one that reads again with
// the same frames.
#include "core/swf/swfreader.h"
#include "core/swf/swfrewriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    constexpr qsizetype Cap = 4 * 1024 * 1024;
    const swf::ReadResult r = swf::read(bytes, Cap);
    if (!r.ok()) {
        if (!r.movie.data.isEmpty() || r.movie.frameCount != 0)
            std::abort();
        return 0;
    }
    const swf::Movie &m = r.movie;
    // A damaged movie may be shorter than it says; it is played as it is.
    const bool lengthOk = m.damaged ? m.data.size() <= qsizetype(m.declaredLength)
                                    : m.data.size() == qsizetype(m.declaredLength);
    if (!lengthOk || m.data.size() > Cap)
        std::abort();
    for (const swf::Tag &t : m.tags)
        if (t.offset < m.tagsOffset || t.bodyOffset + t.length > m.data.size())
            std::abort();

    const swf::Rewritten w = swf::rewriteForPlayer(m, bytes, "qvplayer://app/control/1");
    if (w.control == swf::FrameControl::None)
        return w.data == bytes ? 0 : (std::abort(), 0);
    const swf::ReadResult again = swf::read(w.data, Cap * 2);
    if (!again.ok() || again.movie.version != m.version || again.movie.frameCount != m.frameCount ||
        again.movie.showFrameCount != m.showFrameCount)
        std::abort();
    return 0;
}
