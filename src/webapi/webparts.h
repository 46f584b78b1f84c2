#pragma once

#include "webapi/flashplayer.h"
#include "webapi/infostrip.h"

#include <memory>

// Everything that needs Qt WebEngine. The program loads these from a library
// of their own once its window is on screen, because loading the web engine
// takes several times as long as showing the window; so only these plain
// interfaces cross over, no class of the window.
struct WebParts
{
    std::unique_ptr<FlashPlayer> player;
    std::unique_ptr<InfoStrip> strip;
};

// The library's one entry point, found by name: a plain C function taking
// the program's folder (which holds the runtime in its "ruffle" folder) as
// UTF-8. Before the first call the process needs a shared OpenGL context (Qt's
// global share context); a program that links the web engine has it from the
// start. The caller owns what it returns.
inline constexpr char MakeWebPartsSymbol[] = "qorvel_make_web_parts";
extern "C" {
using MakeWebPartsFunction = WebParts *(*)(const char *programDirUtf8);
}
