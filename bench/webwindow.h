#pragma once

#include "gui/webhost/webpartshost.h"

#include <QCoreApplication>
#include <QWidget>

// The player above the strip in a window of the given size, the web library
// loaded as the program loads it: once the window is shown, with Qt's shared
// OpenGL context made right after show(). The library is looked for in
// $QORVEL_APP_DIR, else beside the benchmark.
struct WebWindow
{
    WebWindow(const QSize &size, int playerHeight)
        : host(
              [appDir =
                   qEnvironmentVariable("QORVEL_APP_DIR", QCoreApplication::applicationDirPath())](
                  NavigateErrorHandler onError) {
                  return loadWebLibrary(appDir, std::move(onError));
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

    WebPartsHost host;
    QWidget window;
};
