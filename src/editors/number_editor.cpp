// Placeholder until the number editor lands.
#include "../../include/orvixfax.h"

INT_PTR CALLBACK EditNumberDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
