#include "script_runner.h"

#include "dialog_driver.h"

#include <windows.h>

namespace e2e {

namespace {

constexpr int kMessageBoxText = 0xFFFF;  // the static that holds a message box's text

bool IsListBox(HWND control) { return ClassName(control) == "ListBox"; }
bool IsEdit(HWND control) { return ClassName(control) == "Edit"; }
LONG_PTR Style(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

DWORD_PTR Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK, 10000, &result);
    return result;
}

void PostKey(HWND target, UINT virtualKey, UINT scanCode) {
    LPARAM down = 1 | (static_cast<LPARAM>(scanCode) << 16);
    LPARAM up = down | (1u << 30) | (1u << 31);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, WM_KEYUP, virtualKey, up);
}

// The window that gets key presses: the focused control when it belongs
// to this dialog, else the dialog itself.
HWND KeyTarget(HWND dialog) {
    HWND focus = FocusedWindow();
    if (focus && (focus == dialog || IsChild(dialog, focus))) return focus;
    return dialog;
}

int LineCount(HWND control) {
    return static_cast<int>(static_cast<LRESULT>(Send(control, IsListBox(control) ? LB_GETCOUNT : EM_GETLINECOUNT, 0, 0)));
}

std::string ListLine(HWND list, int index) {
    LRESULT length = static_cast<LRESULT>(Send(list, LB_GETTEXTLEN, index, 0));
    if (length == LB_ERR) return {};
    std::string text(length + 1, '\0');
    LRESULT got = static_cast<LRESULT>(Send(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data())));
    text.resize(got == LB_ERR ? 0 : got);
    return text;
}

std::string EditLine(HWND edit, int index) {
    char buffer[4096] = {};
    *reinterpret_cast<WORD *>(buffer) = sizeof buffer - 1;
    LRESULT got = static_cast<LRESULT>(Send(edit, EM_GETLINE, index, reinterpret_cast<LPARAM>(buffer)));
    return std::string(buffer, got);
}

std::vector<int> SelectedLines(HWND list) {
    std::vector<int> lines;
    if (Style(list) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        int count = static_cast<int>(static_cast<LRESULT>(Send(list, LB_GETSELCOUNT, 0, 0)));
        if (count > 0) {
            lines.resize(count);
            int got = static_cast<int>(
                static_cast<LRESULT>(Send(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(lines.data()))));
            lines.resize(got < 0 ? 0 : got);
        }
    } else {
        LRESULT current = static_cast<LRESULT>(Send(list, LB_GETCURSEL, 0, 0));
        if (current != LB_ERR) lines.push_back(static_cast<int>(current));
    }
    return lines;
}

