// The user's hands on the real dialogs. A modal dialog blocks the thread
// that opened it, so the dialogs run on one thread (the "dialog thread",
// where the export is called) and the hands work from another.
//
// The hands act as a person does: key and mouse messages posted to the
// control, through the dialog's own message loop (so IsDialogMessage,
// edit limits and notifications all happen as for real input). After each
// action they wait until the dialog thread has worked through everything
// posted: a marker message posted behind the action reaches a helper window
// on the dialog thread only when the loop running then (the dialog's, a
// nested dialog's or a message box's) has taken all that came before it.
#ifndef ORVIXFAX_E2E_DIALOG_DRIVER_H
#define ORVIXFAX_E2E_DIALOG_DRIVER_H

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// The dialog thread's side. Install on that thread before the call, with
// the instance the module's dialogs are made from,
// CallFinished when the export has returned.
void InstallDialogThread(HINSTANCE moduleInstance);
void UninstallDialogThread();
void CallFinished();

// The hands' side (any other thread).
bool IsCallFinished();
// Waits until the dialog thread has taken everything posted so far, or the
// call has returned; false after `timeoutMs` without either.
bool Settle(DWORD timeoutMs = 15000);
// The dialog or message box on top (opened last, still open), or null.
HWND Innermost();
bool IsMessageBox(HWND window);
// Ends a dialog of the dialog thread with IDCANCEL, whatever it thinks of
// that: only for cleaning up after a failed script.
void ForceEndDialog(HWND dialog);

std::string WindowText(HWND window);
std::string ClassName(HWND window);
HWND FocusedWindow();

}  // namespace e2e

#endif
