// The "Edit Address Book" dialog, IDD_EDIT_ADDRESS_BOOK: the book's persons
// and groups in one sorted list, with the editors for each kind behind it.
#ifndef ORVIXFAX_ADDRESS_BOOK_DIALOG_H
#define ORVIXFAX_ADDRESS_BOOK_DIALOG_H

#include "platform/win32api.h"

// Creation parameter: the WorkingContext. Every change takes effect in the
// context at once; OK also writes the book to "OrvixFax.adb" in the system
// directory. Ends with 1 after OK, 2 after Cancel.
INT_PTR CALLBACK AddressBookDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

struct WorkingContext;
// When the context's book file could not be read, tells the user so in a
// message box owned by `owner`, once per context: the book is shown empty
// and is not saved. The fax dialog and this dialog call it as they open.
void TellIfBookUnreadable(HWND owner, WorkingContext *context);

#endif
