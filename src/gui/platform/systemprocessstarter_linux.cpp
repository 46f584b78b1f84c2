#include "gui/platform/systemprocessstarter.h"

#include <QFile>
#include <QProcess>

bool SystemProcessStarter::startDetached(const QString &program, const QString &workingFolder)
{
    // A fetched file arrives without execute permission. It keeps its name:
    // servers and stored files know it by that name. Nobody but its owner
    // may run or change it.
    if (!QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner))
        return false;
    // False also when the system refuses to run the file (no such
    // interpreter, not a program at all).
    return QProcess::startDetached(program, {}, workingFolder);
}
