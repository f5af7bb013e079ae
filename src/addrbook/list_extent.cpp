// The horizontal scroll extent of the address book lists: as wide as the
// longest line at the dialog's average character width.
#include "addrbook/display_lines.h"

void SetListHorizontalExtent(HWND dialog, int controlId) {
    // The list is looked up once, not once a line.
    HWND list = GetDlgItem(dialog, controlId);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    LRESULT longest = 0;
    for (LRESULT line = 0; line < count; ++line) {
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
        if (length > longest) longest = length;
    }
    SetListExtentForLongest(dialog, controlId, static_cast<size_t>(longest));
}

void SetListExtentForLongest(HWND dialog, int controlId, size_t longest) {
    LRESULT extent = static_cast<LRESULT>(longest) * GetAverageCharWidth(dialog);
    SendDlgItemMessageA(dialog, controlId, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
}

int GetAverageCharWidth(HWND window) {
    HDC context = GetDC(window);
    if (context == nullptr) return 0;
    TEXTMETRICA metrics{};
    int width = GetTextMetricsA(context, &metrics) ? metrics.tmAveCharWidth : 0;
    ReleaseDC(window, context);
    return width;
}
