// The behaviour harness over the portable layer: the test's body plays the
// front end, and the hands are the layer's own user input.
#include "support/behaviour_harness.h"

#include "platform/portable/front_end.h"
#include "platform/portable/host.h"
#include "platform/portable/user/user_input.h"

namespace behaviour {
namespace {

Recorder *currentNotes = nullptr;
CommandHandler currentHandler;

INT_PTR CALLBACK TestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND) {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (currentNotes) currentNotes->Add(id, code);
        if (currentHandler) currentHandler(dialog, id, code);
    }
    return 0;
}

struct BodyFrontEnd : portable::FrontEnd {
    const std::function<void(HWND)> *body = nullptr;
    void RunDialog(HWND dialog) override {
        if (body && *body) (*body)(dialog);
    }
    int AnswerMessageBox(HWND, const std::string &, const std::string &, UINT) override {
        return IDOK;
    }
};

void Focus(HWND control) {
    if (!portable::UserClickIntoEdit(control)) SetFocus(control);
}

}  // namespace

HINSTANCE TemplateInstance() { return portable::ModuleInstance(); }

INT_PTR RunInDialog(const char *templateName, const std::function<void(HWND)> &body,
                    Recorder *notes, const CommandHandler &onCommand) {
    BodyFrontEnd frontEnd;
    frontEnd.body = &body;
    portable::FrontEnd *previous = portable::CurrentFrontEnd();
    portable::SetFrontEnd(&frontEnd);
    currentNotes = notes;
    currentHandler = onCommand;
    INT_PTR result = DialogBoxParamA(TemplateInstance(), templateName, nullptr, TestDialogProc, 0);
    currentNotes = nullptr;
    currentHandler = nullptr;
    portable::SetFrontEnd(previous);
    return result;
}

void TypeText(HWND edit, const char *text) {
    HWND dialog = GetParent(edit);
    if (!portable::UserClickIntoEdit(edit)) return;
    for (const char *c = text; *c && IsWindow(edit); ++c)
        portable::UserKey(dialog, static_cast<unsigned char>(*c));
}

void PressEnter(HWND control) {
    Focus(control);
    portable::UserKey(GetParent(control), '\r');
}

void PressEscape(HWND control) {
    Focus(control);
    portable::UserKey(GetParent(control), VK_ESCAPE);
}

void ClickButton(HWND button) { portable::UserClickButton(button); }

void ClickLine(HWND list, int index) { portable::UserClickLine(list, index, false); }

void DoubleClickLine(HWND list, int index) { portable::UserClickLine(list, index, true); }

void CloseBox(HWND dialog) { portable::UserCloseBox(dialog); }

bool RunsOnWine() { return false; }

}  // namespace behaviour
