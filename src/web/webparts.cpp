#include "web/webparts.h"

#include "web/ruffleplayer.h"
#include "web/webinfobrowser.h"

std::unique_ptr<WebParts> makeWebParts(const QString &programDir, NavigateErrorHandler onError)
{
    RufflePlayer::initializeBeforeEngine();
    auto parts = std::make_unique<WebParts>();
    parts->player = std::make_unique<RufflePlayer>(programDir);
    parts->strip = std::make_unique<WebInfoBrowser>(std::move(onError));
    return parts;
}
