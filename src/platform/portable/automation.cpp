// The automation API: the user's hands and eyes on the open dialogs.
#include "platform/portable/automation.h"

#include "platform/portable/user/dialog.h"
#include "platform/portable/user/listbox.h"
#include "platform/portable/user/user_input.h"

namespace portable {
namespace automation {
namespace {

std::string lastError;

bool Fail(const std::string &why) {
    lastError = why;
    return false;
}

std::string WithArticle(const std::string &kind) {
    if (kind.empty()) return "nothing";
    return (std::string("aeiou").find(kind[0]) != std::string::npos ? "an " : "a ") + kind;
}

std::string Describe(HWND dialog, int id) {
    return "control " + std::to_string(id) + " of \"" + Caption(dialog) + "\"";
}

// The control when the user can reach it, else null with the reason kept.
Window *Reachable(HWND dialog, int id, const char *action) {
    Window *dialogWindow = FindWindowRecord(dialog);
    if (!dialogWindow || dialogWindow->kind != WindowKind::Dialog) {
        Fail(std::string("cannot ") + action + ": the dialog is not open");
        return nullptr;
    }
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        Fail(std::string("cannot ") + action + ": \"" + Caption(dialog) + "\" has no control " +
             std::to_string(id));
        return nullptr;
    }
    if (!IsWindowVisible(control)) {
        Fail(std::string("cannot ") + action + ": " + Describe(dialog, id) + " is hidden");
        return nullptr;
    }
    if (!IsWindowEnabled(control)) {
        Fail(std::string("cannot ") + action + ": " + Describe(dialog, id) + " is disabled");
        return nullptr;
    }
    if (dialogWindow->style & WS_DISABLED) {
        Fail(std::string("cannot ") + action + ": \"" + Caption(dialog) +
             "\" is waiting for a dialog it opened");
        return nullptr;
    }
    return FindWindowRecord(control);
}

Window *OfKind(HWND dialog, int id, WindowKind kind, const char *action, const char *kindName) {
    Window *window = Reachable(dialog, id, action);
    if (!window) return nullptr;
    if (window->kind != kind) {
        Fail(std::string("cannot ") + action + ": " + Describe(dialog, id) + " is " +
             WithArticle(ControlKind(dialog, id)) + ", not " + WithArticle(kindName));
        return nullptr;
    }
    return window;
}

// The list box's own state, or null when the control is none.
ListBoxState *ListOf(HWND dialog, int id) {
    Window *window = FindWindowRecord(GetDlgItem(dialog, id));
    return window ? ListBoxOf(*window) : nullptr;
}

}  // namespace

const std::string &LastError() { return lastError; }

std::vector<HWND> OpenDialogs() { return ModalDialogs(); }

HWND InnermostDialog() {
    const auto &dialogs = ModalDialogs();
    return dialogs.empty() ? nullptr : dialogs.back();
}

HWND FindDialog(const std::string &caption) {
    const auto &dialogs = ModalDialogs();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it)
        if (Caption(*it) == caption) return *it;
    return nullptr;
}

bool HasEnded(HWND dialog) {
    Window *window = FindWindowRecord(dialog);
    DialogState *state = window ? DialogOf(*window) : nullptr;
    return !state || state->ended;
}

std::string Caption(HWND dialog) {
    Window *window = FindWindowRecord(dialog);
    return window ? window->text : std::string();
}

HWND Control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string ControlText(HWND dialog, int id) {
    Window *window = FindWindowRecord(GetDlgItem(dialog, id));
    return window ? window->text : std::string();
}

bool IsEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
bool IsVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool HasFocus(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control && GetFocus() == control;
}

std::string ControlKind(HWND dialog, int id) { return KindOf(GetDlgItem(dialog, id)); }

std::vector<HWND> Controls(HWND dialog) {
    Window *window = FindWindowRecord(dialog);
    if (!window || window->kind != WindowKind::Dialog) return {};
    return window->children;
}

std::string KindOf(HWND control) {
    Window *window = FindWindowRecord(control);
    if (!window) return "";
    switch (window->kind) {
    case WindowKind::Edit: return "edit";
    case WindowKind::ListBox: return "list box";
    case WindowKind::Static:
        return (window->style & SS_TYPEMASK) == SS_ICON ? "icon" : "static";
    case WindowKind::Dialog: return "dialog";
    case WindowKind::Button:
        switch (window->style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return "check box";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return "radio button";
        case BS_GROUPBOX: return "group box";
        default: return "button";
        }
    }
    return "";
}

bool Type(HWND dialog, int id, const std::string &text) {
    Window *edit = OfKind(dialog, id, WindowKind::Edit, "type", "edit");
    if (!edit) return false;
    if (edit->style & ES_READONLY)
        return Fail("cannot type: " + Describe(dialog, id) + " is read-only");
    HWND control = edit->handle;
    if (!UserClickIntoEdit(control)) return Fail("cannot type: " + Describe(dialog, id) +
                                                 " does not take the focus");
    for (size_t i = 0; i < text.size(); ++i) {
        if (HasEnded(dialog) || !IsWindow(control)) break;
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            UserKey(dialog, '\r');
        } else {
            SendMessageA(control, WM_CHAR, c, 0);
        }
    }
    return true;
}

