#pragma once

#include <functional>

class QWidget;

// Calls `then` once, from the event loop after `widget` was first painted:
// by then the painted window has reached the screen. What is slow to start
// and not needed to show the window waits for this.
void afterFirstPaint(QWidget *widget, std::function<void()> then);
