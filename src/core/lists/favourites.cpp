#include "core/lists/favourites.h"

namespace Favourites {

QString refusal(bool customMode, const ProgrammeItem *selected)
{
    if (customMode)
        return QStringLiteral("此类不能加入！");
    if (!selected)
        return QStringLiteral("请先选择节目");
    if (selected->state != ProgrammeState::Cached)
        return QStringLiteral("请下载完成后再加入“收藏”！");
    return {};
}

} // namespace Favourites
