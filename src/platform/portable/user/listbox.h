// List boxes, with what each keeps for its windows: the lines
// (listbox_lines.h), the selection, caret and anchor, the top line, the
// tab stops and the horizontal extent.
#ifndef ORVIXFAX_PORTABLE_USER_LISTBOX_H
#define ORVIXFAX_PORTABLE_USER_LISTBOX_H

#include "platform/portable/user/listbox_lines.h"
#include "platform/portable/user/user_window.h"

#include <vector>

namespace portable {

struct ListBoxState : ClassState {
    ListLines lines;
    int curSel = LB_ERR;            // single selection
    int caret = 0;                  // multiple selection: the focus rectangle
    int anchor = 0;
    int topIndex = 0;
    int horizontalExtent = 0;
    std::vector<int> tabStops;
};

inline ListBoxState *ListBoxOf(Window &window) { return StateOf<ListBoxState>(window, WindowKind::ListBox); }
inline const ListBoxState *ListBoxOf(const Window &window) {
    return StateOf<ListBoxState>(window, WindowKind::ListBox);
}

LRESULT ListBoxProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace portable

#endif
