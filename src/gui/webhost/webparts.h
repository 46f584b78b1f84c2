#pragma once

#include "gui/webhost/flashplayer.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

// The information strip's web view, as the window drives it.
class WebStrip
{
public:
    virtual ~WebStrip() = default;
    virtual void navigate(const QString &urlOrFile) = 0;
    // Silent: pages may not open dialogs of their own.
    virtual void setSilent(bool silent) = 0;
    virtual QWidget *widget() = 0;
};

// Told the address of a page that could not be loaded (no network, page
// missing, server error).
using NavigateErrorHandler = std::function<void(const QString &url)>;

// Everything that needs Qt WebEngine. The program loads these from a library
// of their own once its window is on screen, because loading the web engine
// takes several times as long as showing the window; so only plain
// interfaces cross over, no class of the window.
struct WebParts
{
    std::unique_ptr<FlashPlayer> player;
    std::unique_ptr<WebStrip> strip;
};

// `programDir` holds the runtime in its "ruffle" folder. Before the first
// call the process needs a shared OpenGL context (Qt's global share context);
// a program that links the web engine has it from the start.
std::unique_ptr<WebParts> makeWebParts(const QString &programDir, NavigateErrorHandler onError);

// The library's one entry point, found by name.
inline constexpr char MakeWebPartsSymbol[] = "qorvel_make_web_parts";
using MakeWebPartsFunction = WebParts *(*)(const QString &programDir, NavigateErrorHandler onError);
