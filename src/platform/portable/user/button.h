// Buttons (push, default push, check boxes, radio buttons, group boxes)
// and statics (text and icons), with what each keeps for its windows.
#ifndef ORVIXFAX_PORTABLE_USER_BUTTON_H
#define ORVIXFAX_PORTABLE_USER_BUTTON_H

#include "platform/portable/user/user_window.h"

namespace portable {

struct ButtonState : ClassState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
};

struct StaticState : ClassState {
    HICON icon = nullptr;
};

inline ButtonState *ButtonOf(Window &window) { return StateOf<ButtonState>(window, WindowKind::Button); }
inline StaticState *StaticOf(Window &window) { return StateOf<StaticState>(window, WindowKind::Static); }

LRESULT ButtonProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace portable

#endif
