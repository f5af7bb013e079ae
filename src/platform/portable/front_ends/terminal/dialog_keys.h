// The keys and the mouse on a dialog, as the Windows dialog manager and
// controls take them: Tab and Shift+Tab through the tab stops, arrows
// within a group (checking radio buttons as they go), Space on buttons
// and list lines, Enter for the default button, Escape, Alt+letter and
// the underlined letters, and in edits and lists the caret, selection and
// paging keys. Every action goes through the portable layer's user input,
// so the dialog procedure gets the same messages as from a script.
#ifndef ORVIXFAX_TERMINAL_DIALOG_KEYS_H
#define ORVIXFAX_TERMINAL_DIALOG_KEYS_H

#include "platform/portable/front_ends/terminal/control_views.h"
#include "platform/portable/front_ends/terminal/dialog_layout.h"
#include "platform/portable/front_ends/terminal/dialog_painter.h"
#include "platform/portable/front_ends/terminal/terminal_session.h"

namespace terminal {

struct KeyTarget {
    const DialogPlace &dialog;   // as last drawn
    Placement &placement;        // the wheel may scroll it
    const CodePage &codePage;
    ControlViews &views;
    bool followFocus = true;     // false when the user scrolled the dialog away from it
};

// Acts on the dialog the keys go to. The dialog may end, or open another
// one that runs to its end, before this returns.
void HandleDialogKey(const Key &key, KeyTarget &target);

}  // namespace terminal

#endif
