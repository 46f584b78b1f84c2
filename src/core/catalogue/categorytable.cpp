#include "core/catalogue/categorytable.h"

#include <QtGlobal>

namespace CategoryTable {

namespace {

Category make(int n, const char16_t *tip, const char16_t *key)
{
    const QString nn = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return Category{n,
                    QString::fromUtf16(tip),
                    QString::fromUtf16(key),
                    QStringLiteral("cons/b%1.inb").arg(nn),
                    QStringLiteral("show%1.htm").arg(n),
                    QStringLiteral("SOUND%1").arg(nn),
                    100 + n,
                    200 + n,
                    n <= 6};
}

} // namespace

const std::array<Category, Count> &rows()
{
    // The keys are identifiers only; they do not describe the tooltips.
    static const std::array<Category, Count> table = {
        make(1, u"中文儿歌", u"/xiaogushi/"),       make(2, u"中文童谣", u"/chengyugushi/"),
        make(3, u"英文儿歌", u"/tonghua/"),         make(4, u"小故事", u"/zhongwenerge/"),
        make(5, u"童话故事", u"/zhongwentongyao/"), make(6, u"学英语", u"/yingwenerge/"),
        make(7, u"学古诗", u"/xuegushi/"),          make(8, u"学拼音", u"/xuepinyin/"),
        make(9, u"识字", u"/baikechangshi/"),       make(10, u"益智游戏", u"/yizhiyouxi/"),
        make(11, u"涂色拼图", u"/paint/"),          make(12, u"数学游戏", u"/shuxueyouxi/"),
        make(13, u"语文游戏", u"/yuwenyouxi/"),     make(14, u"英语游戏", u"/bangbangenglish/"),
    };
    return table;
}

const Category &row(int number)
{
    Q_ASSERT(number >= 1 && number <= Count);
    return rows()[static_cast<std::size_t>(number - 1)];
}

} // namespace CategoryTable
