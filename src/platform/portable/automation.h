// The user's hands and eyes on the portable layer: find the open dialog,
// read its controls, type, click, select, press keys. Front ends (see
// front_end.h) act as the user through these.
#ifndef ORVIXFAX_PORTABLE_AUTOMATION_H
#define ORVIXFAX_PORTABLE_AUTOMATION_H

#include "platform/portable/windows.h"

#include <string>
#include <vector>

namespace portable {
namespace automation {

// Every action returns false when the user could not do it (no such dialog
// or control, a disabled or hidden control, no such line, a control of
// another kind); LastError() then says why in words.
const std::string &LastError();

// Open dialogs, innermost last.
std::vector<HWND> OpenDialogs();
HWND InnermostDialog();
HWND FindDialog(const std::string &caption);  // innermost with this caption, or null
bool HasEnded(HWND dialog);                   // EndDialog was called on it

std::string Caption(HWND dialog);
HWND Control(HWND dialog, int id);            // null when the dialog has no such control
std::string ControlText(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsVisible(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool HasFocus(HWND dialog, int id);
// What kind of control it is: "button", "check box", "radio button",
// "group box", "edit", "list box", "static", "icon"; "" when there is none.
std::string ControlKind(HWND dialog, int id);
// The same for a control's handle: the IDC_STATIC ones share one id.
std::string KindOf(HWND control);
// Every control of a dialog in template (tab) order, IDC_STATIC ones too,
// for a front end that draws the whole dialog.
std::vector<HWND> Controls(HWND dialog);

// Keyboard: the control gets the focus with the caret after its last
// character, then each character arrives as the user's key press would
// (edit limits apply). '\r' or '\n' (a "\r\n" pair counts once) is the
// Enter key: a line break in a multi-line edit with ES_WANTRETURN,
// otherwise the default button. Typing stops when the dialog ends.
bool Type(HWND dialog, int id, const std::string &text);
bool ClearText(HWND dialog, int id);  // select all and Backspace, as the user would
bool PressEnter(HWND dialog);         // on the control that has the focus
bool PressEscape(HWND dialog);
bool PressTab(HWND dialog);
bool Close(HWND dialog);              // the close box; nothing without WS_SYSMENU

// Mouse: a click on a button, check box or radio button.
bool Click(HWND dialog, int id);

// List boxes. A click on a line toggles it in a multiple-selection list and
// selects it in a single-selection one, with the notifications a user click
// sends. Lines by index (0-based) or by their whole text.
int LineCount(HWND dialog, int id);
std::string LineText(HWND dialog, int id, int index);
int FindLine(HWND dialog, int id, const std::string &text);  // -1 when absent
std::vector<int> SelectedLines(HWND dialog, int id);
bool ClickLine(HWND dialog, int id, int index);
bool DoubleClickLine(HWND dialog, int id, int index);
bool FocusControl(HWND dialog, int id);   // a click into the control

// Display lines of an edit, as EM_GETLINE gives them.
std::vector<std::string> EditLines(HWND dialog, int id);

}  // namespace automation
}  // namespace portable

#endif
