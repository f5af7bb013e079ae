#include <gtest/gtest.h>

#include "fax_test_support.h"

namespace faxtest {

namespace automation = portable::automation;

Hands::Hands() { portable::SetFrontEnd(this); }

Hands::~Hands() { portable::SetFrontEnd(nullptr); }

Hands &Hands::Then(Handler handler) {
    handlers_.push_back(std::move(handler));
    return *this;
}

void Hands::RunDialog(HWND dialog) {
    dialogsSeen.push_back(automation::Caption(dialog));
    if (handlers_.empty()) {
        problems.push_back("nobody handled the dialog \"" + automation::Caption(dialog) + "\"");
        return;
    }
    Handler handler = std::move(handlers_.front());
    handlers_.pop_front();
    handler(dialog);
    if (!automation::HasEnded(dialog))
        problems.push_back("the handler left \"" + automation::Caption(dialog) + "\" open");
}

int Hands::AnswerMessageBox(HWND, const std::string &text, const std::string &caption, UINT type) {
    boxes.push_back(ShownMessageBox{text, caption, type});
    return IDOK;
}

void SelectLine(HWND dialog, int listId, const std::string &text) {
    int index = automation::FindLine(dialog, listId, text);
    ASSERT_GE(index, 0) << "no line \"" << text << "\" in list " << listId;
    automation::ClickLine(dialog, listId, index);
}

}  // namespace faxtest
