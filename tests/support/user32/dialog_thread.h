// The thread the real dialogs run on. A modal dialog blocks the thread
// that opened it, so the hands either work from that thread itself, inside
// the modal loop (the behaviour tests), or from another thread while the
// export runs on this one (the scenarios).
//
// After each action the hands wait until the dialog thread has worked
// through everything posted: a marker message posted behind the action
// reaches a helper window on the dialog thread only when the loop running
// then (the dialog's, a nested dialog's or a message box's) has taken all
// that came before it. From the dialog thread itself the wait pumps the
// messages, as the modal loop would.
#ifndef ORVIXFAX_E2E_USER32_DIALOG_THREAD_H
#define ORVIXFAX_E2E_USER32_DIALOG_THREAD_H

#include <windows.h>

#include <functional>
#include <string>

namespace user32 {

// The dialog thread's side. Install on that thread before the dialogs
// run, with the instance the module's dialogs are made from; CallFinished
// when the export has returned.
void InstallDialogThread(HINSTANCE moduleInstance);
void UninstallDialogThread();
void CallFinished();

// The hands' side (the dialog thread or any other).
bool IsCallFinished();
// Runs `work` on the dialog thread and waits for it; false when that
// thread did not take it in time.
bool OnDialogThread(const std::function<void()> &work);
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

}  // namespace user32

#endif
