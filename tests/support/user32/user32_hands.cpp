#include "support/user32/user32_hands.h"

namespace user32 {
namespace {

LONG_PTR Style(HWND window) { return GetWindowLongPtrA(window, GWL_STYLE); }

constexpr UINT ScanCode(UINT virtualKey) {
    return virtualKey == VK_RETURN ? 0x1C : virtualKey == VK_ESCAPE ? 0x01 : virtualKey == VK_TAB ? 0x0F : 0;
}

}  // namespace

bool Reachable(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

bool IsEdit(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}

void FocusByUser(HWND control) {
    if (IsEdit(control)) {
        SetFocus(control);
        LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
        SendMessageA(control, EM_SETSEL, length, length);
    } else {
        SendMessageA(GetAncestor(control, GA_ROOT), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

HWND KeyTarget(HWND dialog) {
    HWND focus = GetFocus();
    if (focus && (focus == dialog || IsChild(dialog, focus))) return focus;
    return dialog;
}

void PressKey(HWND target, UINT virtualKey) {
    LPARAM down = 1 | (static_cast<LPARAM>(ScanCode(virtualKey)) << 16);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, WM_KEYUP, virtualKey, down | (1u << 30) | (1u << 31));
}

void TypeKeys(HWND edit, const std::string &text) {
    FocusByUser(edit);
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\r' && c != '\n') {
            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
            continue;
        }
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        bool wantsReturn = (Style(edit) & (ES_MULTILINE | ES_WANTRETURN)) == (ES_MULTILINE | ES_WANTRETURN);
        if (wantsReturn)
            PostMessageA(edit, WM_CHAR, '\r', 1 | (ScanCode(VK_RETURN) << 16));
        else
            PressKey(edit, VK_RETURN);
    }
}

void ClearEdit(HWND edit) {
    FocusByUser(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_CHAR, VK_BACK, 1 | (0x0E << 16));
}

void ClickButton(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

bool ClickLine(HWND list, int index, bool twice) {
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) return false;
    RECT client{}, item{};
    GetClientRect(list, &client);
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    if (item.top < client.top || item.bottom > client.bottom) {
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    }
    LONG left = item.left > client.left ? item.left : client.left;
    LONG right = item.right < client.right ? item.right : client.right;
    LPARAM at = MAKELPARAM((left + right) / 2, (item.top + item.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
    }
    return true;
}

void CloseBox(HWND dialog) {
    if (Style(dialog) & WS_SYSMENU) PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

}  // namespace user32
