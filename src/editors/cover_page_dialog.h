// The "Cover Page" dialog, IDD_COVER_PAGE: which sender and recipient
// details the cover sheet shows, the sender's name and numbers, and a note
// of up to ten display lines.
#ifndef ORVIXFAX_COVER_PAGE_DIALOG_H
#define ORVIXFAX_COVER_PAGE_DIALOG_H

#include "platform/win32api.h"

// Creation parameter: the WorkingContext, whose SenderInfo and the three
// recipient flags of whose FaxInfo change on OK. Ends with 1 (OK) or 2.
INT_PTR CALLBACK CoverPageDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The note lines joined for the note field: CR LF between lines, trailing
// empty lines left out. `text` should hold 10 * 257 bytes.
void JoinNoteLines(const char (*noteLines)[256], char *text, size_t size);

#endif
