#pragma once

// What the web engine must find in the process before it starts: the player's
// URL scheme, and the switches that keep its memory down. In a program that
// links the engine this runs before the QApplication is made; loaded later,
// before the first web view.
namespace EngineEnvironment {
void prepare();
}
