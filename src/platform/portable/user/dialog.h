// Dialogs: what the dialog manager keeps for each dialog window, its
// default behaviour and the modal dialogs that are running (dialog.cpp).
#ifndef ORVIXFAX_PORTABLE_USER_DIALOG_H
#define ORVIXFAX_PORTABLE_USER_DIALOG_H

#include "platform/portable/user/user_window.h"

#include <vector>

namespace portable {

struct DialogState : ClassState {
    DLGPROC procedure = nullptr;
    LONG_PTR msgResult = 0;         // DWLP_MSGRESULT
    LONG_PTR user = 0;              // DWLP_USER
    int baseUnitX = 0, baseUnitY = 0;
    bool ended = false;
    INT_PTR result = 0;
    int defaultId = 0;              // DM_GETDEFID, 0 when none
    HWND lastFocus = nullptr;       // the control the focus goes back to
};

inline DialogState *DialogOf(Window &window) { return StateOf<DialogState>(window, WindowKind::Dialog); }

LRESULT DialogDefaultProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);

// The dialogs DialogBoxParamA is running, innermost last.
const std::vector<HWND> &ModalDialogs();

}  // namespace portable

#endif
