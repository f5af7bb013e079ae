// The "Fax Document" dialog, IDD_ORVIX_FAX: the one screen of a fax job.
#ifndef ORVIXFAX_FAX_DIALOG_H
#define ORVIXFAX_FAX_DIALOG_H

#include "platform/win32api.h"

// What the dialog ends with: "F&ax" makes a job, "&Print" prints without one.
enum FaxDialogResult { FAX_DIALOG_FAX = 1, FAX_DIALOG_PRINT = 2 };

// Creation parameter: the WorkingContext.
INT_PTR CALLBACK FaxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
