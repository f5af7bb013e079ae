// A front end that plays the user from a list of acts, one per dialog in
// the order the dialogs open (a dialog opened from a button of another one
// takes the next act while the outer act waits), and answers message boxes
// from a list of buttons, keeping what each box said.
#ifndef ORVIXFAX_TESTS_ACTING_USER_H
#define ORVIXFAX_TESTS_ACTING_USER_H

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/portable/automation.h"
#include "platform/portable/front_end.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    UINT type;
};

class ActingUser : public portable::FrontEnd {
public:
    using Act = std::function<void(HWND dialog)>;

    // The next dialog to open gets this act.
    ActingUser &Then(Act act);
    // The next message box gets this button.
    ActingUser &Answer(int button);

    void RunDialog(HWND dialog) override;
    int AnswerMessageBox(HWND owner, const std::string &text, const std::string &caption,
                         UINT type) override;

    std::vector<std::string> captions;  // caption of every dialog run, in order
    std::vector<ShownMessage> messages;
    int unplannedDialogs = 0;           // dialogs that opened with no act left
    int unplannedMessages = 0;

    bool AllActed() const { return acts_.empty() && answers_.empty(); }

private:
    std::deque<Act> acts_;
    std::deque<int> answers_;
};

#endif
