// The "Edit Address Book" dialog, IDD_EDIT_ADDRESS_BOOK.
#ifndef ORVIXFAX_ADDRESS_BOOK_DIALOG_H
#define ORVIXFAX_ADDRESS_BOOK_DIALOG_H

#include "../platform/win32api.h"

// Creation parameter: the WorkingContext. Ends with 1 after OK (book saved), 2 after Cancel.
INT_PTR CALLBACK AddressBookDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
