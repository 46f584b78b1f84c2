// How fast a programme comes down from Debian's nginx on loopback: the range
// transfer alone, with its file handling, and from a click in the window, each
// next to the least a client can do over one keep-alive connection in the same
// run. Also how long the window's event loop was held up while it happened.
// With --latency-ms, the same through a proxy that delays each direction, next
// to one plain GET of the whole file through it: a home line's round trip.
#include "core/download/rangetransfer.h"
#include "core/download/resumabledownload.h"
#include "core/download/server.h"
#include "latencyproxy.h"
#include "minimalclient.h"
#include "support/downloadinside.h"
#include "support/nginxserver.h"
#include "windowrun.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <random>

namespace {

const QString Key = QStringLiteral("h4icd2");
const QString Name = QStringLiteral("bench");

// Incompressible, so that nothing on the way can make it cheaper.
QByteArray randomBytes(qint64 size)
{
    std::mt19937 generator(20261208);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = char(generator() & 0xff);
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// A failed run ends the benchmark: a fast wrong answer is no result.
[[noreturn]] void fail(const char *what, const QString &why)
{
    std::fprintf(stderr, "%s failed: %s\n", what, qPrintable(why));
    std::exit(1);
}

// The yardstick client: the chain of ranges, or one plain GET of the whole
// file (what a browser would take on a slow line).
double minimalRun(quint16 port, const QByteArray &path, const QByteArray &expected,
                  bool wholeFile = false)
{
    MinimalClient client(port);
    QElapsedTimer clock;
    clock.start();
    const QByteArray data = wholeFile ? client.fetchWhole(path) : client.fetch(path);
    const double ms = msSince(clock);
    if (data != expected)
        fail(wholeFile ? "whole-file GET" : "minimal client",
             client.error().isEmpty() ? QStringLiteral("wrong bytes") : client.error());
    return ms;
}

// The same chain through Qt's network layer with nothing of ours on top: the
// floor for anything built on QNetworkAccessManager.
double bareNetworkRun(QNetworkAccessManager &network, const QUrl &url, const QByteArray &expected)
{
    QNetworkRequest request(url);
    request.setRawHeader("Accept-Encoding", "identity");
    QByteArray data;
    QEventLoop loop;
    std::function<void(qint64)> next = [&](qint64 start) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(start) + '-' +
                                          QByteArray::number(start + Server::RangeStep));
        QNetworkReply *reply = network.get(request);
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&, reply, start] {
            reply->deleteLater();
            const QByteArray range = reply->header(QNetworkRequest::ContentLengthHeader).isValid()
                                         ? reply->rawHeader("Content-Range")
                                         : QByteArray();
            data.truncate(start);
            data.append(reply->readAll());
            const qsizetype slash = range.indexOf('/');
            if (reply->error() != QNetworkReply::NoError || slash < 0 ||
                data.size() >= range.mid(slash + 1).toLongLong())
                loop.quit();
            else
                next(start + Server::RangeStep);
        });
    };
    QElapsedTimer clock;
    clock.start();
    next(0);
    loop.exec();
    const double ms = msSince(clock);
    if (data != expected)
        fail("bare QNetworkAccessManager", QStringLiteral("wrong bytes"));
    return ms;
}

