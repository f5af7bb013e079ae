// Placeholder until the address book dialog lands.
#include "address_book_dialog.h"

INT_PTR CALLBACK AddressBookDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
