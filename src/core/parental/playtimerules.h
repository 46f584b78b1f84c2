#pragma once

#include "core/base/result.h"

#include <QDate>
#include <QString>

#include <optional>

class PlayClock;

// What a parent allows: minutes of play a day and minutes of play between
// two eye rests, 0 for no limit.
struct PlayLimits
{
    int dailyMinutes = 0;
    int eyeRestMinutes = 0;
};

// One day's play as it is kept on disk, so that neither closing the program
// nor killing it gives the child time back.
struct PlayDay
{
    QDate date;
    qint64 playedMs = 0;
    qint64 extraMs = 0; // time a parent added on this day

    // A missing or unreadable file is a day without play.
    static PlayDay load(const QString &file);
    // Through the checked writer; the failure gives the system's reason.
    Result<> save(const QString &file) const;
};

// Decides how long the child may still play today and when to rest the
// eyes. The window calls update() on every tick, saying whether a programme
// is playing; only that time counts. Each step says what has just happened.
class PlayTimeRules
{
public:
    static constexpr qint64 MinuteMs = 60 * 1000;
    static constexpr qint64 WarnAheadMs = 5 * MinuteMs;
    static constexpr qint64 BreakMs = MinuteMs;
    // Play is written down at least this often, and at every pause.
    static constexpr qint64 SaveEveryMs = 30 * 1000;

    struct Step
    {
        bool warned = false;       // a few minutes are left
        bool timeUp = false;       // nothing more today: pause
        bool newDay = false;       // a new day began
        bool breakStarted = false; // pause and rest the eyes
        bool breakEnded = false;   // play on
    };

    // Goes on from the day kept in `dayFile` (none: nothing is kept).
    PlayTimeRules(const PlayClock &clock, QString dayFile);

    void setLimits(const PlayLimits &limits);

    Step update(bool playing);

    // A parent passed the gate: more time today, or the break ends now.
    void addMinutes(int minutes);
    void endBreak();

    const PlayDay &day() const { return m_day; }
    bool timeUsedUp() const;
    bool onBreak() const { return m_breakEndsMs.has_value(); }
    // Whole seconds, rounded up, until the break is over.
    int breakSecondsLeft() const;
    // Whole minutes, rounded up, left today; -1 without a daily limit.
    int minutesLeft() const;

private:
    qint64 leftMs() const;
    void beginDayIfDue(Step &step);
    void count(qint64 ms, Step &step);
    void save();

    const PlayClock &m_clock;
    QString m_dayFile;
    PlayLimits m_limits;
    PlayDay m_day;
    qint64 m_lastMs = 0;
    qint64 m_unsavedMs = 0;
    qint64 m_sinceBreakMs = 0;
    std::optional<qint64> m_breakEndsMs;
    bool m_playing = false;
    bool m_warned = false;
    bool m_timeUpTold = false;
};
