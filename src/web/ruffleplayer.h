#pragma once

#include "core/lists/savedgames.h"
#include "core/swf/swfrewriter.h"
#include "gui/webhost/flashplayer.h"
#include "web/ruffleschemehandler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

class QWebEngineProfile;
class QWebEngineView;
class RufflePage;

// The Flash player: the web build of Ruffle in a QWebEngineView, fed by the
// program itself. ActionScript 1/2 movies are rewritten first (see
// swfrewriter.h) so that the frame number, seeking and the stopped state are
// exact; for ActionScript 3 movies the frame number is estimated from the
// frame rate and the time played.
class RufflePlayer : public QObject, public FlashPlayer
{
    Q_OBJECT

public:
    // Must run before the web engine starts (in a program that links it, before
    // the QApplication is made): registers the URL scheme and, when running
    // as root, turns off Chromium's sandbox.
    static void initializeBeforeEngine();

    // `appFolder` holds the runtime in its "ruffle" folder.
    RufflePlayer(const QString &appFolder, QWidget *parent = nullptr);
    ~RufflePlayer() override;

    void setMovie(const QString &movie) override;
    QString movie() const override { return m_movie; }
    int totalFrames() const override { return m_totalFrames; }
    int frameNum() const override;
    bool isPlaying() const override;
    void play() override;
    void stop() override;
    void goToFrame(int frame) override;
    QWidget *widget() override;
    void setMuted(bool muted) override;

    // The runtime has loaded and compiled its code, so that a movie starts
    // without that wait; done by itself once the page has loaded.
    bool isWarm() const { return m_warm; }
    // Why the last movie set was refused; empty when it loaded.
    QString loadError() const { return m_loadError; }
    swf::FrameControl frameControl() const { return m_control; }
    // The runtime never gives WebAssembly memory back while its page lives:
    // once the page's renderer has grown by more than this since the
    // runtime warmed up, the next movie is loaded into a fresh page.
    static constexpr qint64 PageGrowthLimitMb = 32;
    // The renderer's anonymous memory in MB; -1 where it cannot be read.
    qint64 rendererMemoryMb() const;
    // For the conformance runner: movies set from now on are played as they
    // are (not prepared, no frame control), and report their trace() lines.
    void setPlainForTesting(bool plain) { m_plain = plain; }
    void setTracingForTesting(bool tracing) { m_tracing = tracing; }

Q_SIGNALS:
    // A frame the movie reported, in the order they were shown.
    void frameShown(int frame);
    // The runtime has the movie and is about to run it; unprepared movies
    // report no frames, but this too.
    void movieLoaded();
    void warmedUp();
    // A line the movie traced; only with setTracingForTesting.
    void traced(const QString &line);

private:
    void onPageEvent(int generation, const QString &kind, const QString &value);
    void onPageLoaded(bool ok);
    // The saves handed to the page with a movie, as a script value.
    QString savedGamesOf(const QString &path);
    void onSaveEvent(const QString &kind, const QString &value);
    void runScript(const QString &script);
    void freshPageIfGrown();
    bool loadFile(const QString &path);
    void sendCommand(char command, int frame);
    void restart();
    void resetState();
    bool hasMovie() const;
    void suspend(bool suspended);
    int estimatedFrame() const;
    qint64 stallLimitMs() const;

    QWebEngineProfile *m_profile = nullptr;
    RufflePage *m_page = nullptr;
    QPointer<QWebEngineView> m_view;
    RuffleContent m_content;
    bool m_pageReady = false;
    bool m_warm = false;
    qint64 m_warmMemoryMb = -1; // the renderer's memory once the runtime was warm
    int m_moviesOnPage = 0;
    bool m_plain = false;
    bool m_tracing = false;
    QStringList m_pendingScripts;
    SavedGames m_saves{SavedGames::defaultRoot()};
    QSet<QString> m_savingProgrammes; // programmes whose saves the page may change

    QString m_movie = EmptyMovie;
    QString m_loadError;
    int m_totalFrames = 0;
    double m_frameRate = 0;
    swf::FrameControl m_control = swf::FrameControl::None;
    int m_frame = 0;
    bool m_started = false;          // the movie has reported a frame
    bool m_suspended = false;        // stop: the whole player is paused
    bool m_stoppedByCommand = false; // the timeline was told to stop
    int m_commandId = 0;
    char m_command = 0; // the last command sent, and its frame
    int m_commandFrame = 0;
    QElapsedTimer m_sinceProgress; // since the last frame or command
    qint64 m_graceMs = 0;          // how long Playing trusts a command
    qint64 m_playedMs = 0;         // ActionScript 3: time played before m_runClock
    QElapsedTimer m_runClock;      // ActionScript 3: running while playing
    bool m_runStarted = false;     // ActionScript 3: the movie has loaded
};
