#pragma once

#include "core/base/result.h"

#include <functional>

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

// Runs a handler of the user's action. A failure it throws (a picture
// missing from the program) is shown and the program carries on; false then.
bool guarded(MessageBoxes &messages, const std::function<void()> &handler);
