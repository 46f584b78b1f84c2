#pragma once

#include "core/base/result.h"

class MessageBoxes;

// Shows the failure to the user.
void report(MessageBoxes &messages, const AppError &error);

// Shows the result's failure, if it failed; true then.
template <typename T> bool failed(MessageBoxes &messages, const Result<T> &result)
{
    if (result)
        return false;
    report(messages, result.error());
    return true;
}
