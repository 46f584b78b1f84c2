// Plays conformance movies through the player's own loading road (prepared
// for frame control, served by our scheme, in our page) and as they are, in
// the same page, and compares their trace() lines. See README.md.
#include "core/swf/swfreader.h"
#include "gui/webhost/webpartshost.h"
#include "support/playerinside.h"
#include "web/engineenvironment.h"
#include "web/ruffleplayer.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace {

// Caps that only a fault reaches: a movie that never starts, or one whose
// run never ends. A run waits for what the movie does, not for a guessed time.
constexpr int StartCapMs = 60000;
constexpr int RunCapMs = 120000;
// Long enough for a polling movie to ask for commands several times.
constexpr qint64 MinPlayMs = 500;
// A movie that has traced nothing for this long, past its stated frames'
// time, and either ran past its stated frames or stopped, has ended (a load
// error, say, comes late on a busy machine). Trace lines and frame reports
// travel apart, so a frame seen says nothing of the lines before it.
constexpr qint64 QuietMs = 8000;

struct Movie
{
    QString name;
    QString dir;
    int frames = 1;
    bool knownFailure = false;
    double rate = 24;
    QStringList expected;
};

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QStringList toLines(QString text)
{
    text.remove(u'\r');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

Movie describeMovie(const QString &corpus, const QString &name)
{
    Movie m;
    m.name = name;
    m.dir = QDir(corpus).filePath(name);
    const QString toml = readText(m.dir + QStringLiteral("/test.toml"));
    static const QRegularExpression count(QStringLiteral("^num_(?:frames|ticks)\\s*=\\s*(\\d+)"),
                                          QRegularExpression::MultilineOption);
    if (const auto match = count.match(toml); match.hasMatch())
        m.frames = match.captured(1).toInt();
    m.knownFailure =
        toml.contains(QRegularExpression(QStringLiteral("known_failure\\s*=\\s*true")));
    QFile swfFile(m.dir + QStringLiteral("/test.swf"));
    if (swfFile.open(QIODevice::ReadOnly)) {
        const swf::ReadResult r = swf::read(swfFile.readAll());
        if (r.ok() && r.movie.frameRate > 0)
            m.rate = r.movie.frameRate;
    }
    m.expected = toLines(readText(m.dir + QStringLiteral("/output.txt")));
    return m;
}

bool beginsWith(const QStringList &lines, const QStringList &prefix)
{
    return lines.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), lines.begin());
}

// The two runs agree as far as both went.
bool agree(const QStringList &a, const QStringList &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    return std::equal(a.begin(), a.begin() + n, b.begin());
}

// The clock of a run starts when the movie runs: its first reported frame,
// the runtime's load event (an unprepared movie reports no frames) or its
// first trace. A run ends once the expected lines are there; otherwise once
// its stated frames' time has passed, it has traced nothing for a while, and
// it has reported more frames than stated or reports none any more.
QStringList play(RufflePlayer &player, const Movie &m, bool plain)
{
    QStringList lines;
    int frames = 0;
    QElapsedTimer sinceStart, sinceTrace, sinceFrame;
    const auto activity = [&](QElapsedTimer *clock) {
        if (!sinceStart.isValid()) {
            sinceStart.start();
            sinceTrace.start();
            sinceFrame.start();
        }
        if (clock)
            clock->restart();
    };
    PlayerInside::setPlain(player, plain);
    const QList<QMetaObject::Connection> connections{
        QObject::connect(&player, &RufflePlayer::traced,
                         [&](const QString &line) {
                             lines += line.split(u'\n');
                             activity(&sinceTrace);
                         }),
        QObject::connect(&player, &RufflePlayer::frameShown,
                         [&] {
                             ++frames;
                             activity(&sinceFrame);
                         }),
        QObject::connect(&player, &RufflePlayer::movieLoaded, [&] { activity(nullptr); })};
    player.setMovie(m.dir + QStringLiteral("/test.swf"));
    const qint64 frameTime = qint64(m.frames * 1000 / m.rate * 1.25);
    const auto ended = [&] {
        if (lines.size() > m.expected.size() + 20)
            return true;
        if (!sinceStart.isValid())
            return false;
        const qint64 ran = sinceStart.elapsed();
        if (!m.expected.isEmpty() && lines.size() >= m.expected.size())
            return ran >= MinPlayMs;
        return ran >= std::max(MinPlayMs, frameTime) && sinceTrace.elapsed() >= QuietMs &&
               (frames > m.frames || sinceFrame.elapsed() >= QuietMs);
    };
    if (!QTest::qWaitFor([&] { return sinceStart.isValid(); }, StartCapMs))
        lines += QStringLiteral("<the movie did not start within %1 s>").arg(StartCapMs / 1000);
    else if (!QTest::qWaitFor(ended, RunCapMs))
        lines += QStringLiteral("<the run did not end within %1 s>").arg(RunCapMs / 1000);
    for (const auto &c : connections)
        QObject::disconnect(c);
    player.setMovie(FlashPlayer::EmptyMovie);
    return lines;
}

QString firstDifference(const QStringList &a, const QStringList &b)
{
    qsizetype i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return QStringLiteral("line %1: \"%2\" / \"%3\"")
        .arg(i + 1)
        .arg(a.value(i, QStringLiteral("<end>")), b.value(i, QStringLiteral("<end>")));
}

