#include "playertestbench.h"

#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

// Which of the seven segments a..g are lit, as the writer draws the digits.
int digitFromSegments(int lit)
{
    static const int patterns[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    for (int d = 0; d < 10; ++d)
        if (patterns[d] == lit)
            return d;
    return -1;
}

} // namespace

PlayerTestBench::PlayerTestBench()
{
    m_window.resize(480, 360);
    m_player = new RufflePlayer(qEnvironmentVariable("QORVEL_APP_DIR"), &m_window);
    m_player->widget()->setGeometry(0, 0, 480, 360);
    m_window.show();
    if (!QTest::qWaitForWindowExposed(&m_window))
        qFatal("the player window was not shown");
}

PlayerTestBench::~PlayerTestBench()
{
    delete m_player;
}

QString PlayerTestBench::write(const QString &name, const TestMovieOptions &options)
{
    const QString file = m_dir.filePath(name);
    if (!writeTestMovie(file, options))
        qFatal("cannot write %s", qPrintable(file));
    return file;
}

bool PlayerTestBench::start(const QString &file, int frame)
{
    m_player->setMovie(FlashPlayer::EmptyMovie);
    m_player->setMovie(file);
    // The first movie also waits for the runtime to compile.
    return QTest::qWaitFor([&] { return m_player->frameNum() >= frame; }, 60000);
}

int PlayerTestBench::frameOnScreen()
{
    const QImage image = m_player->widget()->grab().toImage();
    // Segment centres in a 30 by 50 cell; cells start 16 + 40 i from the
    // left, 80 pixels above the bottom of the 480 by 360 stage.
    static const QPoint centres[7] = {{15, 3}, {27, 12}, {27, 37}, {15, 47},
                                      {3, 37}, {3, 12},  {15, 25}};
    int number = 0;
    for (int i = 0; i < 4; ++i) {
        int lit = 0;
        for (int s = 0; s < 7; ++s) {
            const QPoint at = QPoint(16 + 40 * i, 360 - 80) + centres[s];
            if (qGray(image.pixel(at)) > 200)
                lit |= 1 << s;
        }
        const int digit = digitFromSegments(lit);
        if (digit < 0)
            return -1;
        number = number * 10 + digit;
    }
    return number;
}

QVariant PlayerTestBench::evaluate(const QString &script)
{
    auto *view = qobject_cast<QWebEngineView *>(m_player->widget());
    // The answer may come after we gave up waiting: it must not land on our
    // stack then.
    auto answer = std::make_shared<std::optional<QVariant>>();
    view->page()->runJavaScript(script, [answer](const QVariant &v) { *answer = v; });
    static_cast<void>(QTest::qWaitFor([&] { return answer->has_value(); }, 30000));
    return answer->value_or(QVariant());
}

bool PlayerTestBench::waitUntilPaused()
{
    return QTest::qWaitFor(
        [this] { return evaluate(QStringLiteral("!!qv.api && qv.api.suspended")).toBool(); },
        30000);
}

QList<int> nextFrames(QSignalSpy &spy, int count)
{
    spy.clear();
    static_cast<void>(QTest::qWaitFor([&] { return spy.size() >= count; }, 60000));
    return framesSeen(spy);
}

QList<int> framesSeen(const QSignalSpy &spy)
{
    QList<int> out;
    for (const QList<QVariant> &args : spy)
        out.append(args.at(0).toInt());
    return out;
}
