#include "support/user32/script_hands.h"

#include "support/user32/dialog_thread.h"
#include "support/user32/user32_hands.h"

#include <algorithm>

namespace user32 {
namespace {

constexpr int kMessageBoxText = 0xFFFF;  // the static that holds a message box's text

LONG_PTR Style(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

script::Kind KindOf(HWND control) {
    using script::Kind;
    std::string name = ClassName(control);
    if (lstrcmpiA(name.c_str(), "Edit") == 0) return Kind::Edit;
    if (lstrcmpiA(name.c_str(), "ListBox") == 0) return Kind::ListBox;
    if (lstrcmpiA(name.c_str(), "Static") == 0) return (Style(control) & SS_TYPEMASK) == SS_ICON ? Kind::Icon : Kind::Static;
    if (lstrcmpiA(name.c_str(), "Button") != 0) return Kind::None;
    switch (Style(control) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return Kind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return Kind::RadioButton;
    case BS_GROUPBOX: return Kind::GroupBox;
    default: return Kind::Button;
    }
}

std::string ListLine(HWND list, int index) {
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::string text(length + 1, '\0');
    LRESULT got = SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == LB_ERR ? 0 : got);
    return text;
}

std::string EditLine(HWND edit, int index) {
    char buffer[4096] = {};
    *reinterpret_cast<WORD *>(buffer) = sizeof buffer - 1;
    LRESULT got = SendMessageA(edit, EM_GETLINE, index, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, got);
}

std::vector<int> SelectedLines(HWND list) {
    std::vector<int> lines;
    if (Style(list) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
        LRESULT count = SendMessageA(list, LB_GETSELCOUNT, 0, 0);
        if (count > 0) {
            lines.resize(count);
            LRESULT got = SendMessageA(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(lines.data()));
            lines.resize(got < 0 ? 0 : got);
        }
    } else {
        LRESULT current = SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (current != LB_ERR) lines.push_back(static_cast<int>(current));
    }
    return lines;
}

std::vector<int> ButtonsOf(HWND box) {
    // In the box's order, left to right.
    std::vector<std::pair<LONG, int>> found;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (!button || !(Style(button) & WS_VISIBLE)) continue;
        RECT rect{};
        GetWindowRect(button, &rect);
        found.push_back({rect.left, id});
    }
    std::sort(found.begin(), found.end());
    std::vector<int> buttons;
    for (const auto &entry : found) buttons.push_back(entry.second);
    return buttons;
}

}  // namespace

script::Top ScriptHands::OnTop() {
    script::Top top;
    HWND window = Innermost();
    if (!window) return top;
    top.caption = WindowText(window);
    if (!IsMessageBox(window)) {
        top.what = script::Top::What::Dialog;
        return top;
    }
    top.what = script::Top::What::Message;
    top.text = WindowText(GetDlgItem(window, kMessageBoxText));
    OnDialogThread([&] { top.buttons = ButtonsOf(window); });
    return top;
}

script::ControlView ScriptHands::Look(int id, bool readLines) {
    script::ControlView view;
    HWND dialog = Innermost();
    if (!dialog) return view;
    OnDialogThread([&] {
        HWND control = GetDlgItem(dialog, id);
        if (!control) return;
        view.kind = KindOf(control);
        view.enabled = IsWindowEnabled(control) != FALSE;
        view.visible = (Style(control) & WS_VISIBLE) != 0;
        view.focused = GetFocus() == control;
        view.text = WindowText(control);
        switch (view.kind) {
        case script::Kind::CheckBox:
        case script::Kind::RadioButton:
        case script::Kind::Button: view.checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; break;
        case script::Kind::Edit: {
            view.readOnly = (Style(control) & ES_READONLY) != 0;
            view.lineCount = static_cast<int>(SendMessageA(control, EM_GETLINECOUNT, 0, 0));
            for (int i = 0; readLines && i < view.lineCount; ++i) view.lines.push_back(EditLine(control, i));
            break;
        }
        case script::Kind::ListBox: {
            view.lineCount = static_cast<int>(SendMessageA(control, LB_GETCOUNT, 0, 0));
            for (int i = 0; readLines && i < view.lineCount; ++i) view.lines.push_back(ListLine(control, i));
            view.selected = SelectedLines(control);
            break;
        }
        default: break;
        }
    });
    return view;
}

std::string ScriptHands::Act(const std::function<std::string(HWND top)> &work) {
    HWND top = Innermost();
    if (!top) return "no dialog is open";
    std::string why;
    if (!OnDialogThread([&] { why = work(top); })) return "the dialogs stopped answering";
    if (!why.empty()) return why;
    return Settle() ? std::string() : "the dialogs stopped answering";
}

std::string ScriptHands::Type(int id, const std::string &text) {
    return Act([&](HWND dialog) {
        TypeKeys(GetDlgItem(dialog, id), text);
        return std::string();
    });
}

std::string ScriptHands::Clear(int id) {
    return Act([&](HWND dialog) {
        ClearEdit(GetDlgItem(dialog, id));
        return std::string();
    });
}

std::string ScriptHands::Click(int id) {
    return Act([&](HWND dialog) {
        ClickButton(GetDlgItem(dialog, id));
        return std::string();
    });
}

std::string ScriptHands::ClickLine(int id, int index, bool twice) {
    return Act([&](HWND dialog) {
        return user32::ClickLine(GetDlgItem(dialog, id), index, twice) ? std::string() : "no such line";
    });
}

std::string ScriptHands::Focus(int id) {
    return Act([&](HWND dialog) {
        FocusByUser(GetDlgItem(dialog, id));
        return std::string();
    });
}

std::string ScriptHands::Press(script::Key key) {
    UINT virtualKey = key == script::Key::Enter ? VK_RETURN : key == script::Key::Escape ? VK_ESCAPE : VK_TAB;
    return Act([&](HWND dialog) {
        PressKey(KeyTarget(dialog), virtualKey);
        return std::string();
    });
}

std::string ScriptHands::CloseBox() {
    return Act([&](HWND dialog) {
        user32::CloseBox(dialog);
        return std::string();
    });
}

std::string ScriptHands::Answer(int button) {
    return Act([&](HWND box) {
        HWND pressed = GetDlgItem(box, button);
        if (!pressed) return std::string("the message box has no such button");
        ClickButton(pressed);
        return std::string();
    });
}

void PlayScript(script::Script &script) {
    ScriptHands hands;
    Settle();  // the first dialog is up, or the call has returned
    while (script.Step(hands)) {
    }
    if (!script.Failed() && !script.HasLinesLeft()) {
        // After the last line the call should come back by itself.
        for (int i = 0; i < 100 && !IsCallFinished(); ++i) {
            Settle(200);
            if (!IsCallFinished()) Sleep(30);
        }
        if (!IsCallFinished()) script.RanOut(hands);
    }
    if (!script.Failed()) return;
    // Leave nothing open: the call must come back for the run to end.
    for (int round = 0; round < 200 && !IsCallFinished(); ++round) {
        Settle(2000);
        HWND top = Innermost();
        if (!top) {
            Sleep(50);
            continue;
        }
        if (!script.DismissMessageBox(hands)) ForceEndDialog(top);
        Sleep(20);
    }
}

}  // namespace user32
