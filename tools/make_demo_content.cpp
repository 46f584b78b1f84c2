// Writes the demo download server's content: the key file, one movie per
// programme of the demo lists, the version file and the information pages.
//
//   make_demo_content <cons folder> <output folder>
#include "core/base/textfile.h"
#include "core/catalogue/listfile.h"
#include "support/swfwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

const QString Key = QStringLiteral("k7demo");

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QString infoPage(int n, const QString &title, const QString &pick)
{
    static const char *const colours[] = {"#ffe08a", "#ffc9de", "#c9e6ff", "#d6f5c3", "#ffd6a5"};
    return QStringLiteral(
               "<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><style>"
               "html,body{margin:0;height:100%;overflow:hidden;background:%1;"
               "font:12px/19px \"Noto Sans CJK SC\",sans-serif;color:#6a3d00}"
               "p{margin:0;padding-left:8px;white-space:nowrap}</style></head>"
               "<body><p>★ %2 ★ 今天推荐：%3 ★ 每天看一会儿，别忘了休息眼睛哦！</p></body></html>")
        .arg(QLatin1String(colours[n % 5]), title, pick);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_demo_content <cons folder> <output folder>\n");
        return 2;
    }
    const QDir cons(QString::fromLocal8Bit(argv[1]));
    const QDir out(QString::fromLocal8Bit(argv[2]));
    static const char16_t *const titles[] = {
        u"中文儿歌", u"中文童谣", u"英文儿歌", u"小故事",   u"童话故事", u"学英语",   u"学古诗",
        u"学拼音",   u"识字",     u"益智游戏", u"涂色拼图", u"数学游戏", u"语文游戏", u"英语游戏"};
    static const quint32 colours[] = {0x2a4d8f, 0x8f2a5d, 0x2a8f55, 0x8f6a2a, 0x5d2a8f, 0x2a7f8f};

    int made = 0;
    for (int n = 1; n <= 14; ++n) {
        const QStringList names =
            ListFile(cons.filePath(QStringLiteral("b%1.inb").arg(n, 2, 10, QLatin1Char('0'))))
                .read()
                .valueOr({});
        QString pick = QStringLiteral("新节目马上就来");
        for (const QString &name : names) {
            if (name.isEmpty())
                continue;
            if (pick.startsWith(QStringLiteral("新节目")))
                pick = name;
            TestMovieOptions options;
            options.version = made % 3 == 0 ? 6 : 8;
            options.frameRate = 12 + (made % 3) * 6;
            options.frameCount = 120 + (made % 5) * 60;
            options.background = colours[made % 6];
            // From a few kB up to about 2 MB, so progress can be watched.
            options.paddingBytes = int(qMin<qint64>(qint64(4096) << (made % 10), 2100000));
            const QByteArray movie = makeTestMovie(options);
            if (!writeFile(
                    out.filePath(Key + QStringLiteral("/flash/") + name + QStringLiteral(".swf")),
                    movie))
                return 1;
            ++made;
        }
        writeFile(out.filePath(QStringLiteral("info/show%1.htm").arg(n)),
                  infoPage(n, QString::fromUtf16(titles[n - 1]), pick).toUtf8());
    }
    writeFile(
        out.filePath(QStringLiteral("info/show15.htm")),
        infoPage(15, QStringLiteral("我的收藏与历史"), QStringLiteral("喜欢的节目")).toUtf8());
    writeFile(out.filePath(QStringLiteral("guihu.txt")),
              TextFile::encodeLines({QStringLiteral("abcemo1234k7d9999,demo")}));
    // The server offers the release the demo folder holds, so the program
    // finds no update, unless server/publish-update.sh has put another one
    // there: that one stays.
    const QString versionFile = out.filePath(QStringLiteral("gengxin/update.txt"));
    if (!QFile::exists(versionFile)) {
        const QStringList installed = TextFile::decodeLines(
            TextFile::readBytes(cons.filePath(QStringLiteral("update.inb"))).valueOr({}));
        writeFile(versionFile, TextFile::encodeLines({installed.value(0)}));
    }
    std::printf("%d programmes written to %s\n", made, argv[2]);
    return 0;
}
