#pragma once

#include "core/download/rangetransfer.h"

// How a transfer ended, read after finished().
struct TransferInside
{
    static bool isRunning(const RangeTransfer &transfer) { return transfer.m_running; }
    static TransferOutcome outcome(const RangeTransfer &transfer) { return transfer.m_outcome; }
    // The status of the last answer, 0 if none came.
    static int lastStatus(const RangeTransfer &transfer) { return transfer.m_lastStatus; }
};
