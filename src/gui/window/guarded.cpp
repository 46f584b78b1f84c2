#include "gui/window/guarded.h"

#include "core/base/apperror.h"
#include "gui/window/services.h"

void report(MessageBoxes &messages, const AppError &error)
{
    messages.show(error.report());
}

bool guarded(MessageBoxes &messages, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const AppError &error) {
        report(messages, error);
        return false;
    }
}
