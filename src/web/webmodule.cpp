// The library the program loads once its window is on screen.
#include "web/engineenvironment.h"
#include "web/ruffleplayer.h"
#include "web/webenginestrip.h"
#include "webapi/webparts.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT WebParts *qorvel_make_web_parts(const char *programDirUtf8)
{
    EngineEnvironment::prepare();
    auto *parts = new WebParts;
    parts->player = std::make_unique<RufflePlayer>(QString::fromUtf8(programDirUtf8));
    parts->strip = std::make_unique<WebEngineStrip>();
    return parts;
}

static_assert(std::is_same_v<decltype(&qorvel_make_web_parts), MakeWebPartsFunction>);
