#pragma once

#include "core/base/result.h"
#include "gui/window/services.h"
#include "webapi/webparts.h"

#include <QObject>

#include <functional>
#include <memory>

// Stands in for the player and the information strip until the web parts
// are loaded, and hands every call on to them after that. The window shows
// at once with both areas painted in their own colours; the parts are loaded
// right after the first paint, or at once when the window needs the real
// player sooner (a programme chosen in the first moments).
class WebPartsHost : public QObject
{
    Q_OBJECT
public:
    // Returns the parts, or why they could not be loaded.
    using Loader = std::function<Result<std::unique_ptr<WebParts>>()>;

    // `messages` is told once when the parts cannot be loaded.
    WebPartsHost(Loader loader, MessageBoxes *messages, QObject *parent = nullptr);
    ~WebPartsHost() override;

    FlashPlayer *player();
    InfoStrip *browser();

    // Loads the parts unless that was tried already; true when they are there.
    bool load();
    bool loaded() const { return m_parts != nullptr; }

private:
    class Player;
    class Browser;

    Loader m_loader;
    MessageBoxes *m_messages;
    bool m_tried = false;
    std::unique_ptr<WebParts> m_parts;
    std::unique_ptr<Player> m_player;
    std::unique_ptr<Browser> m_browser;
};

// The program's loader: the web library beside the program, after making the
// shared OpenGL context the web engine renders through.
Result<std::unique_ptr<WebParts>> loadWebLibrary(const QString &programDir);

// Before the QApplication is made: the web views are drawn in software, so
// that the window stays plain (see the .cpp for why), unless the user chose
// otherwise.
void prepareBeforeApplication();

// Makes Qt's shared OpenGL context unless there is one. The web engine
// expects it even when it draws in software. When the web views draw through
// OpenGL, a window composed through OpenGL shares its context with it only if
// it is there before the window's first paint, and the web engine's pictures
// reach the window only through that sharing.
void makeSharedOpenGLContext();
