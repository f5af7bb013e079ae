// The user's hands on real USER32: key and mouse messages posted to the
// controls, through the dialog's own message loop, so that
// IsDialogMessage, edit limits and notifications all happen as for real
// input. Each runs on the dialog thread (see dialog_thread.h) and only
// posts; the caller then settles. The behaviour harness and the script
// engine's hands both use these.
#ifndef ORVIXFAX_E2E_USER32_USER32_HANDS_H
#define ORVIXFAX_E2E_USER32_USER32_HANDS_H

#include <windows.h>

#include <string>

namespace user32 {

// A person reaches only what is shown and enabled.
bool Reachable(HWND control);
bool IsEdit(HWND control);

// The focus as a user gives it: a click into an edit puts the caret after
// its last character; any other control is reached as by the Tab key.
void FocusByUser(HWND control);
// The window that gets key presses: the focused control when it belongs
// to this dialog, else the dialog itself.
HWND KeyTarget(HWND dialog);
// A key pressed and released on `target` (VK_RETURN, VK_ESCAPE, VK_TAB).
void PressKey(HWND target, UINT virtualKey);
// A click into the edit, then each character as a key press; '\r' or '\n'
// (a "\r\n" pair counts once) is the Enter key, which the dialog manager
// gives to an edit that wants it (a line break) or to the default button.
void TypeKeys(HWND edit, const std::string &text);
// A click into the edit, select all, Backspace.
void ClearEdit(HWND edit);
// A mouse click on a button, check box or radio button.
void ClickButton(HWND button);
// A click (or double click) on line `index` of a list box, scrolled into
// view first; false when there is no such line.
bool ClickLine(HWND list, int index, bool twice);
// A click on the caption's close box (a dialog without one ignores it).
void CloseBox(HWND dialog);

}  // namespace user32

#endif
