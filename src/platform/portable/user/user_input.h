// The user's input on the portable layer, by window handle: what a mouse
// click or a key press does to a dialog and its controls, as the Windows
// dialog manager would do it. The automation API and the behaviour-test
// harness are built on these. Each returns false when the user could not
// do it (no such window, disabled or hidden control, no such line).
#ifndef ORVIXFAX_PORTABLE_USER_INPUT_H
#define ORVIXFAX_PORTABLE_USER_INPUT_H

#include "platform/portable/windows.h"

namespace portable {

// Focus given by the dialog manager (first tab stop, Tab key): an edit
// then has all its text selected.
void DialogFocus(HWND control);

// A mouse click on a button, check box or radio button.
bool UserClickButton(HWND button);
// A click (or double click) on line `index` of a list box.
bool UserClickLine(HWND list, int index, bool doubleClick);
// A click into an edit after its last character: focus, caret at the end.
bool UserClickIntoEdit(HWND edit);
// One key press on the control with the focus: '\r' is the Enter key, 0x1B
// Escape, '\t' the Tab key (focus to the next tab stop), anything else
// (0x08 is Backspace) the character typed, sent to the focused control.
bool UserKey(HWND dialog, unsigned char key);
// The close box of the caption; nothing happens without WS_SYSMENU.
bool UserCloseBox(HWND dialog);

}  // namespace portable

#endif
