// Placeholder until the fax dialog lands: a dialog that handles nothing, so
// the job flow can be built and driven by a front end.
#include "fax_dialog.h"

INT_PTR CALLBACK FaxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
