// Placeholder until the address book dialog lands: it only keeps its
// parameter (the working context) in DWLP_USER, as every dialog here does.
#include "address_book_dialog.h"

INT_PTR CALLBACK AddressBookDlgProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return TRUE;
}
