#include "core/parental/playtimerules.h"

#include "core/base/atomicfile.h"
#include "core/base/textfile.h"
#include "core/parental/playclock.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

qint64 roundedUp(qint64 value, qint64 unit)
{
    return value <= 0 ? 0 : (value + unit - 1) / unit;
}

} // namespace

PlayDay PlayDay::load(const QString &file)
{
    if (file.isEmpty())
        return {};
    const Result<QByteArray> bytes = TextFile::readBytes(file);
    if (!bytes)
        return {};
    PlayDay day;
    for (const QByteArray &line : bytes.value().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = line.mid(equals + 1).trimmed();
        bool number = true;
        if (key == "date")
            day.date = QDate::fromString(QString::fromLatin1(value), Qt::ISODate);
        else if (key == "played")
            day.playedMs = value.toLongLong(&number);
        else if (key == "extra")
            day.extraMs = value.toLongLong(&number);
        if (!number || day.playedMs < 0 || day.extraMs < 0)
            return {};
    }
    return day.date.isValid() ? day : PlayDay{};
}

Result<> PlayDay::save(const QString &file) const
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    const QByteArray bytes = "date=" + date.toString(Qt::ISODate).toLatin1() +
                             "\nplayed=" + QByteArray::number(playedMs) +
                             "\nextra=" + QByteArray::number(extraMs) + '\n';
    return AtomicFile::write(file, bytes);
}

PlayTimeRules::PlayTimeRules(const PlayClock &clock, QString dayFile)
    : m_clock(clock), m_dayFile(std::move(dayFile)), m_day(PlayDay::load(m_dayFile)),
      m_lastMs(clock.elapsedMs())
{
    Step ignored;
    beginDayIfDue(ignored);
}

void PlayTimeRules::setLimits(const PlayLimits &limits)
{
    m_limits = limits;
    // A new limit is announced afresh: its warning, and its end if already
    // reached.
    m_warned = m_limits.dailyMinutes > 0 && leftMs() <= WarnAheadMs;
    m_timeUpTold = false;
    if (m_limits.eyeRestMinutes == 0)
        m_sinceBreakMs = 0;
}

PlayTimeRules::Step PlayTimeRules::update(bool playing)
{
    Step step;
    const qint64 now = m_clock.elapsedMs();
    const qint64 passed = std::max<qint64>(0, now - m_lastMs);
    m_lastMs = now;
    beginDayIfDue(step);
    // The time since the last update counts when the programme played
    // throughout it, as far as the window could tell.
    if (m_breakEndsMs) {
        if (now >= *m_breakEndsMs) {
            m_breakEndsMs.reset();
            step.breakEnded = true;
        }
    } else if (m_playing) {
        count(passed, step);
    }
    const bool paused = m_playing && !playing;
    m_playing = playing;

    if (m_limits.dailyMinutes > 0) {
        const qint64 left = leftMs();
        if (left <= 0 && !m_timeUpTold) {
            m_timeUpTold = true;
            step.timeUp = true;
            // The rest page outlasts any break.
            step.breakStarted = false;
            m_breakEndsMs.reset();
        } else if (left > 0 && left <= WarnAheadMs && !m_warned) {
            m_warned = true;
            step.warned = true;
        }
    }
    if (m_unsavedMs > 0 && (paused || step.timeUp || m_unsavedMs >= SaveEveryMs))
        save();
    return step;
}

void PlayTimeRules::beginDayIfDue(Step &step)
{
    const QDate today = m_clock.today();
    if (!m_day.date.isValid() || m_day.date < today) {
        step.newDay = m_day.date.isValid();
        m_day = PlayDay{today, 0, 0};
        m_warned = false;
        m_timeUpTold = false;
        save();
    } else if (today.daysTo(m_day.date) > 1) {
        // A day kept far ahead of today was written under a wrong clock;
        // waiting for that date would lock the child out for good. The
        // day's play stays counted.
        m_day.date = today;
        save();
    }
}

void PlayTimeRules::count(qint64 ms, Step &step)
{
    m_day.playedMs += ms;
    m_unsavedMs += ms;
    if (m_limits.eyeRestMinutes <= 0)
        return;
    m_sinceBreakMs += ms;
    if (m_sinceBreakMs >= m_limits.eyeRestMinutes * MinuteMs) {
        m_sinceBreakMs = 0;
        m_breakEndsMs = m_clock.elapsedMs() + BreakMs;
        step.breakStarted = true;
    }
}

void PlayTimeRules::addMinutes(int minutes)
{
    m_day.extraMs += minutes * MinuteMs;
    m_warned = false;
    m_timeUpTold = false;
    save();
}

void PlayTimeRules::endBreak()
{
    m_breakEndsMs.reset();
    m_sinceBreakMs = 0;
}

qint64 PlayTimeRules::leftMs() const
{
    return m_limits.dailyMinutes * MinuteMs + m_day.extraMs - m_day.playedMs;
}

bool PlayTimeRules::timeUsedUp() const
{
    return m_limits.dailyMinutes > 0 && leftMs() <= 0;
}

int PlayTimeRules::breakSecondsLeft() const
{
    return m_breakEndsMs ? int(roundedUp(*m_breakEndsMs - m_clock.elapsedMs(), 1000)) : 0;
}

int PlayTimeRules::minutesLeft() const
{
    return m_limits.dailyMinutes > 0 ? int(roundedUp(leftMs(), MinuteMs)) : -1;
}

void PlayTimeRules::save()
{
    m_unsavedMs = 0;
    // Without a limit nothing needs keeping, and nothing is written.
    if (!m_dayFile.isEmpty() && (m_limits.dailyMinutes > 0 || m_limits.eyeRestMinutes > 0))
        if (const Result<> saved = m_day.save(m_dayFile); !saved)
            qWarning().noquote() << "cannot keep the play time in" << m_dayFile << ":"
                                 << saved.error().description();
}
