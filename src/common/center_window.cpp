#include "common/center_window.h"

void CenterWindow(HWND window, HWND reference) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) return;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;

    int areaLeft = 0;
    int areaTop = 0;
    int areaWidth = GetSystemMetrics(SM_CXSCREEN);
    int areaHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT around;
    if (reference != nullptr && GetWindowRect(reference, &around)) {
        areaLeft = around.left;
        areaTop = around.top;
        areaWidth = around.right - around.left;
        areaHeight = around.bottom - around.top;
    }

    int left = areaLeft + (areaWidth - width) / 2;
    int top = areaTop + (areaHeight - height) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    MoveWindow(window, left, top, width, height, TRUE);
}
