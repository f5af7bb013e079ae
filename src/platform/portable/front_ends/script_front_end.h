// The scripted front end: a script (the format is in script/script.h)
// plays the user of the dialogs the modal loop hands over, through the
// portable layer's hands. The tests and the command line use it; the
// Windows test host plays the same scripts with the same engine over real
// USER32.
#ifndef ORVIXFAX_PORTABLE_FRONT_ENDS_SCRIPT_FRONT_END_H
#define ORVIXFAX_PORTABLE_FRONT_ENDS_SCRIPT_FRONT_END_H

#include "platform/portable/front_end.h"
#include "platform/portable/front_ends/portable_hands.h"
#include "script/script.h"

#include <string>
#include <vector>

namespace portable {

class ScriptFrontEnd : public FrontEnd {
public:
    // `names` gives the control names scripts may use besides IDOK and
    // IDCANCEL (the program's resource names).
    explicit ScriptFrontEnd(script::ControlLookup names = nullptr) : script_(names) {}

    // Reads a script; false (see Errors) when a line cannot be read, and
    // then nothing runs. `name` names the script in messages.
    bool Parse(const std::string &text, const std::string &name = "script", int firstLine = 1) {
        return script_.Parse(text, name, firstLine);
    }
    bool LoadFile(const std::string &path) { return script_.LoadFile(path); }

    void RunDialog(HWND dialog) override;
    int AnswerMessageBox(HWND owner, const std::string &text, const std::string &caption,
                         UINT type) override;

    // After the program has returned: leftover lines are a failure too.
    // True when the whole run went well.
    bool Finish() { return script_.Finish(); }

    bool Failed() const { return script_.Failed(); }
    const std::vector<std::string> &Errors() const { return script_.Errors(); }
    std::string Report() const { return script_.Report(); }
    const std::vector<script::MessageBoxSeen> &MessageBoxes() const { return script_.MessageBoxes(); }
    size_t RemainingActions() const { return script_.RemainingActions(); }

private:
    script::Script script_;
    PortableHands hands_;
};

}  // namespace portable

#endif
