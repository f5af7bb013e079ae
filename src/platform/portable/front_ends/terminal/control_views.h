// What the terminal keeps of each control beyond what the control itself
// holds: how far it is scrolled, and which end of an edit's selection the
// caret is at (EM_GETSEL gives the two ends in order, not the direction
// the user made it in).
#ifndef ORVIXFAX_TERMINAL_CONTROL_VIEWS_H
#define ORVIXFAX_TERMINAL_CONTROL_VIEWS_H

#include "platform/portable/front_ends/terminal/code_page.h"
#include "platform/portable/windows.h"

#include <map>
#include <string>
#include <vector>

namespace terminal {

struct ControlView {
    int firstLine = 0;     // a multi-line edit: the first display line shown
    int firstCol = 0;      // an edit or list: the first character column shown
    size_t anchor = 0;     // an edit: the selection's fixed end...
    size_t caret = 0;      // ...and the end the caret is at (bytes)
    int keptLine = -1;     // a list: the line last scrolled into view
};

using ControlViews = std::map<HWND, ControlView>;

// An edit's text and selection as the user works them.
struct EditState {
    std::string bytes;
    std::wstring chars;
    std::vector<size_t> starts;  // the byte where each character begins, then the length
    size_t selStart = 0, selEnd = 0;
    size_t anchor = 0, caret = 0;

    // The character at or before a byte offset.
    size_t CharAt(size_t byte) const;
};

EditState ReadEdit(HWND edit, const CodePage &codePage, ControlViews &views);
// Selects from `anchor` to `caret` and remembers which end is the caret.
void SelectInEdit(HWND edit, size_t anchor, size_t caret, ControlViews &views);

// A display line of a multi-line edit: where it starts and how long it is.
struct EditLineSpan {
    size_t start = 0, length = 0;
};
std::vector<EditLineSpan> EditLineSpans(HWND edit);

}  // namespace terminal

#endif
