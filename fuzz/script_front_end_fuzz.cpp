// Scripts from anywhere: reading must never crash, and whatever reads
// cleanly is played against a small dialog, message box included.
#include "platform/portable/host.h"
#include "platform/portable/front_ends/script_front_end.h"
#include "res/resource_names.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

INT_PTR CALLBACK FuzzDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != WM_COMMAND) return 0;
    switch (LOWORD(wParam)) {
    case IDOK:
        if (MessageBoxA(dialog, "Sure?", "Question", MB_YESNOCANCEL) == IDYES) EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 2);
        break;
    case 1003:  // the details field opens a nested dialog when it changes to "n"
        if (HIWORD(wParam) == EN_CHANGE) {
            char text[4] = "";
            GetDlgItemTextA(dialog, 1003, text, sizeof text);
            if (text[0] == 'n' && text[1] == '\0')
                DialogBoxParamA(portable::ModuleInstance(), "IDD_EDIT_NUMBER", dialog, FuzzDialogProc, 0);
        }
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    portable::ScriptFrontEnd script(res::ControlIdByName);
    if (!script.Parse(std::string(reinterpret_cast<const char *>(data), size), "fuzz")) {
        if (script.Report().empty()) __builtin_trap();  // a refusal must say why
        return 0;
    }
    portable::ScopedFrontEnd scoped(&script);
    DialogBoxParamA(portable::ModuleInstance(), "IDD_EDIT_NUMBER", nullptr, FuzzDialogProc, 0);
    script.Finish();
    return 0;
}
