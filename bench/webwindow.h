#pragma once

#include "gui/webhost/webpartshost.h"

#include <QCoreApplication>
#include <QWidget>

// The player above the strip in a window of the given size, the web library
// loaded as the program loads it: once the window is shown, with Qt's shared
// OpenGL context made right after show(). The library is looked for in
// $QORVEL_APP_DIR, else beside the benchmark. `realPlayer` is the loaded
// player itself, for its signals.
struct WebWindow
{
    WebWindow(const QSize &size, int playerHeight)
        : host(
              [this, appDir = qEnvironmentVariable("QORVEL_APP_DIR",
                                                   QCoreApplication::applicationDirPath())] {
                  Result<std::unique_ptr<WebParts>> parts = loadWebLibrary(appDir);
                  if (parts && parts.value())
                      realPlayer = dynamic_cast<QObject *>(parts.value()->player.get());
                  return parts;
              },
              nullptr)
    {
        window.resize(size);
        host.player()->widget()->setParent(&window);
        host.player()->widget()->setGeometry(0, 0, size.width(), playerHeight);
        host.browser()->widget()->setParent(&window);
        host.browser()->widget()->setGeometry(0, playerHeight, size.width(),
                                              size.height() - playerHeight);
        window.show();
        makeSharedOpenGLContext();
    }

    QObject *realPlayer = nullptr;
    WebPartsHost host;
    QWidget window;
};
