#include "gui/window/updateschedule.h"

#include "core/update/updatecheck.h"

namespace {
// Ticks of 500 ms in five minutes.
constexpr int UpdateCheckTick = 600;
} // namespace

UpdateSchedule::UpdateSchedule(Settings settings, ProcessStarter *processes, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_processes(processes)
{
}

void UpdateSchedule::onTick()
{
    ++m_ticks;
    if (m_ticks == UpdateCheckTick)
        check();
}

void UpdateSchedule::check()
{
    if (m_settings.installedMode || !m_processes || m_checking)
        return;
    m_checking = true;
    auto *check = new UpdateCheck(m_settings.paths, m_settings.server, m_settings.rangeWaitMs,
                                  *m_processes, this);
    connect(check, &UpdateCheck::finished, this, [this, check](UpdateCheck::Result result) {
        check->deleteLater();
        m_checking = false;
        if (result == UpdateCheck::Result::UpdaterStarted)
            Q_EMIT updaterStarted();
    });
    check->start();
}
