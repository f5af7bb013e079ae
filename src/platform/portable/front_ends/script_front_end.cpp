#include "platform/portable/front_ends/script_front_end.h"

#include "platform/portable/automation.h"

namespace portable {

void ScriptFrontEnd::RunDialog(HWND dialog) {
    // A nested dialog runs (and ends) inside the step that opened it.
    while (!automation::HasEnded(dialog) && script_.Step(hands_)) {
    }
    if (!automation::HasEnded(dialog)) script_.RanOut(hands_);
}

int ScriptFrontEnd::AnswerMessageBox(HWND, const std::string &text, const std::string &caption, UINT type) {
    hands_.ShowMessageBox(caption, text, type);
    if (!script_.Step(hands_)) {
        script_.RanOut(hands_);
        script_.DismissMessageBox(hands_);
    }
    return hands_.TakeAnswer();
}

}  // namespace portable
