#include "gui/window/failuremessage.h"

#include "core/base/apperror.h"
#include "gui/window/services.h"

void report(MessageBoxes &messages, const AppError &error)
{
    messages.show(error.report());
}
