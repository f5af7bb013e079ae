// Windows of the portable layer: handles, message dispatch, text, state,
// focus, window data and placement. The dialog manager and the controls
// live in their own files.
#include "platform/portable/gdi/gdi_fonts.h"
#include "platform/portable/host.h"
#include "platform/portable/made_on_first_use.h"
#include "platform/portable/user/button.h"
#include "platform/portable/user/dialog.h"
#include "platform/portable/user/edit.h"
#include "platform/portable/user/listbox.h"
#include "platform/portable/user/user_window.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace portable {
namespace {

// Handles are never reused, so a stale handle finds nothing: handle N is
// kFirstHandle + 4 N and its window, while it lives, is windows[N], found
// in one step by every message.
constexpr uintptr_t kFirstHandle = 0x10010;

struct WindowTable {
    std::vector<std::unique_ptr<Window>> windows;
    HWND focus = nullptr;
    HWND active = nullptr;
    int screenWidth = 1024;
    int screenHeight = 768;
};

constinit MadeOnFirstUse<WindowTable> tableMade;

inline WindowTable &Table() { return tableMade.Get(); }

std::unique_ptr<ClassState> NewClassState(WindowKind kind) {
    switch (kind) {
    case WindowKind::Dialog: return std::make_unique<DialogState>();
    case WindowKind::Button: return std::make_unique<ButtonState>();
    case WindowKind::Edit: return std::make_unique<EditState>();
    case WindowKind::ListBox: return std::make_unique<ListBoxState>();
    case WindowKind::Static: return std::make_unique<StaticState>();
    }
    return nullptr;
}

}  // namespace

// The non-client frame of a window in this layer's model: a dialog frame
// (DS_MODALFRAME or WS_DLGFRAME) is 3 pixels, a plain border 1, and a
// caption adds 19 pixels at the top, the classic 96-dpi Windows sizes.
// Controls have no non-client area: their client area is their window.
void FrameOf(const Window &window, int &side, int &top) {
    side = 0;
    top = 0;
    if (window.kind != WindowKind::Dialog) return;
    if ((window.style & DS_MODALFRAME) || (window.style & WS_DLGFRAME))
        side = 3;
    else if (window.style & WS_BORDER)
        side = 1;
    top = side;
    if ((window.style & WS_CAPTION) == WS_CAPTION) top += 19;
}


Window *FindWindowRecord(HWND window) {
    uintptr_t value = reinterpret_cast<uintptr_t>(window);
    if (value < kFirstHandle || (value - kFirstHandle) % 4 != 0) return nullptr;
    size_t index = (value - kFirstHandle) / 4;
    return index < Table().windows.size() ? Table().windows[index].get() : nullptr;
}

HWND CreateWindowRecord(WindowKind kind, HWND parent, DWORD style, DWORD exStyle, int id,
                        const std::string &text, RECT rect, HINSTANCE instance) {
    auto window = std::make_unique<Window>();
    HWND handle = reinterpret_cast<HWND>(kFirstHandle + 4 * Table().windows.size());
    window->handle = handle;
    window->kind = kind;
    window->parent = parent;
    window->style = style;
    window->exStyle = exStyle;
    window->id = id;
    window->text = text;
    window->rect = rect;
    window->instance = instance;
    window->state = NewClassState(kind);
    Table().windows.push_back(std::move(window));
    if (kind != WindowKind::Dialog) {
        if (Window *owner = FindWindowRecord(parent)) owner->children.push_back(handle);
    }
    return handle;
}

void DestroyWindowRecord(HWND handle) {
    Window *window = FindWindowRecord(handle);
    if (!window) return;
    SendMessageA(handle, WM_DESTROY, 0, 0);
    window = FindWindowRecord(handle);
    if (!window) return;
    std::vector<HWND> children = window->children;
    for (HWND child : children) DestroyWindowRecord(child);
    window = FindWindowRecord(handle);
    if (!window) return;
    if (Table().focus == handle) Table().focus = nullptr;
    if (Table().active == handle) Table().active = nullptr;
    if (window->kind != WindowKind::Dialog) {
        if (Window *owner = FindWindowRecord(window->parent)) {
            auto &list = owner->children;
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (*it == handle) {
                    list.erase(it);
                    break;
                }
            }
            DialogState *dialog = DialogOf(*owner);
            if (dialog != nullptr && dialog->lastFocus == handle) dialog->lastFocus = nullptr;
        }
    }
    Table().windows[(reinterpret_cast<uintptr_t>(handle) - kFirstHandle) / 4].reset();
}

