#pragma once

#include <QString>

// Starts a program as a process of its own that outlives ours. The system's
// implementation lives with the other per-OS pieces; tests record the calls.
class ProcessStarter
{
public:
    virtual ~ProcessStarter() = default;
    // Makes program runnable as the system needs and starts it without
    // arguments in workingFolder. True only when it is running.
    virtual bool startDetached(const QString &program, const QString &workingFolder) = 0;
};
