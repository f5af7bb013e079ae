// The behaviour harness over real USER32 (Windows, or Wine here): the test
// dialogs windres compiled into the program, a test dialog procedure, and
// the hands of user32_hands.h. The body runs on the dialog's thread,
// inside the modal loop, so the tests call the API exactly as a dialog
// procedure would; each hand waits there until the dialog has dealt with
// what it posted.
#include "support/behaviour_harness.h"

#include "support/user32/dialog_thread.h"
#include "support/user32/user32_hands.h"

#include <windows.h>

namespace behaviour {
namespace {

constexpr UINT kRunBody = WM_APP + 7;

struct Run {
    const std::function<void(HWND)> *body = nullptr;
    Recorder *notes = nullptr;
    CommandHandler onCommand;
    bool bodyDone = false;  // the body has run (and recording has stopped)
};
Run *current = nullptr;

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
                user32::Settle();
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

HINSTANCE TemplateInstance() { return GetModuleHandleA(nullptr); }

INT_PTR RunInDialog(const char *templateName, const std::function<void(HWND)> &body, Recorder *notes,
                    const CommandHandler &onCommand) {
    Run run;
    run.body = &body;
    run.notes = notes;
    run.onCommand = onCommand;
    Run *previous = current;
    current = &run;
    user32::InstallDialogThread(TemplateInstance());
    INT_PTR result = DialogBoxParamA(TemplateInstance(), templateName, nullptr, TestDialogProc, 0);
    user32::UninstallDialogThread();
    current = previous;
    return result;
}

void TypeText(HWND edit, const char *text) {
    if (!user32::Reachable(edit)) return;
    user32::TypeKeys(edit, text);
    user32::Settle();
}

void PressEnter(HWND control) {
    if (!user32::Reachable(control)) return;
    user32::FocusByUser(control);
    user32::PressKey(control, VK_RETURN);
    user32::Settle();
}

void PressEscape(HWND control) {
    if (!user32::Reachable(control)) return;
    user32::FocusByUser(control);
    user32::PressKey(control, VK_ESCAPE);
    user32::Settle();
}

void ClickButton(HWND button) {
    if (!user32::Reachable(button)) return;
    user32::ClickButton(button);
    user32::Settle();
}

void ClickLine(HWND list, int index) {
    if (user32::Reachable(list) && user32::ClickLine(list, index, false)) user32::Settle();
}

void DoubleClickLine(HWND list, int index) {
    if (user32::Reachable(list) && user32::ClickLine(list, index, true)) user32::Settle();
}

void CloseBox(HWND dialog) {
    user32::CloseBox(dialog);
    user32::Settle();
}

bool RunsOnWine() {
    // Wine's ntdll exports its version; Windows' has no such function.
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace behaviour
