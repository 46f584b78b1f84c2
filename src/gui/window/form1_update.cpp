#include "core/update/updatecheck.h"
#include "gui/window/form1.h"

#include <QCoreApplication>

// Once per run, from Timer1's 600th tick. Nothing is shown at any step; when
// the updater of a new release has started, the program ends so that it can
// do its work.
void Form1::CheckForUpdate()
{
    // An installed program is brought up to date by the package manager.
    if (m_settings.installedMode || !m_services.processes || findChild<UpdateCheck *>())
        return;
    auto *check = new UpdateCheck(m_paths, m_settings.downloadServer, m_settings.rangeWaitMs,
                                  *m_services.processes, this);
    connect(check, &UpdateCheck::finished, this, [this, check](UpdateCheck::Result result) {
        check->deleteLater();
        if (result != UpdateCheck::Result::UpdaterStarted)
            return;
        // List files are written whole within one event, so leaving the
        // event loops here cannot cut one off; a programme download under
        // way is dropped as it is when the window is closed.
        close();
        QCoreApplication::exit(0);
    });
    check->start();
}
