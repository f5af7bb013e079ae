// Modal dialogs built from the module's templates, the dialog manager's
// default behaviour and the hand-over to the front end.
#include "platform/portable/front_end.h"
#include "platform/portable/gdi/gdi_fonts.h"
#include "platform/portable/resources/resources.h"
#include "platform/portable/user/button.h"
#include "platform/portable/user/dialog.h"
#include "platform/portable/user/user_input.h"

#include <cctype>
#include <cstring>
#include <new>
#include <vector>

namespace portable {
namespace {

FrontEnd *currentFrontEnd = nullptr;
std::vector<HWND> modalDialogs;

bool SameClass(const char *a, const char *b) {
    if (!a) return false;
    while (*a && *b) {
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
            return false;
        ++a;
        ++b;
    }
    return *a == *b;
}

bool KindOfClass(const char *windowClass, WindowKind &kind) {
    if (SameClass(windowClass, "BUTTON")) kind = WindowKind::Button;
    else if (SameClass(windowClass, "EDIT")) kind = WindowKind::Edit;
    else if (SameClass(windowClass, "STATIC")) kind = WindowKind::Static;
    else if (SameClass(windowClass, "LISTBOX")) kind = WindowKind::ListBox;
    else return false;
    return true;
}

RECT DialogUnitsToPixels(int x, int y, int cx, int cy, int baseX, int baseY) {
    LONG left = MulDiv(x, baseX, 4), top = MulDiv(y, baseY, 8);
    return RECT{left, top, left + MulDiv(cx, baseX, 4), top + MulDiv(cy, baseY, 8)};
}

bool BuildControls(HINSTANCE instance, const DialogTemplate &dialogTemplate, HWND dialog, HFONT font, int baseX,
                   int baseY);

// Builds the dialog and its controls, hidden; null when a control class is
// unknown (the dialog cannot be made).
HWND BuildDialog(HINSTANCE instance, const DialogTemplate &dialogTemplate, HWND owner,
                 DLGPROC procedure, HFONT &font) {
    font = nullptr;
    int baseX = 8, baseY = 16;  // the system font's dialog base units
    if (dialogTemplate.pointSize > 0) {
        font = CreateDialogFont(dialogTemplate.fontFace, dialogTemplate.pointSize);
        TEXTMETRICA tm = FontMetrics(font);
        baseX = tm.tmAveCharWidth;
        baseY = tm.tmHeight;
    }
    RECT client = DialogUnitsToPixels(dialogTemplate.x, dialogTemplate.y, dialogTemplate.cx,
                                      dialogTemplate.cy, baseX, baseY);
    POINT origin{0, 0};
    if (Window *ownerWindow = FindWindowRecord(owner)) origin = ClientOrigin(*ownerWindow);
    DWORD style = dialogTemplate.style & ~static_cast<DWORD>(WS_VISIBLE);
    HWND dialog = CreateWindowRecord(WindowKind::Dialog, owner, style, dialogTemplate.exStyle, 0,
                                     dialogTemplate.caption ? dialogTemplate.caption : "",
                                     RECT{}, instance);
    Window *window = FindWindowRecord(dialog);
    DialogState *state = DialogOf(*window);
    state->procedure = procedure;
    state->baseUnitX = baseX;
    state->baseUnitY = baseY;
    window->font = font;
    // The window rectangle holds the client area of the template's size
    // plus the frame and caption.
    int side = 0, top = 0;
    FrameOf(*window, side, top);
    window->rect = RECT{origin.x + client.left, origin.y + client.top,
                        origin.x + client.right + 2 * side, origin.y + client.bottom + top + side};
    // A control that cannot be made (an unknown class, or no memory for it)
    // takes the dialog with it.
    bool built = false;
    try {
        built = BuildControls(instance, dialogTemplate, dialog, font, baseX, baseY);
    } catch (const std::bad_alloc &) {
        DestroyWindowRecord(dialog);
        if (font) DeleteObject(font);
        font = nullptr;
        throw;
    }
    if (built) return dialog;
    DestroyWindowRecord(dialog);
    if (font) DeleteObject(font);
    font = nullptr;
    return nullptr;
}

// The template's controls in the dialog; false (nothing made) for a
// control class that is unknown.
bool BuildControls(HINSTANCE instance, const DialogTemplate &dialogTemplate, HWND dialog, HFONT font, int baseX,
                   int baseY) {
    DialogState *state = DialogOf(*FindWindowRecord(dialog));
    for (int i = 0; i < dialogTemplate.itemCount; ++i) {
        const DialogItemTemplate &item = dialogTemplate.items[i];
        WindowKind kind;
        if (!KindOfClass(item.windowClass, kind)) return false;
        RECT rect = DialogUnitsToPixels(item.x, item.y, item.cx, item.cy, baseX, baseY);
        bool iconStatic = kind == WindowKind::Static && (item.style & SS_TYPEMASK) == SS_ICON;
        HWND control = CreateWindowRecord(kind, dialog, item.style, item.exStyle, item.id,
                                          (iconStatic || !item.text) ? "" : item.text, rect,
                                          instance);
        Window *record = FindWindowRecord(control);
        record->font = font;
        if (iconStatic && item.iconId)
            StaticOf(*record)->icon = LoadIconA(instance, MAKEINTRESOURCEA(item.iconId));
        if (kind == WindowKind::Button && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON &&
            state->defaultId == 0)
            state->defaultId = item.id;
    }
    return true;
}

}  // namespace

void SetFrontEnd(FrontEnd *frontEnd) { currentFrontEnd = frontEnd; }
FrontEnd *CurrentFrontEnd() { return currentFrontEnd; }

const std::vector<HWND> &ModalDialogs() { return modalDialogs; }

void DialogFocus(HWND control) {
    Window *window = FindWindowRecord(control);
    if (!window) return;
    if (window->kind == WindowKind::Edit) SendMessageA(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

LRESULT DialogDefaultProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogState &dialog = *DialogOf(window);
    switch (message) {
    case WM_CLOSE: {
        // The close box is Cancel, unless the Cancel button is disabled.
        HWND handle = window.handle;
        HWND cancel = GetDlgItem(handle, IDCANCEL);
        if (cancel && !IsWindowEnabled(cancel)) {
            MessageBeep(0);
            return 0;
        }
        SendMessageA(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(cancel));
        return 0;
    }
    case DM_GETDEFID:
        return dialog.defaultId ? MAKELONG(dialog.defaultId, DC_HASDEFID) : 0;
    case DM_SETDEFID: {
        HWND handle = window.handle;
        int previous = dialog.defaultId;
        dialog.defaultId = static_cast<int>(wParam);
        if (HWND old = GetDlgItem(handle, previous)) {
            Window *button = FindWindowRecord(old);
            if (button->kind == WindowKind::Button && (button->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                button->style = (button->style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_PUSHBUTTON;
        }
        if (HWND now = GetDlgItem(handle, static_cast<int>(wParam))) {
            Window *button = FindWindowRecord(now);
            if (button->kind == WindowKind::Button && (button->style & BS_TYPEMASK) == BS_PUSHBUTTON)
                button->style = (button->style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_DEFPUSHBUTTON;
        }
        return TRUE;
    }
    default: {
        bool handled = false;
        return CommonWindowMessage(window, message, wParam, lParam, handled);
    }
    }
}

bool UserClickButton(HWND button) {
    Window *window = FindWindowRecord(button);
    if (!window || window->kind != WindowKind::Button) return false;
    if (!IsWindowEnabled(button) || !IsWindowVisible(button)) return false;
    if ((window->style & BS_TYPEMASK) == BS_GROUPBOX) return false;
    SendMessageA(button, BM_CLICK, 0, 0);
    return true;
}

bool UserClickIntoEdit(HWND edit) {
    Window *window = FindWindowRecord(edit);
    if (!window || window->kind != WindowKind::Edit) return false;
    if (!IsWindowEnabled(edit) || !IsWindowVisible(edit)) return false;
    SetFocus(edit);
    if (GetFocus() != edit) return false;
    LPARAM end = static_cast<LPARAM>(window->text.size());
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
    return true;
}

bool UserKey(HWND dialog, unsigned char key) {
    Window *window = FindWindowRecord(dialog);
    if (!window || window->kind != WindowKind::Dialog) return false;
    HWND focus = GetFocus();
    Window *focused = (focus && IsChild(dialog, focus)) ? FindWindowRecord(focus) : nullptr;
    if (key == '\r') {
        if (focused && focused->kind == WindowKind::Edit && (focused->style & ES_MULTILINE) &&
            (focused->style & ES_WANTRETURN)) {
            SendMessageA(focus, WM_CHAR, '\r', 0);
            return true;
        }
        if (focused && focused->kind == WindowKind::Button) {
            DWORD type = focused->style & BS_TYPEMASK;
            if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(focused->id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(focus));
                return true;
            }
        }
        // The default button, unless it is disabled; IDOK when there is none.
        LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
        if (HIWORD(defaultId) == DC_HASDEFID) {
            HWND button = GetDlgItem(dialog, LOWORD(defaultId));
            if (!button || IsWindowEnabled(button))
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(LOWORD(defaultId), BN_CLICKED),
                             reinterpret_cast<LPARAM>(button));
        } else {
            SendMessageA(dialog, WM_COMMAND, IDOK,
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        }
        return true;
    }
    if (key == VK_ESCAPE) {
        // A multi-line edit turns Escape into the close box.
        if (focused && focused->kind == WindowKind::Edit && (focused->style & ES_MULTILINE)) {
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            return true;
        }
        SendMessageA(dialog, WM_COMMAND, IDCANCEL,
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return true;
    }
    if (key == '\t') {
        if (HWND next = GetNextDlgTabItem(dialog, focus, FALSE)) DialogFocus(next);
        return true;
    }
    if (!focused) return false;
    SendMessageA(focus, WM_CHAR, key, 0);
    return true;
}

bool UserCloseBox(HWND dialog) {
    Window *window = FindWindowRecord(dialog);
    if (!window || window->kind != WindowKind::Dialog) return false;
    if (window->style & WS_SYSMENU) SendMessageA(dialog, WM_CLOSE, 0, 0);
    return true;
}

}  // namespace portable

using namespace portable;

namespace {

// What a modal dialog holds while it runs, given back however it ends: its
// place on the stack of modal dialogs, its owner's input, its window, its font.
struct ModalRun {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    HFONT font = nullptr;
    bool ownerDisabled = false;

    void End() {
        for (auto it = modalDialogs.begin(); it != modalDialogs.end(); ++it) {
            if (*it == dialog) {
                modalDialogs.erase(it);
                break;
            }
        }
        if (ownerDisabled) EnableWindow(owner, TRUE);
        ownerDisabled = false;
        if (Window *window = dialog ? FindWindowRecord(dialog) : nullptr) {
            if (window->style & WS_VISIBLE) window->style &= ~static_cast<DWORD>(WS_VISIBLE);
            DestroyWindowRecord(dialog);
        }
        dialog = nullptr;
        if (font) DeleteObject(font);
        font = nullptr;
        if (owner && IsWindow(owner)) {
            SetActiveWindow(owner);
            SetFocus(owner);
        } else {
            SetActiveWindow(modalDialogs.empty() ? nullptr : modalDialogs.back());
        }
    }
};

INT_PTR RunModalDialog(ModalRun &run, HINSTANCE instance, LPCSTR templateName, DLGPROC procedure,
                       LPARAM parameter);

}  // namespace

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC procedure, LPARAM parameter) {
    if (owner && !IsWindow(owner)) return -1;
    ModalRun run;
    run.owner = owner;
    // As on Windows, a dialog that cannot be made or run for want of memory
    // is -1, never an exception; what was made of it goes again.
    try {
        INT_PTR result = RunModalDialog(run, instance, templateName, procedure, parameter);
        run.End();
        return result;
    } catch (const std::bad_alloc &) {
        try {
            run.End();
        } catch (const std::bad_alloc &) {
        }
        return -1;
    }
}

namespace {

INT_PTR RunModalDialog(ModalRun &run, HINSTANCE instance, LPCSTR templateName, DLGPROC procedure,
                       LPARAM parameter) {
    const HWND owner = run.owner;
    const DialogTemplate *dialogTemplate = FindDialogTemplate(instance, templateName);
    if (!dialogTemplate) return -1;
    HWND dialog = BuildDialog(instance, *dialogTemplate, owner, procedure, run.font);
    if (!dialog) return -1;
    run.dialog = dialog;

    modalDialogs.push_back(dialog);
    HWND firstTab = GetNextDlgTabItem(dialog, nullptr, FALSE);
    LRESULT focusBySystem = SendMessageA(dialog, WM_INITDIALOG,
                                         reinterpret_cast<WPARAM>(firstTab), parameter);
    if (focusBySystem && firstTab && IsWindow(firstTab)) DialogFocus(firstTab);

    // Shown and modal: the owner takes no input until the dialog ends.
    if (Window *window = FindWindowRecord(dialog)) {
        window->style |= WS_VISIBLE;
        SetActiveWindow(dialog);
        if (owner && IsWindowEnabled(owner)) {
            EnableWindow(owner, FALSE);
            run.ownerDisabled = true;
        }
    }
    bool failed = false;
    Window *window = FindWindowRecord(dialog);
    if (window && !DialogOf(*window)->ended) {
        if (FrontEnd *frontEnd = CurrentFrontEnd()) {
            frontEnd->RunDialog(dialog);
        } else {
            failed = true;
        }
    }
    INT_PTR result = IDCANCEL;
    window = FindWindowRecord(dialog);
    if (window && DialogOf(*window)->ended) result = DialogOf(*window)->result;
    return failed ? -1 : result;
}

}  // namespace

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result) {
    Window *window = FindWindowRecord(dialog);
    DialogState *state = window ? DialogOf(*window) : nullptr;
    if (!state) return FALSE;
    if (!state->ended) {
        state->ended = true;
        state->result = result;
    }
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    Window *window = FindWindowRecord(dialog);
    DialogState *state = window ? DialogOf(*window) : nullptr;
    if (!state || !rect) return FALSE;
    rect->left = MulDiv(rect->left, state->baseUnitX, 4);
    rect->right = MulDiv(rect->right, state->baseUnitX, 4);
    rect->top = MulDiv(rect->top, state->baseUnitY, 8);
    rect->bottom = MulDiv(rect->bottom, state->baseUnitY, 8);
    return TRUE;
}
