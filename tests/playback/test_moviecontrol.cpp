// The frame, the play state and the commands of one movie, driven by the
// page's reports and the user's buttons on a clock the test moves.
#include "core/playback/moviecontrol.h"
#include "support/fakeclock.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using Control = swf::FrameControl;

Q_DECLARE_METATYPE(swf::FrameControl)

class TestMovieControl : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void steps_data();
    void steps();
};

namespace {

QString describe(const PageCommand &c)
{
    switch (c.kind) {
    case PageCommand::Suspend:
        return u"suspend"_s;
    case PageCommand::Resume:
        return u"resume"_s;
    case PageCommand::Reload:
        return u"reload"_s;
    case PageCommand::Send:
        break;
    }
    return u"%1:%2%3"_s.arg(c.id).arg(QLatin1Char(c.letter)).arg(c.frame);
}

} // namespace

void TestMovieControl::steps_data()
{
    // A movie of 240 frames at 24 a second. Steps: "frame N" and "loaded"
    // from the page, "ack N" from a polling movie, "wait N" ms, and the
    // user's "play", "stop" and "goto N". Commands are "suspend", "resume",
    // "reload" and "<id>:<letter><frame>" (g jump and play, s jump and stop,
    // p play).
    QTest::addColumn<Control>("control");
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("commands");
    QTest::addColumn<int>("frame");
    QTest::addColumn<bool>("playing");

    const Control ei = Control::ExternalInterface;
    const Control poll = Control::Polling;
    QTest::newRow("loading counts as playing") << ei << "wait 4000"
                                               << "" << 1 << true;
    QTest::newRow("too long without a first frame") << ei << "wait 5200"
                                                    << "" << 1 << false;
    QTest::newRow("frames advance") << ei << "frame 1, frame 2, frame 3"
                                    << "" << 3 << true;
    QTest::newRow("title screen: play before frame 1 sends nothing") << ei << "play, frame 1"
                                                                     << "" << 1 << true;
    QTest::newRow("title screen stays stopped, then play plays on")
        << ei << "frame 1, wait 600, play"
        << "1:p0" << 1 << true;
    QTest::newRow("title screen stopped by itself") << ei << "frame 1, wait 600"
                                                    << "" << 1 << false;
    QTest::newRow("seek before the first frame is sent") << ei << "goto 50"
                                                         << "1:g50" << 1 << true;
    QTest::newRow("seek, then its frame") << ei << "goto 50, frame 50"
                                          << "1:g50" << 50 << true;
    QTest::newRow("pause suspends and keeps the frame") << ei << "frame 1, frame 2, stop, wait 3000"
                                                        << "suspend" << 2 << false;
    QTest::newRow("play after pause resumes and plays the timeline")
        << ei << "frame 1, frame 2, stop, play"
        << "suspend, resume, 1:p0" << 2 << true;
    QTest::newRow("seek while paused shows the frame stopped")
        << ei << "frame 1, stop, goto 30, frame 30, wait 3000"
        << "suspend, resume, 1:s30" << 30 << false;
    QTest::newRow("seek past the end is clamped") << ei << "frame 1, goto 900"
                                                  << "1:g240" << 1 << true;
    QTest::newRow("seek below the start is clamped") << ei << "frame 9, goto -3"
                                                     << "1:g1" << 9 << true;
    QTest::newRow("play-all: an ended movie is played again") << ei << "frame 240, wait 2000, play"
                                                              << "1:p0" << 240 << true;
    QTest::newRow("polling: play keeps a jump not yet run") << poll << "frame 1, goto 80, play"
                                                            << "1:g80, 2:g80" << 1 << true;
    QTest::newRow("polling: once the jump ran, play is plain")
        << poll << "frame 1, goto 80, ack 1, frame 80, play"
        << "1:g80, 2:p0" << 80 << true;
    QTest::newRow("report only: a seek does nothing") << Control::ReportOnly << "frame 5, goto 100"
                                                      << "" << 5 << true;
    QTest::newRow("repeat-one without control reloads")
        << Control::None << "loaded, wait 1000, goto 1"
        << "reload" << 25 << true;
    QTest::newRow("estimate: 24 frames a second while running")
        << Control::None << "loaded, wait 2000"
        << "" << 49 << true;
    QTest::newRow("estimate: a pause holds it")
        << Control::None << "loaded, wait 1000, stop, wait 5000"
        << "suspend" << 25 << false;
    QTest::newRow("estimate: wraps at the last frame") << Control::None << "loaded, wait 10000"
                                                       << "" << 1 << true;
    QTest::newRow("estimate: the clock starts when the movie has loaded")
        << Control::None << "wait 3000, loaded, wait 500"
        << "" << 13 << true;
}

void TestMovieControl::steps()
{
    QFETCH(Control, control);
    QFETCH(QString, steps);
    QFETCH(QString, commands);
    QFETCH(int, frame);
    QFETCH(bool, playing);

    FakeClock clock;
    MovieControl movie(&clock);
    movie.start(240, 24, control);
    QStringList sent;
    const auto record = [&sent](const PageCommands &out) {
        for (const PageCommand &c : out)
            sent.append(describe(c));
    };
    for (const QString &step : steps.split(u", "_s, Qt::SkipEmptyParts)) {
        const QString verb = step.section(u' ', 0, 0);
        const int n = step.section(u' ', 1).toInt();
        if (verb == u"frame")
            movie.frameShown(n);
        else if (verb == u"loaded")
            movie.loaded();
        else if (verb == u"ack")
            movie.acknowledged(n);
        else if (verb == u"wait")
            clock.ms += n;
        else if (verb == u"play")
            record(movie.play());
        else if (verb == u"stop")
            record(movie.stop());
        else if (verb == u"goto")
            record(movie.goToFrame(n));
        else
            QFAIL(qPrintable(step));
    }
    QCOMPARE(sent.join(u", "_s), commands);
    QCOMPARE(movie.frameNum(), frame);
    QCOMPARE(movie.isPlaying(), playing);
}

QTEST_GUILESS_MAIN(TestMovieControl)

#include "test_moviecontrol.moc"