double rangeTransferRun(const QUrl &url, const QByteArray &expected, int rangesInFlight)
{
    RangeTransfer transfer(url, {24000, RangeTransfer::DefaultMaxTotal, rangesInFlight});
    QEventLoop loop;
    QObject::connect(&transfer, &RangeTransfer::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    transfer.start();
    loop.exec();
    const double ms = msSince(clock);
    if (TransferInside::outcome(transfer) != TransferOutcome::Completed ||
        transfer.takeData() != expected)
        fail("RangeTransfer",
             QStringLiteral("status %1").arg(TransferInside::lastStatus(transfer)));
    return ms;
}

double resumableRun(const QUrl &url, const QByteArray &expected)
{
    QTemporaryDir dir;
    const QString final = dir.filePath(QStringLiteral("final.swf"));
    QEventLoop loop;
    QObject context;
    TransferOutcome outcome = TransferOutcome::Aborted;
    double ms = 0;
    QElapsedTimer clock;
    clock.start();
    downloadWithResume(24000, url, dir.filePath(QStringLiteral("temp.swf")), final, &context,
                       [&](TransferOutcome o) {
                           ms = msSince(clock);
                           outcome = o;
                           loop.quit();
                       });
    loop.exec();
    QFile file(final);
    if (outcome != TransferOutcome::Completed || !file.open(QIODevice::ReadOnly) ||
        file.readAll() != expected)
        fail("DownloadWithResume", QStringLiteral("outcome %1").arg(int(outcome)));
    return ms;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Row
{
    Row(const char *l, std::function<double()> r) : label(l), run(std::move(r)) {}

    const char *label;
    std::function<double()> run;
    QList<double> ms = {};
};

void printTable(const std::vector<Row> &rows, const QString &title, int runs, double mib)
{
    std::printf("%s, median of %d runs, same run\n", qPrintable(title), runs);
    std::printf("%-36s %10s %10s %10s %10s\n", "", "median ms", "min ms", "MiB/s", "vs first");
    const double reference = median(rows.front().ms);
    for (const Row &row : rows) {
        const double m = median(row.ms);
        std::printf("%-36s %10.1f %10.1f %10.1f %10.2f\n", row.label, m,
                    *std::min_element(row.ms.begin(), row.ms.end()), mib / (m / 1000),
                    reference / m);
    }
}

// One warm-up of each, then rounds in turn, so that whatever the machine
// does meanwhile falls on all of them alike.
void runRounds(std::vector<Row> &rows, int runs, const std::function<void()> &afterWarmUp)
{
    for (int round = -1; round < runs; ++round) {
        for (Row &row : rows) {
            const double ms = row.run();
            if (round >= 0)
                row.ms.append(ms);
        }
        if (round < 0)
            afterWarmUp();
    }
}

int intOption(const QStringList &args, const QString &name, int fallback)
{
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1].toInt() : fallback;
}

struct Bench
{
    QUrl url;        // the programme on nginx
    QByteArray path; // its path, encoded
    QByteArray expected;
    int runs = 7;
};

void onLoopback(const Bench &b, quint16 port, const QString &base)
{
    QNetworkAccessManager network;
    QList<double> blocked;
    QList<double> afterLastRange; // saving, playing, recording the history
    auto window = [&](bool probe) {
        const WindowRun w = clickAndDownload(base, Name, b.expected, probe);
        if (!w.error.isEmpty())
            fail("window", w.error);
        (probe ? blocked : afterLastRange).append(probe ? w.longestBlockMs : w.ms - w.lastRangeMs);
        return w.ms;
    };
    std::vector<Row> rows{
        {"minimal keep-alive client", [&] { return minimalRun(port, b.path, b.expected); }},
        {"bare QNetworkAccessManager chain",
         [&] { return bareNetworkRun(network, b.url, b.expected); }},
        {"RangeTransfer, one range at a time",
         [&] { return rangeTransferRun(b.url, b.expected, 1); }},
        {"RangeTransfer",
         [&] { return rangeTransferRun(b.url, b.expected, RangeTransfer::DefaultRangesInFlight); }},
        {"DownloadWithResume", [&] { return resumableRun(b.url, b.expected); }},
        {"window: click to \"  name\"", [&] { return window(false); }},
        {"window with the 1 ms loop probe", [&] { return window(true); }},
    };
    runRounds(rows, b.runs, [&] {
        blocked.clear();
        afterLastRange.clear();
    });
    const double mib = double(b.expected.size()) / (1 << 20);
    printTable(rows, QStringLiteral("%1 MiB from nginx on loopback").arg(mib), b.runs, mib);
    std::printf("window: from the last progress step to the name in the row: median %.1f ms\n",
                median(afterLastRange));
    std::printf("longest event-loop block during a window download: median %.1f ms, max %.1f ms\n",
                median(blocked), *std::max_element(blocked.begin(), blocked.end()));
}

void throughProxy(const Bench &b, quint16 nginxPort, int delayMs, int rateMbit)
{
    LatencyProxy proxy(nginxPort, delayMs, qint64(rateMbit) * 1'000'000 / 8);
    if (!proxy.start())
        fail("proxy", QStringLiteral("cannot listen"));
    QUrl url = b.url;
    url.setPort(proxy.port());
    const QString base = QStringLiteral("http://127.0.0.1:%1/").arg(proxy.port());
    std::vector<Row> rows{
        {"one whole-file GET", [&] { return minimalRun(proxy.port(), b.path, b.expected, true); }},
        {"RangeTransfer, one range at a time",
         [&] { return rangeTransferRun(url, b.expected, 1); }},
        {"RangeTransfer",
         [&] { return rangeTransferRun(url, b.expected, RangeTransfer::DefaultRangesInFlight); }},
        {"window: click to \"  name\"",
         [&] {
             const WindowRun w = clickAndDownload(base, Name, b.expected, false);
             if (!w.error.isEmpty())
                 fail("window", w.error);
             return w.ms;
         }},
    };
    runRounds(rows, b.runs, [] {});
    const QString line = rateMbit > 0 ? QStringLiteral(", %1 Mbit/s").arg(rateMbit) : QString();
    const double mib = double(b.expected.size()) / (1 << 20);
    printTable(rows,
               QStringLiteral("%1 MiB from nginx through a proxy of %2 ms each way%3")
                   .arg(mib)
                   .arg(delayMs)
                   .arg(line),
               b.runs, mib);
}

} // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int delayMs = intOption(args, QStringLiteral("--latency-ms"), 0);
    const int rateMbit = intOption(args, QStringLiteral("--rate-mbit"), 0);
    Bench b;
    // A chain one range at a time through the proxy takes seconds per run.
    b.runs = std::max(1, intOption(args, QStringLiteral("--runs"), delayMs > 0 ? 3 : 7));
    const qint64 bytes = qint64(std::max(1, intOption(args, QStringLiteral("--mib"), 10))) << 20;

    QTemporaryDir root;
    b.expected = randomBytes(bytes);
    const QString relative = Key + QStringLiteral("/flash/") + Name + QStringLiteral(".swf");
    if (!writeFile(root.filePath(relative), b.expected))
        fail("setup", QStringLiteral("cannot write the programme"));
    NginxServer nginx;
    if (!nginx.start(root.path()))
        fail("nginx", nginx.errorText());
    b.url = nginx.url(relative);
    b.path = b.url.path(QUrl::FullyEncoded).toUtf8();
    if (delayMs > 0)
        throughProxy(b, nginx.port(), delayMs, rateMbit);
    else
        onLoopback(b, nginx.port(), nginx.baseUrl());
    return 0;
}
