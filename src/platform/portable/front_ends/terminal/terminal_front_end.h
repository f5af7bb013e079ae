// The terminal front end: the module's own dialogs and message boxes,
// drawn from their templates and worked by a person at a terminal (ncurses)
// instead of by a script. Each dialog the modal loop hands over is drawn
// over the ones that opened it and takes the keys until it ends.
#ifndef ORVIXFAX_TERMINAL_FRONT_END_H
#define ORVIXFAX_TERMINAL_FRONT_END_H

#include "platform/portable/front_end.h"
#include "platform/portable/front_ends/terminal/code_page.h"
#include "platform/portable/front_ends/terminal/control_views.h"
#include "platform/portable/front_ends/terminal/dialog_painter.h"

#include <map>
#include <string>

namespace terminal {

class MessageBoxView;

class TerminalFrontEnd : public portable::FrontEnd {
public:
    // `codePage` is the module's 8-bit character set, as iconv names it;
    // `icons` draws the module's icons.
    TerminalFrontEnd(const std::string &codePage, IconDrawings icons);
    ~TerminalFrontEnd() override;
    TerminalFrontEnd(const TerminalFrontEnd &) = delete;
    TerminalFrontEnd &operator=(const TerminalFrontEnd &) = delete;

    // Takes the terminal; false with the reason when it cannot.
    bool Start(std::string &error);
    // Gives the terminal back (the destructor does too).
    void End();
    // The terminal went away while a dialog was open: it ended as Cancel.
    bool Lost() const { return lost_; }

    void RunDialog(HWND dialog) override;
    int AnswerMessageBox(HWND owner, const std::string &text, const std::string &caption, UINT type) override;

private:
    struct Scroll {
        int row = 0, col = 0;
    };
    // Draws every open dialog, the innermost active, and the message box
    // over them when there is one.
    void Paint(MessageBoxView *box);

    CodePage codePage_;
    IconDrawings icons_;
    ControlViews views_;
    std::map<HWND, Scroll> scrolls_;
    bool followFocus_ = true;
    bool lost_ = false;
    // The innermost dialog as last drawn, for the keys and the mouse.
    DialogPlace drawn_;
    Placement drawnPlacement_;
};

}  // namespace terminal

#endif
