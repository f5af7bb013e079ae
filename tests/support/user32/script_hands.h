// The script engine's hands and eyes on the real dialogs. The export runs
// on the dialog thread; the script plays from another thread, every look
// and every action done on the dialog thread and settled before the next
// line.
#ifndef ORVIXFAX_E2E_USER32_SCRIPT_HANDS_H
#define ORVIXFAX_E2E_USER32_SCRIPT_HANDS_H

#include "script/script.h"

#include <windows.h>

#include <functional>
#include <string>

namespace user32 {

class ScriptHands : public script::Hands {
public:
    script::Top OnTop() override;
    script::ControlView Look(int id, bool readLines) override;
    std::string Type(int id, const std::string &text) override;
    std::string Clear(int id) override;
    std::string Click(int id) override;
    std::string ClickLine(int id, int index, bool twice) override;
    std::string Focus(int id) override;
    std::string Press(script::Key key) override;
    std::string CloseBox() override;
    std::string Answer(int button) override;

private:
    // Does `work` on the dialog thread with the dialog on top, then waits
    // until the dialogs have dealt with it.
    std::string Act(const std::function<std::string(HWND top)> &work);
};

// Plays `script` from this thread against the call running on the dialog
// thread (see dialog_thread.h), from its first dialog until the call has
// returned. After a failure, or when the lines run out with something still
// open, it stops acting and closes what is open (message boxes with their
// safe answer, dialogs with IDCANCEL) so that the call comes back.
void PlayScript(script::Script &script);

}  // namespace user32

#endif
