// Buttons: push, default push, check boxes, radio buttons, group boxes.
#include "platform/portable/user/button.h"

namespace portable {
namespace {

DWORD ButtonType(const Window &window) { return window.style & BS_TYPEMASK; }

bool HasCheckState(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
           type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

bool IsRadio(DWORD type) { return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON; }

void SetCheck(Window &window, UINT check) {
    DWORD type = ButtonType(window);
    UINT highest = (type == BS_3STATE || type == BS_AUTO3STATE) ? BST_INDETERMINATE : BST_CHECKED;
    ButtonState &button = *ButtonOf(window);
    button.check = check > highest ? highest : check;
    // A checked radio button is the tab stop of its group.
    if (IsRadio(type)) {
        if (button.check)
            window.style |= WS_TABSTOP;
        else
            window.style &= ~static_cast<DWORD>(WS_TABSTOP);
    }
}

// Clears the other auto radio buttons of the clicked one's group: the
// controls from the nearest WS_GROUP at or before it up to the next WS_GROUP.
void ClearRadioGroup(Window &clicked) {
    Window *dialog = FindWindowRecord(clicked.parent);
    if (!dialog) return;
    const auto &children = dialog->children;
    int self = -1;
    for (size_t i = 0; i < children.size(); ++i)
        if (children[i] == clicked.handle) self = static_cast<int>(i);
    if (self < 0) return;
    int first = self;
    while (first > 0) {
        Window *control = FindWindowRecord(children[first]);
        if (control && (control->style & WS_GROUP)) break;
        --first;
    }
    for (size_t i = static_cast<size_t>(first); i < children.size(); ++i) {
        Window *control = FindWindowRecord(children[i]);
        if (!control) continue;
        if (static_cast<int>(i) > first && (control->style & WS_GROUP)) break;
        if (control != &clicked && control->kind == WindowKind::Button &&
            ButtonType(*control) == BS_AUTORADIOBUTTON)
            SetCheck(*control, BST_UNCHECKED);
    }
}

}  // namespace

LRESULT ButtonProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD type = ButtonType(window);
    ButtonState &state = *ButtonOf(window);
    switch (message) {
    case BM_GETCHECK:
        return HasCheckState(type) ? state.check : 0;
    case BM_SETCHECK:
        // Never notifies: only the user's click does.
        if (HasCheckState(type)) SetCheck(window, static_cast<UINT>(wParam));
        return 0;
    case BM_GETSTATE:
        return state.check | (state.pushed ? BST_PUSHED : 0) |
               (GetFocus() == window.handle ? BST_FOCUS : 0);
    case BM_SETSTATE:
        state.pushed = wParam != 0;
        return 0;
    case BM_SETSTYLE:
        window.style = (window.style & ~static_cast<DWORD>(0xFFFF)) | (wParam & 0xFFFF);
        return 0;
    case BM_CLICK: {
        // A press and release of the mouse on the button. A disabled or
        // hidden button takes no clicks; a group box is no button at all.
        if ((window.style & WS_DISABLED) || !(window.style & WS_VISIBLE) || type == BS_GROUPBOX)
            return 0;
        HWND self = window.handle;
        SetFocus(self);
        Window *button = FindWindowRecord(self);
        if (!button) return 0;
        // The state changes first, so the handler of BN_CLICKED sees it.
        UINT check = ButtonOf(*button)->check;
        if (type == BS_AUTOCHECKBOX)
            SetCheck(*button, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        else if (type == BS_AUTO3STATE)
            SetCheck(*button, (check + 1) % 3);
        else if (type == BS_AUTORADIOBUTTON) {
            SetCheck(*button, BST_CHECKED);
            ClearRadioGroup(*button);
        }
        NotifyParent(*button, BN_CLICKED);
        return 0;
    }
    default: {
        bool handled = false;
        return CommonWindowMessage(window, message, wParam, lParam, handled);
    }
    }
}

LRESULT StaticProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam) {
    StaticState &state = *StaticOf(window);
    switch (message) {
    case STM_SETICON: {
        HICON previous = state.icon;
        state.icon = reinterpret_cast<HICON>(wParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(state.icon);
    default: {
        bool handled = false;
        return CommonWindowMessage(window, message, wParam, lParam, handled);
    }
    }
}

}  // namespace portable
