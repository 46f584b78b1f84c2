#include "gui/platform/systemprocessstarter.h"

#include <QProcess>

#include <windows.h>

bool SystemProcessStarter::startDetached(const QString &program, const QString &workingFolder)
{
    QProcess process;
    process.setProgram(program); // quoted on the command line, no arguments
    process.setWorkingDirectory(workingFolder);
    // The updater starts minimised and takes the focus from the window that
    // is about to close.
    process.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *arguments) {
        arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        arguments->startupInfo->wShowWindow = SW_SHOWMINIMIZED;
    });
    return process.startDetached();
}
