// The library the program loads once its window is on screen.
#include "gui/webhost/webparts.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT WebParts *qorvel_make_web_parts(const QString &programDir,
                                                         NavigateErrorHandler onError)
{
    return makeWebParts(programDir, std::move(onError)).release();
}

static_assert(std::is_same_v<decltype(&qorvel_make_web_parts), MakeWebPartsFunction>);
