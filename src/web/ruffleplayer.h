#pragma once

#include "core/parental/playclock.h"
#include "core/playback/moviecontrol.h"
#include "web/pagerenewal.h"
#include "web/savebridge.h"
#include "webapi/flashplayer.h"

#include <QJsonObject>
#include <QObject>
#include <QPointer>

class QWebEngineView;
class RufflePage;
class RuffleSchemeHandler;
struct PlayerInside;

// The Flash player: the web build of Ruffle in a QWebEngineView, fed by the
// program itself. ActionScript 1/2 movies are rewritten first (see
// swfrewriter.h) so that the frame number, seeking and the stopped state are
// exact (MovieControl decides them); the page, the files it is served and
// the saved games each have a piece of their own, and this joins them.
class RufflePlayer : public QObject, public FlashPlayer
{
    Q_OBJECT

public:
    struct Options
    {
        // Movies are played as they are: not prepared, no frame control.
        bool plain = false;
        // Movies report their trace() lines through `traced`.
        bool tracing = false;
    };

    // `appFolder` holds the runtime in its "ruffle" folder.
    RufflePlayer(const QString &appFolder, QWidget *parent = nullptr);
    RufflePlayer(const QString &appFolder, Options options, QWidget *parent = nullptr);
    ~RufflePlayer() override;

    void setMovie(const QString &movie) override;
    QString movie() const override { return m_movie; }
    int totalFrames() const override { return m_control.totalFrames(); }
    int frameNum() const override { return m_control.frameNum(); }
    bool isPlaying() const override { return m_control.isPlaying(); }
    void play() override { carryOut(m_control.play()); }
    void stop() override { carryOut(m_control.stop()); }
    void goToFrame(int frame) override { carryOut(m_control.goToFrame(frame)); }
    QWidget *widget() override;
    void setMuted(bool muted) override;

    // The runtime has loaded and compiled its code, so that a movie starts
    // without that wait; done by itself once the page has loaded.
    bool isWarm() const { return m_renewal.isWarm(); }
    // The page's renderer's memory in MB; -1 where it cannot be read.
    qint64 rendererMemoryMb() const;

Q_SIGNALS:
    // A frame the movie reported, in the order they were shown.
    void frameShown(int frame);
    // The runtime has the movie and is about to run it; unprepared movies
    // report no frames, but this too.
    void movieLoaded();
    void warmedUp();
    // A line the movie traced; only with Options::tracing.
    void traced(const QString &line);

private:
    friend struct PlayerInside;

    void onPageEvent(const QJsonObject &event);
    void onPageReady();
    bool loadFile(const QString &path, int generation);
    void carryOut(const PageCommands &commands);
    void send(const PageCommand &command);

    RufflePage *m_page = nullptr;
    QPointer<QWebEngineView> m_view;
    RuffleSchemeHandler *m_server = nullptr;
    SystemPlayClock m_clock;
    MovieControl m_control{&m_clock};
    SaveBridge m_saves{SavedGames(SavedGames::defaultRoot())};
    PageRenewal m_renewal;
    Options m_options;
    QString m_movie = EmptyMovie;
    QString m_loadError; // why the last movie set was refused
};
