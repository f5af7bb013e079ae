// Placing a dialog in the middle of the screen when it opens.
#ifndef ORVIXFAX_CENTER_WINDOW_H
#define ORVIXFAX_CENTER_WINDOW_H

#include "platform/win32api.h"

// Moves `window` so that it sits in the middle of the screen, size unchanged:
// left = (screen width - window width) / 2, top likewise, each raised to 0
// when the window is larger than the screen, so its caption stays reachable.
// With a reference window the window is centred on that window's rectangle
// instead, again never left of or above the screen's edge.
void CenterWindow(HWND window, HWND reference = nullptr);

#endif
