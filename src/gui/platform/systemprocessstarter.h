#pragma once

#include "core/update/processstarter.h"

// Starts programs the way this system does: on Linux the file is made
// executable by its owner only; on Windows its window starts minimised.
class SystemProcessStarter : public ProcessStarter
{
public:
    bool startDetached(const QString &program, const QString &workingFolder) override;
};
