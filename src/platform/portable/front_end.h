// The modal loop's hook: on Windows the user works a dialog; on the
// portable layer DialogBoxParamA builds the dialog, sends WM_INITDIALOG and
// then hands it to the registered front end, which acts as the user until
// the dialog ends. A nested dialog (run from a button of the outer one)
// re-enters the front end; when it ends, the outer front end call goes on.
// MessageBoxA asks the front end for the user's answer.
#ifndef ORVIXFAX_PORTABLE_FRONT_END_H
#define ORVIXFAX_PORTABLE_FRONT_END_H

#include "platform/portable/windows.h"

#include <string>

namespace portable {

class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    // Act on `dialog` until it has ended (EndDialog was called on it).
    // Returning while the dialog is still open ends it with IDCANCEL.
    virtual void RunDialog(HWND dialog) = 0;
    // Answer a message box; the result is the button pressed (IDOK, IDYES...).
    virtual int AnswerMessageBox(HWND owner, const std::string &text,
                                 const std::string &caption, UINT type) = 0;
};

// The front end that DialogBoxParamA and MessageBoxA hand over to; null
// makes DialogBoxParamA fail with -1 after WM_INITDIALOG and WM_DESTROY.
void SetFrontEnd(FrontEnd *frontEnd);
FrontEnd *CurrentFrontEnd();

// Installs a front end for a scope and puts the previous one back.
class ScopedFrontEnd {
public:
    explicit ScopedFrontEnd(FrontEnd *frontEnd) : previous_(CurrentFrontEnd()) {
        SetFrontEnd(frontEnd);
    }
    ~ScopedFrontEnd() { SetFrontEnd(previous_); }
    ScopedFrontEnd(const ScopedFrontEnd &) = delete;
    ScopedFrontEnd &operator=(const ScopedFrontEnd &) = delete;

private:
    FrontEnd *previous_;
};

}  // namespace portable

#endif
