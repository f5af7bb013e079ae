// Edit controls, with what each keeps for its windows: the limit, the
// selection and the modified flag (the text is the window's own).
#ifndef ORVIXFAX_PORTABLE_USER_EDIT_H
#define ORVIXFAX_PORTABLE_USER_EDIT_H

#include "platform/portable/user/user_window.h"

#include <cstddef>

namespace portable {

struct EditState : ClassState {
    size_t limit = 30000;
    size_t selStart = 0, selEnd = 0;
    bool modified = false;
};

inline EditState *EditOf(Window &window) { return StateOf<EditState>(window, WindowKind::Edit); }

LRESULT EditProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace portable

#endif
