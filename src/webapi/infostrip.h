#pragma once

#include <QString>

#include <functional>

class QWidget;

// The information strip along the bottom of the window: a web view that
// shows one small page at a time.
class InfoStrip
{
public:
    // Told the address of a page that could not be loaded (no network, page
    // missing, server error).
    using ErrorHandler = std::function<void(const QString &url)>;

    virtual ~InfoStrip() = default;
    virtual void navigate(const QString &urlOrFile) = 0;
    // Silent: pages may not open dialogs of their own.
    virtual void setSilent(bool silent) = 0;
    virtual QWidget *widget() = 0;
    // Replaces the handler; an empty one tells nobody.
    virtual void setErrorHandler(ErrorHandler handler) = 0;
};
