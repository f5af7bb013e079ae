// The script engine's hands and eyes over the portable layer's automation
// API. The modal loop asks the front end for a message box's answer, so
// the box the module is showing is held here until the answer is given.
#ifndef ORVIXFAX_PORTABLE_FRONT_ENDS_PORTABLE_HANDS_H
#define ORVIXFAX_PORTABLE_FRONT_ENDS_PORTABLE_HANDS_H

#include "platform/portable/windows.h"
#include "script/hands.h"

#include <string>

namespace portable {

class PortableHands : public script::Hands {
public:
    // The module shows a message box: it is on top until answered.
    void ShowMessageBox(const std::string &caption, const std::string &text, UINT type);
    // The answer given to it (0 while there is none), and the box gone.
    int TakeAnswer();

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
    bool boxShown_ = false;
    std::string boxCaption_;
    std::string boxText_;
    UINT boxType_ = 0;
    int answer_ = 0;
};

}  // namespace portable

#endif