int usage()
{
    std::fputs("usage: conformance_runner (--all | --list FILE) [--corpus DIR] [--out FILE]\n"
               "                          [--prepared-only]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    // The web engine in the mode the program uses.
    prepareBeforeApplication();
    EngineEnvironment::prepare();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    auto option = [&](const char *name) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i > 0 && i + 1 < args.size() ? args[i + 1] : QString();
    };
    QString corpus = option("--corpus");
    if (corpus.isEmpty())
        corpus = qEnvironmentVariable("QORVEL_CONFORMANCE_DIR");
    if (corpus.isEmpty())
        corpus = QStringLiteral(QORVEL_SOURCE_DIR "/../shared/swf-conformance");
    corpus = QDir(corpus).filePath(QStringLiteral("avm1"));
    if (!QFileInfo(corpus).isDir()) {
        std::fprintf(stderr,
                     "conformance corpus not found at %s: give --corpus DIR or set "
                     "QORVEL_CONFORMANCE_DIR\n",
                     qPrintable(corpus));
        return 2;
    }
    QStringList names;
    if (args.contains(QLatin1String("--all"))) {
        for (const QString &n : QDir(corpus).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (QFile::exists(QDir(corpus).filePath(n + QStringLiteral("/test.swf"))))
                names += n;
    } else if (const QString list = option("--list"); !list.isEmpty()) {
        for (const QString &line : toLines(readText(list)))
            if (!line.trimmed().isEmpty() && !line.startsWith(u'#'))
                names += line.trimmed();
        // A listed folder without a movie would pass with nothing traced.
        for (const QString &n : std::as_const(names)) {
            if (!QFile::exists(QDir(corpus).filePath(n + QStringLiteral("/test.swf")))) {
                std::fprintf(stderr, "no test.swf in %s\n", qPrintable(n));
                return 2;
            }
        }
        if (names.isEmpty()) {
            std::fprintf(stderr, "no movies listed in %s\n", qPrintable(list));
            return 2;
        }
    } else {
        return usage();
    }
    const bool preparedOnly = args.contains(QLatin1String("--prepared-only"));
    QString outPath = option("--out");
    if (outPath.isEmpty())
        outPath = QStringLiteral("conformance-results.tsv");
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(outPath));
        return 2;
    }
    out.write("movie\tknown_failure\tplain\tprepared\tverdict\n");

    QString appDir = qEnvironmentVariable("QORVEL_APP_DIR");
    if (appDir.isEmpty())
        appDir = QStringLiteral(QORVEL_APP_DIR);
    QWidget window;
    window.resize(480, 360);
    RufflePlayer::Options options;
    options.tracing = true;
    RufflePlayer player(appDir, options, &window);
    player.widget()->setGeometry(0, 0, 480, 360);
    window.show();
    if (!QTest::qWaitFor([&] { return player.isWarm(); }, StartCapMs)) {
        std::fprintf(stderr, "the Flash runtime did not start within %d s\n", StartCapMs / 1000);
        return 2;
    }

    int plainPassed = 0, matched = 0, preparedFailed = 0;
    QStringList differences;
    for (const QString &name : names) {
        const Movie m = describeMovie(corpus, name);
        const QStringList prepared = play(player, m, false);
        const bool preparedOk = beginsWith(prepared, m.expected);
        QString plainCell = QStringLiteral("-"), verdict;
        if (preparedOnly) {
            verdict = preparedOk ? QStringLiteral("pass")
                                 : QStringLiteral("FAIL ") + firstDifference(prepared, m.expected);
            preparedFailed += preparedOk ? 0 : 1;
            if (!preparedOk)
                differences += name + QStringLiteral(": ") + verdict;
        } else {
            const QStringList plain = play(player, m, true);
            const bool plainOk = beginsWith(plain, m.expected);
            plainCell = plainOk ? QStringLiteral("pass") : QStringLiteral("fail");
            plainPassed += plainOk ? 1 : 0;
            const bool same = agree(plain, prepared) && (preparedOk || !plainOk);
            if (plainOk && same)
                ++matched;
            verdict = same ? QStringLiteral("same")
                           : QStringLiteral("DIFFERENT ") + firstDifference(plain, prepared);
            if (!same)
                differences += name + QStringLiteral(": ") + verdict;
        }
        const QString row =
            QStringList{name, m.knownFailure ? QStringLiteral("yes") : QString(), plainCell,
                        preparedOk ? QStringLiteral("pass") : QStringLiteral("fail"), verdict}
                .join(u'\t');
        out.write(row.toUtf8() + '\n');
        out.flush();
        std::printf("%s\n", qPrintable(row));
        std::fflush(stdout);
    }

    std::printf("\n%lld movies\n", static_cast<long long>(names.size()));
    if (preparedOnly) {
        std::printf("prepared runs passing: %lld of %lld\n",
                    static_cast<long long>(names.size() - preparedFailed),
                    static_cast<long long>(names.size()));
    } else {
        std::printf("unprepared runs passing: %d\n", plainPassed);
        std::printf("of those, prepared runs matching: %d (%.1f %%)\n", matched,
                    plainPassed ? 100.0 * matched / plainPassed : 0.0);
    }
    for (const QString &d : differences)
        std::printf("  %s\n", qPrintable(d));
    std::printf("results written to %s\n", qPrintable(outPath));
    return differences.isEmpty() ? 0 : 1;
}