bool ClearText(HWND dialog, int id) {
    Window *edit = OfKind(dialog, id, WindowKind::Edit, "clear", "edit");
    if (!edit) return false;
    if (edit->style & ES_READONLY)
        return Fail("cannot clear: " + Describe(dialog, id) + " is read-only");
    HWND control = edit->handle;
    if (!UserClickIntoEdit(control)) return Fail("cannot clear: " + Describe(dialog, id) +
                                                 " does not take the focus");
    SendMessageA(control, EM_SETSEL, 0, -1);
    SendMessageA(control, WM_CHAR, VK_BACK, 0);
    return true;
}

bool PressEnter(HWND dialog) {
    if (!FindWindowRecord(dialog)) return Fail("cannot press Enter: the dialog is not open");
    return UserKey(dialog, '\r');
}

bool PressEscape(HWND dialog) {
    if (!FindWindowRecord(dialog)) return Fail("cannot press Escape: the dialog is not open");
    return UserKey(dialog, VK_ESCAPE);
}

bool PressTab(HWND dialog) {
    if (!FindWindowRecord(dialog)) return Fail("cannot press Tab: the dialog is not open");
    return UserKey(dialog, '\t');
}

bool Close(HWND dialog) {
    if (!FindWindowRecord(dialog)) return Fail("cannot close: the dialog is not open");
    return UserCloseBox(dialog);
}

bool Click(HWND dialog, int id) {
    Window *button = OfKind(dialog, id, WindowKind::Button, "click", "button");
    if (!button) return false;
    if ((button->style & BS_TYPEMASK) == BS_GROUPBOX)
        return Fail("cannot click: " + Describe(dialog, id) + " is a group box");
    return UserClickButton(button->handle) ? true : Fail("cannot click " + Describe(dialog, id));
}

int LineCount(HWND dialog, int id) {
    ListBoxState *list = ListOf(dialog, id);
    return list ? static_cast<int>(list->lines.Count()) : -1;
}

std::string LineText(HWND dialog, int id, int index) {
    ListBoxState *list = ListOf(dialog, id);
    if (!list || index < 0 || index >= static_cast<int>(list->lines.Count())) return "";
    return std::string(list->lines.Text(static_cast<size_t>(index)));
}

int FindLine(HWND dialog, int id, const std::string &text) {
    ListBoxState *list = ListOf(dialog, id);
    if (!list) return -1;
    for (size_t i = 0; i < list->lines.Count(); ++i)
        if (list->lines.Text(i) == text) return static_cast<int>(i);
    return -1;
}

std::vector<int> SelectedLines(HWND dialog, int id) {
    std::vector<int> lines;
    ListBoxState *list = ListOf(dialog, id);
    if (!list) return lines;
    if (GetWindowLongPtrA(GetDlgItem(dialog, id), GWL_STYLE) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        lines.resize(list->lines.SelectedCount());
        list->lines.SelectedIndexes(lines.data(), lines.size());
    } else if (list->curSel >= 0) {
        lines.push_back(list->curSel);
    }
    return lines;
}

static bool ClickListLine(HWND dialog, int id, int index, bool doubleClick) {
    const char *action = doubleClick ? "double-click a line" : "click a line";
    Window *list = OfKind(dialog, id, WindowKind::ListBox, action, "list box");
    if (!list) return false;
    size_t count = ListBoxOf(*list)->lines.Count();
    if (index < 0 || index >= static_cast<int>(count))
        return Fail(std::string("cannot ") + action + ": " + Describe(dialog, id) + " has " +
                    std::to_string(count) + " lines, no line " + std::to_string(index));
    return UserClickLine(list->handle, index, doubleClick);
}

bool ClickLine(HWND dialog, int id, int index) { return ClickListLine(dialog, id, index, false); }

bool DoubleClickLine(HWND dialog, int id, int index) {
    return ClickListLine(dialog, id, index, true);
}

bool FocusControl(HWND dialog, int id) {
    Window *window = Reachable(dialog, id, "focus");
    if (!window) return false;
    if (window->kind == WindowKind::Edit) return UserClickIntoEdit(window->handle);
    SetFocus(window->handle);
    return true;
}

std::vector<std::string> EditLines(HWND dialog, int id) {
    std::vector<std::string> lines;
    HWND control = GetDlgItem(dialog, id);
    Window *window = FindWindowRecord(control);
    if (!window || window->kind != WindowKind::Edit) return lines;
    int count = static_cast<int>(SendMessageA(control, EM_GETLINECOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::string buffer(window->text.size() + 2, '\0');
        WORD size = static_cast<WORD>(buffer.size() > 0xFFFF ? 0xFFFF : buffer.size());
        buffer[0] = static_cast<char>(size & 0xFF);
        buffer[1] = static_cast<char>(size >> 8);
        LRESULT copied = SendMessageA(control, EM_GETLINE, static_cast<WPARAM>(i),
                                      reinterpret_cast<LPARAM>(buffer.data()));
        lines.push_back(buffer.substr(0, static_cast<size_t>(copied)));
    }
    return lines;
}

}  // namespace automation
}  // namespace portable
