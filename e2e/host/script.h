// The user's script, read for the real dialogs: the same format as the
// portable layer's scripted front end (src/platform/portable/
// script_front_end.h describes it), so one file drives both.
#ifndef ORVIXFAX_E2E_SCRIPT_H
#define ORVIXFAX_E2E_SCRIPT_H

#include <string>
#include <vector>

namespace e2e {

struct ScriptAction {
    int line = 0;
    std::string source;  // the line as written, for messages
    std::string verb;
    int control = 0;
    bool hasControl = false;
    std::string text;  // typed text, expected text or caption
    bool hasText = false;
    int number = 0;              // #N, the count of expect-lines, or the button of `answer`
    bool lineByIndex = false;    // LINE given as #N (else as "text")
    std::vector<int> indexes;    // expect-selected; empty for `none`
};

// Reads a script. `firstLine` numbers its first line (a script inside a
// scenario file keeps the file's numbering). On a line it cannot read it
// returns false and `error` names the line and why.
bool ParseScript(const std::string &text, const std::string &name, int firstLine,
                 std::vector<ScriptAction> &actions, std::string &error);

// A control name of src/res/resource.h, or IDOK / IDCANCEL.
bool ControlIdByName(const std::string &name, int &id);

}  // namespace e2e

#endif