void NotifyParent(Window &control, int code) {
    HWND parent = control.parent;
    HWND self = control.handle;
    WPARAM wParam = MAKEWPARAM(control.id, code);
    SendMessageA(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(self));
}

int CopyOut(const std::string &text, char *buffer, int size) {
    if (!buffer || size <= 0) return 0;
    size_t count = text.size();
    if (count > static_cast<size_t>(size - 1)) count = static_cast<size_t>(size - 1);
    std::memcpy(buffer, text.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

LRESULT CommonWindowMessage(Window &window, UINT message, WPARAM wParam, LPARAM lParam,
                            bool &handled) {
    handled = true;
    switch (message) {
    case WM_SETTEXT:
        window.text = lParam ? reinterpret_cast<const char *>(lParam) : "";
        return TRUE;
    case WM_GETTEXT:
        return CopyOut(window.text, reinterpret_cast<char *>(lParam), static_cast<int>(wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window.text.size());
    case WM_SETFONT:
        window.font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(window.font);
    default:
        handled = false;
        return 0;
    }
}

POINT ClientOrigin(const Window &window) {
    int side = 0, top = 0;
    FrameOf(window, side, top);
    POINT origin{window.rect.left + side, window.rect.top + top};
    if (window.kind != WindowKind::Dialog) {
        if (const Window *dialog = FindWindowRecord(window.parent)) {
            POINT base = ClientOrigin(*dialog);
            origin.x += base.x;
            origin.y += base.y;
        }
    }
    return origin;
}

void SetScreenSize(int width, int height) {
    Table().screenWidth = width;
    Table().screenHeight = height;
}

}  // namespace portable

using namespace portable;

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window *window = FindWindowRecord(handle);
    if (!window) return 0;
    if (DialogState *dialog = DialogOf(*window)) {
        if (DLGPROC procedure = dialog->procedure) {
            INT_PTR handled = procedure(handle, message, wParam, lParam);
            if (message == WM_INITDIALOG) return handled;
            window = FindWindowRecord(handle);
            if (!window) return 0;
            // A dialog procedure that handles a message returns its result
            // through DWLP_MSGRESULT.
            if (handled) return DialogOf(*window)->msgResult;
        }
        return DialogDefaultProc(*window, message, wParam, lParam);
    }
    // A control meets a shortage of memory as a Windows control does: with
    // its error value (LB_ERRSPACE for a list box), never an exception.
    try {
        switch (window->kind) {
        case WindowKind::Button:
            return ButtonProc(*window, message, wParam, lParam);
        case WindowKind::Edit:
            return EditProc(*window, message, wParam, lParam);
        case WindowKind::ListBox:
            return ListBoxProc(*window, message, wParam, lParam);
        case WindowKind::Static:
            return StaticProc(*window, message, wParam, lParam);
        default:
            return 0;
        }
    } catch (const std::bad_alloc &) {
        window = FindWindowRecord(handle);
        return window != nullptr && window->kind == WindowKind::ListBox ? LB_ERRSPACE : 0;
    }
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    Window *window = FindWindowRecord(dialog);
    if (!window) return nullptr;
    for (HWND child : window->children) {
        Window *control = FindWindowRecord(child);
        if (control && control->id == id) return child;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND control) {
    Window *window = FindWindowRecord(control);
    return (window && window->kind != WindowKind::Dialog) ? window->id : 0;
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL WINAPI SetWindowTextA(HWND window, LPCSTR text) {
    if (!FindWindowRecord(window)) return FALSE;
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextA(HWND window, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    if (!FindWindowRecord(window)) return 0;
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthA(HWND window) {
    return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextA(control, text) : FALSE;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (buffer && size > 0) buffer[0] = '\0';
        return 0;
    }
    return static_cast<UINT>(GetWindowTextA(control, buffer, size));
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageA(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control ? static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI IsWindow(HWND window) { return FindWindowRecord(window) ? TRUE : FALSE; }

BOOL WINAPI IsWindowEnabled(HWND handle) {
    Window *window = FindWindowRecord(handle);
    return (window && !(window->style & WS_DISABLED)) ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
    Window *window = FindWindowRecord(handle);
    if (!window) return FALSE;
    bool wasDisabled = (window->style & WS_DISABLED) != 0;
    if (enable)
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
    else
        window->style |= WS_DISABLED;
    if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
    SendMessageA(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    // A disabled window cannot keep the focus.
    if (!enable) {
        HWND focus = Table().focus;
        if (focus == handle || (focus && GetParent(focus) == handle && IsChild(handle, focus)))
            SetFocus(nullptr);
    }
    return wasDisabled ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
    Window *window = FindWindowRecord(handle);
    if (!window || !(window->style & WS_VISIBLE)) return FALSE;
    if (window->kind != WindowKind::Dialog) {
        Window *dialog = FindWindowRecord(window->parent);
        if (dialog && !(dialog->style & WS_VISIBLE)) return FALSE;
    }
    return TRUE;
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
    Window *window = FindWindowRecord(handle);
    if (!window) return FALSE;
    bool wasVisible = (window->style & WS_VISIBLE) != 0;
    if (command == SW_HIDE) {
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
        if (Table().focus == handle) SetFocus(nullptr);
    } else {
        window->style |= WS_VISIBLE;
    }
    return wasVisible ? TRUE : FALSE;
}

HWND WINAPI SetFocus(HWND handle) {
    HWND previous = Table().focus;
    HWND target = handle;
    if (handle) {
        Window *window = FindWindowRecord(handle);
        if (!window || (window->style & WS_DISABLED)) return nullptr;
        if (DialogState *state = DialogOf(*window)) {
            // A dialog passes the focus on to the control that had it last,
            // or to its first tab stop.
            HWND last = state->lastFocus;
            if (last && IsWindowEnabled(last) && IsWindowVisible(last))
                target = last;
            else if (HWND first = GetNextDlgTabItem(handle, nullptr, FALSE))
                target = first;
        } else {
            Window *dialog = FindWindowRecord(window->parent);
            if (dialog && (dialog->style & WS_DISABLED)) return nullptr;
        }
    }
    if (target == previous) return previous;
    Table().focus = target;
    if (previous) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(target), 0);
    if (target && Table().focus == target) {
        if (Window *window = FindWindowRecord(target)) {
            if (window->kind != WindowKind::Dialog) {
                if (Window *dialog = FindWindowRecord(window->parent))
                    if (DialogState *state = DialogOf(*dialog)) state->lastFocus = target;
            }
        }
        SendMessageA(target, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

HWND WINAPI GetFocus(void) { return Table().focus; }

HWND WINAPI SetActiveWindow(HWND window) {
    HWND previous = Table().active;
    if (window && !FindWindowRecord(window)) return nullptr;
    Table().active = window;
    return previous;
}

HWND WINAPI GetParent(HWND handle) {
    Window *window = FindWindowRecord(handle);
    return window ? window->parent : nullptr;
}

BOOL WINAPI IsChild(HWND parent, HWND handle) {
    Window *window = FindWindowRecord(handle);
    return (window && window->kind != WindowKind::Dialog && parent && window->parent == parent)
               ? TRUE
               : FALSE;
}

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    Window *window = FindWindowRecord(dialog);
    if (!window || window->children.empty()) return nullptr;
    const auto &children = window->children;
    int count = static_cast<int>(children.size());
    int start = -1;
    for (int i = 0; i < count; ++i)
        if (children[i] == control) start = i;
    int step = previous ? -1 : 1;
    if (start < 0) start = previous ? 0 : count - 1;
    for (int n = 1; n <= count; ++n) {
        int index = ((start + step * n) % count + count) % count;
        Window *candidate = FindWindowRecord(children[index]);
        if (candidate && (candidate->style & WS_TABSTOP) && (candidate->style & WS_VISIBLE) &&
            !(candidate->style & WS_DISABLED))
            return children[index];
    }
    return control;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
    Window *window = FindWindowRecord(handle);
    if (!window) return 0;
    switch (index) {
    case GWL_STYLE: return static_cast<LONG_PTR>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(window->exStyle);
    case GWLP_ID: return window->id;
    case GWLP_USERDATA: return window->userData;
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    default: break;
    }
    if (DialogState *dialog = DialogOf(*window)) {
        switch (index) {
        case DWLP_MSGRESULT: return dialog->msgResult;
        case static_cast<int>(DWLP_DLGPROC): return reinterpret_cast<LONG_PTR>(dialog->procedure);
        case static_cast<int>(DWLP_USER): return dialog->user;
        default: break;
        }
    }
    return 0;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    Window *window = FindWindowRecord(handle);
    if (!window) return 0;
    LONG_PTR previous = GetWindowLongPtrA(handle, index);
    switch (index) {
    case GWL_STYLE: window->style = static_cast<DWORD>(value); return previous;
    case GWL_EXSTYLE: window->exStyle = static_cast<DWORD>(value); return previous;
    case GWLP_ID: window->id = static_cast<int>(value); return previous;
    case GWLP_USERDATA: window->userData = value; return previous;
    default: break;
    }
    if (DialogState *dialog = DialogOf(*window)) {
        switch (index) {
        case DWLP_MSGRESULT: dialog->msgResult = value; return previous;
        case static_cast<int>(DWLP_DLGPROC):
            dialog->procedure = reinterpret_cast<DLGPROC>(value);
            return previous;
        case static_cast<int>(DWLP_USER): dialog->user = value; return previous;
        default: break;
        }
    }
    return 0;
}

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    Window *window = FindWindowRecord(handle);
    if (!window || !rect) return FALSE;
    LONG width = window->rect.right - window->rect.left;
    LONG height = window->rect.bottom - window->rect.top;
    POINT origin{window->rect.left, window->rect.top};
    if (window->kind != WindowKind::Dialog) {
        if (Window *dialog = FindWindowRecord(window->parent)) {
            POINT base = ClientOrigin(*dialog);
            origin.x += base.x;
            origin.y += base.y;
        }
    }
    *rect = RECT{origin.x, origin.y, origin.x + width, origin.y + height};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    Window *window = FindWindowRecord(handle);
    if (!window || !rect) return FALSE;
    int side = 0, top = 0;
    FrameOf(*window, side, top);
    LONG width = window->rect.right - window->rect.left - 2 * side;
    LONG height = window->rect.bottom - window->rect.top - top - side;
    *rect = RECT{0, 0, width < 0 ? 0 : width, height < 0 ? 0 : height};
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND handle, int x, int y, int width, int height, BOOL) {
    Window *window = FindWindowRecord(handle);
    if (!window) return FALSE;
    window->rect = RECT{x, y, x + width, y + height};
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND handle, HWND after, int x, int y, int cx, int cy, UINT flags) {
    Window *window = FindWindowRecord(handle);
    if (!window) return FALSE;
    RECT &r = window->rect;
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    if (!(flags & SWP_NOMOVE)) {
        LONG width = r.right - r.left, height = r.bottom - r.top;
        r = RECT{x, y, x + width, y + height};
    }
    if (!(flags & SWP_NOZORDER)) {
        if (after == HWND_TOPMOST)
            window->exStyle |= WS_EX_TOPMOST;
        else if (after == HWND_NOTOPMOST)
            window->exStyle &= ~static_cast<DWORD>(WS_EX_TOPMOST);
    }
    if (flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW) window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    return TRUE;
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXSCREEN: return Table().screenWidth;
    case SM_CYSCREEN: return Table().screenHeight;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    default: return 0;
    }
}

BOOL WINAPI MessageBeep(UINT) { return TRUE; }

BOOL WINAPI DestroyWindow(HWND handle) {
    Window *window = FindWindowRecord(handle);
    if (!window) return FALSE;
    DialogState *dialog = DialogOf(*window);
    if (dialog != nullptr && !dialog->ended) {
        // A modal dialog is taken down by its DialogBoxParamA: end it there.
        dialog->ended = true;
        dialog->result = 0;
        return TRUE;
    }
    DestroyWindowRecord(handle);
    return TRUE;
}
