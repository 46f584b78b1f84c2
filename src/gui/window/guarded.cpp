#include "gui/window/guarded.h"

#include "core/base/apperror.h"
#include "gui/window/services.h"

bool guarded(MessageBoxes &messages, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const AppError &error) {
        messages.show(error.report());
        return false;
    }
}
