#include "web/pagerenewal.h"

#include <QFile>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcRenewal, "qorvel.player", QtWarningMsg)
}

void PageRenewal::warmedUp()
{
    m_warm = true;
    if (m_warmMb < 0)
        m_warmMb = m_memory();
}

bool PageRenewal::pageSpent(bool pageLoaded)
{
    // The old page's memory goes only once the engine has collected it:
    // a few movies pass before the next look, or every movie would get a
    // fresh page while that is under way.
    if (++m_moviesOnPage < 3 || !pageLoaded)
        return false;
    const qint64 now = m_memory();
    if (m_warmMb < 0) // movies came before the warm-up: from now on
        m_warmMb = now;
    if (now < 0 || now - m_warmMb <= GrowthLimitMb)
        return false;
    qCInfo(lcRenewal) << "renderer grew from" << m_warmMb << "to" << now
                      << "MB: loading a fresh player page";
    m_moviesOnPage = 0;
    return true;
}

qint64 PageRenewal::anonymousMemoryMb(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (pid <= 0 || !rollup.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Pss_Anon:"))
            return line.mid(9).trimmed().split(' ').value(0).toLongLong() / 1024;
    }
    return -1;
}
