#include "acting_user.h"

#include <gtest/gtest.h>

ActingUser &ActingUser::Then(Act act) {
    acts_.push_back(std::move(act));
    return *this;
}

ActingUser &ActingUser::Answer(int button) {
    answers_.push_back(button);
    return *this;
}

void ActingUser::RunDialog(HWND dialog) {
    captions.push_back(portable::automation::Caption(dialog));
    if (acts_.empty()) {
        ++unplannedDialogs;
        ADD_FAILURE() << "dialog \"" << captions.back() << "\" opened with no act planned";
        return;  // the layer ends it with IDCANCEL
    }
    Act act = std::move(acts_.front());
    acts_.pop_front();
    act(dialog);
}

int ActingUser::AnswerMessageBox(HWND, const std::string &text, const std::string &caption, UINT type) {
    messages.push_back({text, caption, type});
    if (answers_.empty()) {
        ++unplannedMessages;
        ADD_FAILURE() << "message box \"" << text << "\" with no answer planned";
        return IDOK;
    }
    const int button = answers_.front();
    answers_.pop_front();
    return button;
}
