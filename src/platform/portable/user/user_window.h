// The portable window manager's own records: one Window per HWND with
// what every window has, the state each window class keeps for its
// windows beside it, and the helpers the class files share. Nothing here
// is visible to module code, which sees only HWNDs and messages.
#ifndef ORVIXFAX_PORTABLE_USER_WINDOW_H
#define ORVIXFAX_PORTABLE_USER_WINDOW_H

#include "platform/portable/windows.h"

#include <memory>
#include <string>
#include <vector>

namespace portable {

enum class WindowKind { Dialog, Button, Edit, ListBox, Static };

// What a window class keeps for each of its windows, hung off the window
// as a Windows control keeps its own record behind its window: each class
// has its own, declared with the class (dialog.h, button.h, edit.h,
// listbox.h).
struct ClassState {
    virtual ~ClassState() = default;
};

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
    std::unique_ptr<ClassState> state;  // the class's own, made with the window
};

// The state of a window of class `kind`; null for a window of another.
template <class State>
State *StateOf(Window &window, WindowKind kind) {
    return window.kind == kind ? static_cast<State *>(window.state.get()) : nullptr;
}
template <class State>
const State *StateOf(const Window &window, WindowKind kind) {
    return window.kind == kind ? static_cast<const State *>(window.state.get()) : nullptr;
}

// The window of a handle, or null for none or a destroyed one.
Window *FindWindowRecord(HWND window);
HWND CreateWindowRecord(WindowKind kind, HWND parent, DWORD style, DWORD exStyle, int id,
                        const std::string &text, RECT rect, HINSTANCE instance);
void DestroyWindowRecord(HWND window);

// Tells the parent dialog of a control: WM_COMMAND with the id and `code`.
void NotifyParent(Window &control, int code);

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

// Font metrics for a window's font (see gdi/gdi_fonts.h for the model).
int AverageCharWidthOf(HFONT font);

}  // namespace portable

#endif
