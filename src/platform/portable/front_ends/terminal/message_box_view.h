// A message box on the terminal, over the dialogs: its icon, its text
// wrapped to the screen, its buttons with the default one focused. Tab and
// the arrows move between the buttons, Enter or Space presses the focused
// one, the underlined letters (&Yes, &No...) press theirs, and Escape is
// Cancel where there is a Cancel button (OK where OK is the only one), as
// in a Windows message box.
#ifndef ORVIXFAX_TERMINAL_MESSAGE_BOX_VIEW_H
#define ORVIXFAX_TERMINAL_MESSAGE_BOX_VIEW_H

#include "platform/portable/front_ends/terminal/terminal_session.h"
#include "platform/portable/windows.h"

#include <string>
#include <vector>

namespace terminal {

class MessageBoxView {
public:
    MessageBoxView(const std::wstring &caption, const std::wstring &text, UINT type);

    void Draw(int screenRows, int screenCols);
    // The button the key presses (IDOK, IDYES...), or 0 while none is.
    int Take(const Key &key);
    // The answer the box gives when it cannot be worked any longer.
    int SafeAnswer() const;

private:
    struct ButtonPlace {
        int row = 0, col = 0, cols = 0;
    };
    std::wstring caption_;
    std::wstring text_;
    UINT type_;
    std::vector<int> buttons_;
    size_t focus_ = 0;
    std::vector<ButtonPlace> places_;   // where Draw put the buttons
};

}  // namespace terminal

#endif
