// The behaviour harness over real USER32 (Windows, or Wine here): the
// module's own templates from OrvixFax.dll, a test dialog procedure, and
// hands that post real key and mouse messages through the dialog's own
// message loop. The body runs on the dialog's thread, inside the modal
// loop, so the tests call the API exactly as a dialog procedure would.
#include "behaviour/behaviour_harness.h"

#include <windows.h>

namespace behaviour {
namespace {

constexpr UINT kRunBody = WM_APP + 7;
constexpr UINT kMarker = WM_APP + 8;

struct Run {
    const std::function<void(HWND)> *body = nullptr;
    Recorder *notes = nullptr;
    CommandHandler onCommand;
    bool bodyDone = false;  // the body has run (and recording has stopped)
};
Run *current = nullptr;

HWND helper = nullptr;
unsigned long markersPosted = 0;
unsigned long markersTaken = 0;

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMarker) {
        if (wParam > markersTaken) markersTaken = static_cast<unsigned long>(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Helper() {
    if (!helper) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HelperProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "OrvixBehaviourHelper";
        RegisterClassA(&wc);
        helper = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    return helper;
}

// Lets the dialog's thread (this one) work through what the hands posted,
// as the modal loop would: keys go through IsDialogMessage of their dialog.
// A loop nested in the meantime (a message box) may take the marker; the
// count tells. USER32 itself posts follow-ups (the close box's IDCANCEL,
// an edit's Enter handed to the default button), so it goes on until no
// posted message is left, a few rounds at most.
void Settle() {
    for (int round = 0; round < 8; ++round) {
        unsigned long sequence = ++markersPosted;
        PostMessageA(Helper(), kMarker, sequence, 0);
        MSG msg;
        while (markersTaken < sequence && GetMessageA(&msg, nullptr, 0, 0) > 0) {
            HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
            if (root && root != Helper() && IsDialogMessageA(root, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE)) break;
    }
}

// A person reaches only what is shown and enabled.
bool Reachable(HWND control) { return control && IsWindowVisible(control) && IsWindowEnabled(control); }

bool IsEdit(HWND control) {
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    return lstrcmpiA(name, "Edit") == 0;
}

// The focus as a user gives it: a click into an edit puts the caret after
// the last character; any other control is reached as by the Tab key.
void Focus(HWND control) {
    if (IsEdit(control)) {
        SetFocus(control);
        LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
        SendMessageA(control, EM_SETSEL, length, length);
    } else {
        SendMessageA(GetAncestor(control, GA_ROOT), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void PostKey(HWND target, UINT virtualKey, UINT scanCode) {
    LPARAM down = 1 | (static_cast<LPARAM>(scanCode) << 16);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, WM_KEYUP, virtualKey, down | (1u << 30) | (1u << 31));
}

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            // The body runs once the modal loop has started.
            PostMessageA(dialog, kRunBody, 0, 0);
            return TRUE;
        case kRunBody:
            if (current && !current->bodyDone) {
                ShowWindow(dialog, SW_SHOWNORMAL);
                if (current->body && *current->body) (*current->body)(dialog);
                // What the body set going (a WM_CLOSE's posted IDCANCEL)
                // still belongs to it.
                Settle();
                current->bodyDone = true;
                // EndDialog hides the dialog; one still shown was left open.
                if (IsWindow(dialog) && IsWindowVisible(dialog)) EndDialog(dialog, IDCANCEL);
            }
            return TRUE;
        case WM_COMMAND:
            // Only what happens while the body plays the user: closing the
            // dialog afterwards moves the focus and notifies again.
            if (current && !current->bodyDone) {
                int id = LOWORD(wParam), code = HIWORD(wParam);
                if (current->notes) current->notes->Add(id, code);
                if (current->onCommand) current->onCommand(dialog, id, code);
            }
            return FALSE;
    }
    return FALSE;
}

}  // namespace

HINSTANCE TemplateInstance() {
    static HMODULE module = LoadLibraryA("OrvixFax.dll");
    return module;
}

INT_PTR RunInDialog(const char *templateName, const std::function<void(HWND)> &body, Recorder *notes,
                    const CommandHandler &onCommand) {
    Run run;
    run.body = &body;
    run.notes = notes;
    run.onCommand = onCommand;
    Run *previous = current;
    current = &run;
    INT_PTR result = DialogBoxParamA(TemplateInstance(), templateName, nullptr, TestDialogProc, 0);
    current = previous;
    return result;
}

void TypeText(HWND edit, const char *text) {
    if (!Reachable(edit)) return;
    Focus(edit);
    for (const char *c = text; *c; ++c) {
        if (*c == '\r') {
            // The Enter key: the dialog manager gives it to an edit that
            // wants it (a line break) or presses the default button.
            bool wantsReturn = (GetWindowLongPtrA(edit, GWL_STYLE) & (ES_MULTILINE | ES_WANTRETURN)) ==
                               (ES_MULTILINE | ES_WANTRETURN);
            if (wantsReturn)
                PostMessageA(edit, WM_CHAR, '\r', 1 | (0x1C << 16));
            else
                PostKey(edit, VK_RETURN, 0x1C);
        } else {
            PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 1);
        }
    }
    Settle();
}

void PressEnter(HWND control) {
    if (!Reachable(control)) return;
    Focus(control);
    PostKey(control, VK_RETURN, 0x1C);
    Settle();
}

void PressEscape(HWND control) {
    if (!Reachable(control)) return;
    Focus(control);
    PostKey(control, VK_ESCAPE, 0x01);
    Settle();
}

void ClickButton(HWND button) {
    if (!Reachable(button)) return;
    PostMessageA(button, BM_CLICK, 0, 0);
    Settle();
}

namespace {
void ClickLineAt(HWND list, int index, bool twice) {
    if (!Reachable(list)) return;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) return;
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
    Settle();
}
}  // namespace

void ClickLine(HWND list, int index) { ClickLineAt(list, index, false); }
void DoubleClickLine(HWND list, int index) { ClickLineAt(list, index, true); }

void CloseBox(HWND dialog) {
    if (!(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU)) return;  // no close box
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    Settle();
}

bool RunsOnWine() {
    // Wine's ntdll exports its version; Windows' has no such function.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace behaviour
