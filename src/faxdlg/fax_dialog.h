// The "Fax Document" dialog, IDD_ORVIX_FAX: the one screen of a fax job.
#ifndef ORVIXFAX_FAX_DIALOG_H
#define ORVIXFAX_FAX_DIALOG_H

#include "../platform/win32api.h"

// Creation parameter: the WorkingContext. Ends with 1 after "F&ax", 2 after "&Print".
INT_PTR CALLBACK FaxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
