// The portable window manager's own records: one Window per HWND, the
// control kinds the module's templates use, and the helpers the control
// files share. Nothing here is visible to module code, which sees only
// HWNDs and messages.
#ifndef ORVIXFAX_PORTABLE_USER_WINDOW_H
#define ORVIXFAX_PORTABLE_USER_WINDOW_H

#include "platform/portable/user/listbox_lines.h"
#include "platform/portable/windows.h"

#include <string>
#include <vector>

namespace portable {

enum class WindowKind { Dialog, Button, Edit, ListBox, Static };

struct Window {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::Static;
    std::string text;
    DWORD style = 0;    // WS_DISABLED and WS_VISIBLE are the enabled and shown state
    DWORD exStyle = 0;
    int id = 0;
    HWND parent = nullptr;          // the dialog of a control, the owner of a dialog
    std::vector<HWND> children;     // controls in template (tab) order
    RECT rect{};                    // dialogs: screen; controls: the dialog's client area
    HFONT font = nullptr;           // null: the system font
    LONG_PTR userData = 0;          // GWLP_USERDATA
    HINSTANCE instance = nullptr;

    // dialogs
    DLGPROC procedure = nullptr;
    LONG_PTR msgResult = 0;
    LONG_PTR dialogUser = 0;        // DWLP_USER
    int baseUnitX = 0, baseUnitY = 0;
    bool ended = false;
    INT_PTR result = 0;
    int defaultId = 0;              // DM_GETDEFID, 0 when none
    HWND lastFocus = nullptr;

    // buttons
    UINT check = BST_UNCHECKED;
    bool pushed = false;

    // edits
    size_t limit = 30000;
    size_t selStart = 0, selEnd = 0;
    bool modified = false;

    // list boxes
    ListLines lines;
    int curSel = LB_ERR;            // single selection
    int caret = 0;                  // multiple selection: the focus rectangle
    int anchor = 0;
    int topIndex = 0;
    int horizontalExtent = 0;
    std::vector<int> tabStops;

    // statics
    HICON icon = nullptr;
};

// The window of a handle, or null for none or a destroyed one.
Window *FindWindowRecord(HWND window);
HWND CreateWindowRecord(WindowKind kind, HWND parent, DWORD style, DWORD exStyle, int id,
                        const std::string &text, RECT rect, HINSTANCE instance);
void DestroyWindowRecord(HWND window);

// Tells the parent dialog of a control: WM_COMMAND with the id and `code`.
void NotifyParent(Window &control, int code);

// Each control kind answers its own messages.
LRESULT ButtonProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DialogDefaultProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);

// What every window does with its text and font (WM_SETTEXT, WM_GETTEXT,
// WM_GETTEXTLENGTH, WM_SETFONT, WM_GETFONT); `handled` says whether it was
// one of them.
LRESULT CommonWindowMessage(Window &window, UINT message, WPARAM wParam, LPARAM lParam,
                            bool &handled);
// Copies at most size - 1 characters and a terminator; the number copied.
int CopyOut(const std::string &text, char *buffer, int size);

// The non-client frame of a window: the width of its side and bottom
// frame and the height above its client area, in pixels.
void FrameOf(const Window &window, int &side, int &top);
// The origin of a window's client area on the screen.
POINT ClientOrigin(const Window &window);

// The dialogs DialogBoxParamA is running, innermost last.
const std::vector<HWND> &ModalDialogs();

// Font metrics for a window's font (see gdi_fonts.h for the model).
int AverageCharWidthOf(HFONT font);

}  // namespace portable

#endif
