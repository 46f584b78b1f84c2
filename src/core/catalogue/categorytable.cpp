#include "core/catalogue/categorytable.h"

#include <QtGlobal>

namespace CategoryTable {

namespace {

Category make(int n, const char16_t *tip)
{
    const QString nn = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return Category{n,
                    QString::fromUtf16(tip),
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
    static const std::array<Category, Count> table = {
        make(1, u"中文儿歌"),  make(2, u"中文童谣"),  make(3, u"英文儿歌"),  make(4, u"小故事"),
        make(5, u"童话故事"),  make(6, u"学英语"),    make(7, u"学古诗"),    make(8, u"学拼音"),
        make(9, u"识字"),      make(10, u"益智游戏"), make(11, u"涂色拼图"), make(12, u"数学游戏"),
        make(13, u"语文游戏"), make(14, u"英语游戏"),
    };
    return table;
}

const Category &row(int number)
{
    Q_ASSERT(number >= 1 && number <= Count);
    return rows()[static_cast<std::size_t>(number - 1)];
}

} // namespace CategoryTable