std::string Quote(const std::string &s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 32 || c > 126) {
            char hex[8];
            wsprintfA(hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Lines(const std::vector<int> &lines) {
    if (lines.empty()) return "none";
    std::string out;
    for (int i : lines) out += (out.empty() ? "#" : " #") + std::to_string(i);
    return out;
}

// A user's click (or double click) on a list line: the line is scrolled
// into view, then the mouse goes down and up over its middle.
std::string ClickListLine(HWND list, int index, bool twice) {
    int count = LineCount(list);
    if (index < 0 || index >= count)
        return "no line #" + std::to_string(index) + " (the list has " + std::to_string(count) + ")";
    RECT client{};
    GetClientRect(list, &client);
    RECT item{};
    Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    if (item.top < client.top || item.bottom > client.bottom) {
        Send(list, LB_SETTOPINDEX, index, 0);
        Send(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    }
    int x = (std::max(item.left, client.left) + std::min(item.right, client.right)) / 2;
    int y = (item.top + item.bottom) / 2;
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }
    return {};
}

int FindListLine(HWND list, const std::string &text) {
    int count = LineCount(list);
    for (int i = 0; i < count; ++i)
        if (ListLine(list, i) == text) return i;
    return -1;
}

void Focus(HWND dialog, HWND control) {
    Send(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// Typing: each character is a WM_CHAR posted to the edit; Enter is the key
// itself, so the dialog decides between a line break and the default button.
void Type(HWND dialog, HWND edit, const std::string &text) {
    Focus(dialog, edit);
    // The click into the field lands behind its last character.
    LRESULT length = static_cast<LRESULT>(Send(edit, WM_GETTEXTLENGTH, 0, 0));
    Send(edit, EM_SETSEL, length, length);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            bool wantsReturn = (Style(edit) & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN);
            if (wantsReturn)
                PostMessageA(edit, WM_CHAR, '\r', 1 | (0x1C << 16));
            else
                PostKey(edit, VK_RETURN, 0x1C);
            continue;
        }
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

}  // namespace

void ScriptRunner::Fail(const ScriptAction *action, HWND top, const std::string &why) {
    std::string message = name_;
    if (action) message += ":" + std::to_string(action->line) + ": " + action->source;
    if (top) message += ": " + std::string(IsMessageBox(top) ? "message box " : "dialog ") + Quote(WindowText(top));
    if (action && action->hasControl) message += ": control " + std::to_string(action->control);
    message += ": " + why;
    errors_.push_back(message);
}

std::string ScriptRunner::Answer(const ScriptAction &action, HWND box) {
    std::string text = WindowText(GetDlgItem(box, kMessageBoxText));
    std::string caption = WindowText(box);
    boxes_.push_back({caption, text});
    if (action.hasText && text != action.text) return "the message box says " + Quote(text);
    HWND button = GetDlgItem(box, action.number);
    if (!button || !(Style(button) & WS_VISIBLE)) return "the message box has no such button";
    PostMessageA(button, BM_CLICK, 0, 0);
    return {};
}

std::string ScriptRunner::Perform(const ScriptAction &a, HWND top) {
    if (a.verb == "answer") {
        if (!IsMessageBox(top)) return "no message box is shown";
        return Answer(a, top);
    }
    if (IsMessageBox(top))
        return "a message box is shown: " + Quote(WindowText(GetDlgItem(top, kMessageBoxText)));
    return PerformOnDialog(a, top);
}

std::string ScriptRunner::PerformOnDialog(const ScriptAction &a, HWND dialog) {
    const std::string &v = a.verb;
    if (v == "dialog") {
        std::string caption = WindowText(dialog);
        return caption == a.text ? "" : "the dialog on top is " + Quote(caption);
    }
    if (v == "enter" || v == "escape" || v == "tab") {
        if (v == "enter") PostKey(KeyTarget(dialog), VK_RETURN, 0x1C);
        if (v == "escape") PostKey(KeyTarget(dialog), VK_ESCAPE, 0x01);
        if (v == "tab") PostKey(KeyTarget(dialog), VK_TAB, 0x0F);
        return {};
    }
    if (v == "close") {
        // No system menu, no close box: the user cannot close it this way.
        if (Style(dialog) & WS_SYSMENU) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return {};
    }

    HWND control = GetDlgItem(dialog, a.control);
    if (!control) return "the dialog has no such control";
    bool enabled = IsWindowEnabled(control);
    bool visible = (Style(control) & WS_VISIBLE) != 0;

    if (v == "expect-enabled") return enabled ? "" : "it is disabled";
    if (v == "expect-disabled") return !enabled ? "" : "it is enabled";
    if (v == "expect-visible") return visible ? "" : "it is hidden";
    if (v == "expect-hidden") return !visible ? "" : "it is visible";
    if (v == "expect-checked" || v == "expect-unchecked") {
        bool checked = Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (v == "expect-checked") return checked ? "" : "it is not checked";
        return !checked ? "" : "it is checked";
    }
    if (v == "expect-focus") return FocusedWindow() == control ? "" : "it does not have the focus";
    if (v == "expect-text") {
        std::string text = WindowText(control);
        return text == a.text ? "" : "its text is " + Quote(text);
    }
    if (v == "expect-lines") {
        int count = LineCount(control);
        return count == a.number ? "" : "it has " + std::to_string(count) + " lines";
    }
    if (v == "expect-line") {
        int count = LineCount(control);
        if (a.number >= count) return "it has only " + std::to_string(count) + " lines";
        std::string line = IsListBox(control) ? ListLine(control, a.number) : EditLine(control, a.number);
        return line == a.text ? "" : "the line reads " + Quote(line);
    }
    if (v == "expect-selected") {
        if (!IsListBox(control)) return "it is not a list box";
        std::vector<int> lines = SelectedLines(control);
        return lines == a.indexes ? "" : "the selected lines are " + Lines(lines);
    }

    // The hands: only on what a user can reach.
    if (!visible) return "it is hidden";
    if (!enabled) return "it is disabled";
    if (v == "type" || v == "clear") {
        if (!IsEdit(control)) return "it is not an edit field";
        if (v == "clear") {
            Focus(dialog, control);
            Send(control, EM_SETSEL, 0, -1);
            PostMessageA(control, WM_CHAR, VK_BACK, 1 | (0x0E << 16));
        } else {
            Type(dialog, control, a.text);
        }
        return {};
    }
    if (v == "click") {
        PostMessageA(control, BM_CLICK, 0, 0);
        return {};
    }
    if (v == "check" || v == "uncheck") {
        bool checked = Send(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (checked != (v == "check")) PostMessageA(control, BM_CLICK, 0, 0);
        return {};
    }
    if (v == "focus") {
        Focus(dialog, control);
        return {};
    }
    if (v == "select" || v == "dblclick") {
        if (!IsListBox(control)) return "it is not a list box";
        int index = a.number;
        if (!a.lineByIndex) {
            index = FindListLine(control, a.text);
            if (index < 0) return "no line reads " + Quote(a.text);
        }
        return ClickListLine(control, index, v == "dblclick");
    }
    return "cannot perform " + v;
}

void ScriptRunner::CloseEverything() {
    // Leave nothing open: the call must come back for the run to end.
    for (int round = 0; round < 200 && !IsCallFinished(); ++round) {
        Settle(2000);
        HWND top = Innermost();
        if (!top) {
            Sleep(50);
            continue;
        }
        if (IsMessageBox(top)) {
            boxes_.push_back({WindowText(top), WindowText(GetDlgItem(top, kMessageBoxText))});
            for (int id : {IDCANCEL, IDNO, IDABORT, IDOK}) {
                HWND button = GetDlgItem(top, id);
                if (button) {
                    PostMessageA(button, BM_CLICK, 0, 0);
                    break;
                }
            }
        } else {
            ForceEndDialog(top);
        }
        Sleep(20);
    }
}

void ScriptRunner::Run() {
    for (const ScriptAction &action : actions_) {
        if (!Settle()) {
            Fail(&action, Innermost(), "the dialogs stopped answering");
            break;
        }
        HWND top = Innermost();
        if (!top) {
            Fail(&action, nullptr, IsCallFinished() ? "no dialog is open any more (the call has returned)"
                                                    : "no dialog is open");
            break;
        }
        std::string why = Perform(action, top);
        if (!why.empty()) {
            Fail(&action, top, why);
            break;
        }
    }
    if (!Failed()) {
        // After the last line the call should come back by itself.
        for (int i = 0; i < 100 && !IsCallFinished(); ++i) {
            Settle(200);
            if (!IsCallFinished()) Sleep(30);
        }
        if (!IsCallFinished()) {
            HWND top = Innermost();
            Fail(nullptr, top, "the script ran out while this is still open");
        }
    }
    if (Failed()) CloseEverything();
}

}  // namespace e2e
