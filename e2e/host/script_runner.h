// Runs a script against the real dialogs from the hands' thread, from the
// moment the call starts until it has returned.
#ifndef ORVIXFAX_E2E_SCRIPT_RUNNER_H
#define ORVIXFAX_E2E_SCRIPT_RUNNER_H

#include "script.h"

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

struct ShownMessageBox {
    std::string caption;
    std::string text;
};

class ScriptRunner {
public:
    ScriptRunner(std::vector<ScriptAction> actions, std::string name)
        : actions_(std::move(actions)), name_(std::move(name)) {}

    // Performs every line, then checks that nothing is left open. After a
    // failure it stops acting and closes what is open (message boxes with
    // their safe answer, dialogs with IDCANCEL) so the call can return.
    void Run();

    bool Failed() const { return !errors_.empty(); }
    const std::vector<std::string> &Errors() const { return errors_; }
    const std::vector<ShownMessageBox> &MessageBoxes() const { return boxes_; }

private:
    std::string Perform(const ScriptAction &action, HWND top);
    std::string PerformOnDialog(const ScriptAction &action, HWND dialog);
    std::string Answer(const ScriptAction &action, HWND box);
    void Fail(const ScriptAction *action, HWND top, const std::string &why);
    void CloseEverything();

    std::vector<ScriptAction> actions_;
    std::string name_;
    std::vector<std::string> errors_;
    std::vector<ShownMessageBox> boxes_;
};

}  // namespace e2e

#endif
