#include "core/lists/favourites.h"

#include "core/base/textfile.h"

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

Result<> append(const QString &listFile, const QString &name)
{
    return attempt([&] {
        QByteArray bytes = TextFile::readIfPresent(listFile).value_or(QByteArray());
        if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r'))
            bytes += "\r\n";
        bytes += TextFile::encodeLines({name});
        TextFile::writeBytes(listFile, bytes);
    });
}

Result<> rewrite(const QString &listFile, const QStringList &names)
{
    return attempt([&] { TextFile::writeLines(listFile, names); });
}

Result<> clear(const QString &listFile)
{
    return attempt([&] { TextFile::writeBytes(listFile, {}); });
}

} // namespace Favourites
