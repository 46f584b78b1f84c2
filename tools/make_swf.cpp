// Writes a small, colourful, moving Flash movie for demos and manual tests:
//   make_swf --frames 240 --rate 24 --version 8 --compress zlib out.swf
#include "support/swfwriter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

bool parseInt(const QString &text, int low, int high, int &out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok && v >= low && v <= high)
        out = v;
    return ok && v >= low && v <= high;
}

QString applyOptions(const QCommandLineParser &p, TestMovieOptions &o)
{
    if (!parseInt(p.value(QStringLiteral("frames")), 1, 65535, o.frameCount))
        return QStringLiteral("--frames must be 1 to 65535");
    bool ok = false;
    o.frameRate = p.value(QStringLiteral("rate")).toDouble(&ok);
    if (!ok || o.frameRate <= 0 || o.frameRate >= 256)
        return QStringLiteral("--rate must be above 0 and below 256");
    if (!parseInt(p.value(QStringLiteral("version")), 1, 50, o.version))
        return QStringLiteral("--version must be 1 to 50");
    if (!parseInt(p.value(QStringLiteral("stop")), 0, o.frameCount, o.stopFrame))
        return QStringLiteral("--stop must be a frame of the movie");
    const QStringList size = p.value(QStringLiteral("size")).split(u'x');
    if (size.size() != 2 || !parseInt(size[0], 64, 4000, o.width) ||
        !parseInt(size[1], 64, 4000, o.height))
        return QStringLiteral("--size must be WIDTHxHEIGHT, 64 to 4000 each");
    o.background = p.value(QStringLiteral("background")).toUInt(&ok, 16);
    if (!ok || o.background > 0xffffff)
        return QStringLiteral("--background must be RRGGBB in hex");
    const QString c = p.value(QStringLiteral("compress"));
    if (c == QLatin1String("none"))
        o.compression = swf::Compression::None;
    else if (c == QLatin1String("zlib"))
        o.compression = swf::Compression::Zlib;
    else if (c == QLatin1String("lzma"))
        o.compression = swf::Compression::Lzma;
    else
        return QStringLiteral("--compress must be none, zlib or lzma");
    o.actionScript3 = p.isSet(QStringLiteral("as3"));
    return {};
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Writes a moving test movie."));
    p.addHelpOption();
    p.addOptions({
        {QStringLiteral("frames"), QStringLiteral("Frame count."), QStringLiteral("n"),
         QStringLiteral("240")},
        {QStringLiteral("rate"), QStringLiteral("Frames per second."), QStringLiteral("r"),
         QStringLiteral("24")},
        {QStringLiteral("version"), QStringLiteral("File version."), QStringLiteral("v"),
         QStringLiteral("8")},
        {QStringLiteral("compress"), QStringLiteral("none, zlib or lzma."), QStringLiteral("c"),
         QStringLiteral("zlib")},
        {QStringLiteral("stop"), QStringLiteral("Frame with a stop() action (0: none)."),
         QStringLiteral("n"), QStringLiteral("0")},
        {QStringLiteral("size"), QStringLiteral("Stage size in pixels."), QStringLiteral("WxH"),
         QStringLiteral("480x360")},
        {QStringLiteral("background"), QStringLiteral("Background colour."),
         QStringLiteral("RRGGBB"), QStringLiteral("2a4d8f")},
        {QStringLiteral("as3"), QStringLiteral("Mark the movie as ActionScript 3.")},
    });
    p.addPositionalArgument(QStringLiteral("out"), QStringLiteral("The movie file to write."));
    p.process(app);

    QTextStream err(stderr);
    TestMovieOptions o;
    if (const QString problem = applyOptions(p, o); !problem.isEmpty()) {
        err << problem << Qt::endl;
        return 2;
    }
    if (p.positionalArguments().size() != 1) {
        err << "name one output file" << Qt::endl;
        return 2;
    }
    if (!writeTestMovie(p.positionalArguments().constFirst(), o)) {
        err << "cannot write " << p.positionalArguments().constFirst() << Qt::endl;
        return 1;
    }
    return 0;
}
