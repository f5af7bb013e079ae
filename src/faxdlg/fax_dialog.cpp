// Placeholder until the fax dialog lands: a dialog that only keeps its
// parameter (the working context) in DWLP_USER, as every dialog here does,
// so the job flow can be built and driven by a front end.
#include "fax_dialog.h"

INT_PTR CALLBACK FaxDlgProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
}
