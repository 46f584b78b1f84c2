#pragma once

#include <functional>

class MessageBoxes;

// Runs a handler of the user's action. A failure it throws (a list that
// cannot be read or saved, a missing picture) is shown and the program
// carries on; false then.
bool guarded(MessageBoxes &messages, const std::function<void()> &handler);
