#include "platform/portable/front_ends/terminal/control_views.h"

#include <algorithm>

namespace terminal {

size_t EditState::CharAt(size_t byte) const {
    auto next = std::upper_bound(starts.begin(), starts.end(), byte);
    return next == starts.begin() ? 0 : static_cast<size_t>(next - starts.begin()) - 1;
}

EditState ReadEdit(HWND edit, const CodePage &codePage, ControlViews &views) {
    EditState state;
    int length = GetWindowTextLengthA(edit);
    state.bytes.assign(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(edit, state.bytes.data(), length + 1);
    state.bytes.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    state.chars = codePage.ToWide(state.bytes, &state.starts);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    state.selStart = std::min<size_t>(start, state.bytes.size());
    state.selEnd = std::min<size_t>(end, state.bytes.size());
    ControlView &view = views[edit];
    // The direction the user made the selection in holds while the
    // control has not changed it since.
    if (std::min(view.anchor, view.caret) == state.selStart && std::max(view.anchor, view.caret) == state.selEnd) {
        state.anchor = view.anchor;
        state.caret = view.caret;
    } else {
        state.anchor = state.selStart;
        state.caret = state.selEnd;
    }
    return state;
}

void SelectInEdit(HWND edit, size_t anchor, size_t caret, ControlViews &views) {
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(anchor), static_cast<LPARAM>(caret));
    ControlView &view = views[edit];
    view.anchor = anchor;
    view.caret = caret;
}

std::vector<EditLineSpan> EditLineSpans(HWND edit) {
    std::vector<EditLineSpan> spans;
    LRESULT count = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
    for (LRESULT line = 0; line < count; ++line) {
        LRESULT start = SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
        if (start < 0) break;
        LRESULT length = SendMessageA(edit, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
        spans.push_back(EditLineSpan{static_cast<size_t>(start), static_cast<size_t>(length)});
    }
    return spans;
}

}  // namespace terminal
