// Edit controls: single and multi-line, limits, read-only, word wrap and
// the notifications Windows sends for each kind of change.
#include "platform/portable/user/edit_lines.h"
#include "platform/portable/gdi/gdi_fonts.h"
#include "platform/portable/user/edit.h"

#include <cstring>

namespace portable {

std::vector<EditLine> WrapEditText(const std::string &text, bool multiline, bool wrap,
                                   size_t width) {
    std::vector<EditLine> lines;
    if (!multiline) {
        lines.push_back(EditLine{0, text.size()});
        return lines;
    }
    if (width < 1) width = 1;
    size_t paragraph = 0;
    while (true) {
        size_t end = text.find("\r\n", paragraph);
        size_t stop = end == std::string::npos ? text.size() : end;
        size_t start = paragraph;
        if (wrap) {
            while (stop - start > width) {
                size_t edge = start + width;  // first character that does not fit
                size_t lineEnd;
                if (text[edge] == ' ') {
                    lineEnd = edge;
                } else {
                    size_t space = std::string::npos;
                    for (size_t i = edge; i > start; --i) {
                        if (text[i - 1] == ' ') {
                            space = i - 1;
                            break;
                        }
                    }
                    lineEnd = space == std::string::npos ? edge : space + 1;
                }
                while (lineEnd < stop && text[lineEnd] == ' ') ++lineEnd;
                lines.push_back(EditLine{start, lineEnd - start});
                start = lineEnd;
            }
            if (start < stop || start == paragraph) lines.push_back(EditLine{start, stop - start});
        } else {
            lines.push_back(EditLine{start, stop - start});
        }
        if (end == std::string::npos) break;
        paragraph = end + 2;
    }
    return lines;
}

namespace {

bool IsMultiline(const Window &window) { return (window.style & ES_MULTILINE) != 0; }

std::vector<EditLine> LinesOf(const Window &window) {
    bool wrap = IsMultiline(window) && !(window.style & ES_AUTOHSCROLL);
    size_t width = 1;
    if (wrap) {
        int average = AverageCharWidthOf(window.font);
        LONG pixels = window.rect.right - window.rect.left;
        if (average > 0 && pixels > 0) width = static_cast<size_t>(pixels / average);
    }
    return WrapEditText(window.text, IsMultiline(window), wrap, width);
}

size_t MaximumLimit(const Window &window) {
    return IsMultiline(window) ? 0xFFFFFFFFu : 0x7FFFFFFEu;
}

void Notify(HWND handle, int code) {
    if (Window *window = FindWindowRecord(handle)) NotifyParent(*window, code);
}

// Whether `text` would be more than the field can show: a single-line edit
// without ES_AUTOHSCROLL cannot scroll sideways, a multi-line edit without
// ES_AUTOVSCROLL cannot scroll down (it shows height / tmHeight lines).
bool Overflows(const Window &window, const std::string &text) {
    TEXTMETRICA tm = FontMetrics(window.font);
    LONG width = window.rect.right - window.rect.left;
    LONG height = window.rect.bottom - window.rect.top;
    if (!IsMultiline(window)) {
        if (window.style & ES_AUTOHSCROLL) return false;
        return static_cast<LONG>(text.size()) * tm.tmAveCharWidth > width;
    }
    if (window.style & ES_AUTOVSCROLL) return false;
    bool wrap = !(window.style & ES_AUTOHSCROLL);
    size_t columns = tm.tmAveCharWidth > 0 && width > 0 ? static_cast<size_t>(width / tm.tmAveCharWidth) : 1;
    LONG visible = tm.tmHeight > 0 ? height / tm.tmHeight : 1;
    if (visible < 1) visible = 1;
    return static_cast<LONG>(WrapEditText(text, true, wrap, columns).size()) > visible;
}

// Replaces the selection with `insert`. Typing and EM_REPLACESEL honour the
// limit and what the field can show: EN_MAXTEXT first, then as much as
// fits is inserted.
void ReplaceSelection(Window &window, std::string insert, bool honourLimit) {
    EditState &state = *EditOf(window);
    HWND self = window.handle;
    size_t kept = window.text.size() - (state.selEnd - state.selStart);
    bool maxed = false;
    const std::string whole = insert;
    if (honourLimit && kept + insert.size() > state.limit) {
        size_t room = state.limit > kept ? state.limit - kept : 0;
        insert.resize(room);
        maxed = true;
    }
    if (honourLimit) {
        auto result = [&](size_t count) {
            std::string text = window.text;
            text.replace(state.selStart, state.selEnd - state.selStart, insert, 0, count);
            return text;
        };
        if (Overflows(window, result(insert.size()))) {
            // The longest start of the insert that still fits.
            size_t low = 0, high = insert.size();
            while (low < high) {
                size_t middle = (low + high + 1) / 2;
                if (Overflows(window, result(middle)))
                    high = middle - 1;
                else
                    low = middle;
            }
            insert.resize(low);
            maxed = true;
        }
    }
    // A line break is never cut in half.
    if (maxed && !insert.empty() && insert.back() == '\r' && whole.size() > insert.size() &&
        whole[insert.size()] == '\n')
        insert.pop_back();
    if (maxed) {
        Notify(self, EN_MAXTEXT);
        Window *again = FindWindowRecord(self);
        if (!again) return;
        const EditState &now = *EditOf(*again);
        if (insert.empty() && now.selStart == now.selEnd) return;
    }
    // The parent may have done anything on EN_MAXTEXT: find the edit again.
    Window *edit = FindWindowRecord(self);
    if (!edit) return;
    EditState &selection = *EditOf(*edit);
    edit->text.replace(selection.selStart, selection.selEnd - selection.selStart, insert);
    selection.selStart += insert.size();
    selection.selEnd = selection.selStart;
    selection.modified = true;
    Notify(self, EN_UPDATE);
    Notify(self, EN_CHANGE);
}

void TypeCharacter(Window &window, unsigned char c) {
    EditState &state = *EditOf(window);
    if (window.style & ES_READONLY) return;
    if (c == VK_BACK) {
        if (state.selStart == state.selEnd) {
            if (state.selStart == 0) return;
            size_t back = 1;
            if (state.selStart >= 2 && window.text.compare(state.selStart - 2, 2, "\r\n") == 0)
                back = 2;
            state.selStart -= back;
        }
        ReplaceSelection(window, std::string(), false);
        return;
    }
    if (c == '\r' || c == '\n') {
        if (IsMultiline(window)) ReplaceSelection(window, "\r\n", true);
        return;
    }
    if (c == '\t') {
        if (IsMultiline(window)) ReplaceSelection(window, "\t", true);
        return;
    }
    if (c < 0x20) return;
    ReplaceSelection(window, std::string(1, static_cast<char>(c)), true);
}

void SetSelection(Window &window, LONG_PTR start, LONG_PTR end) {
    EditState &state = *EditOf(window);
    size_t length = window.text.size();
    if (start < 0) {
        state.selStart = state.selEnd;  // -1 removes the selection, the caret stays
        return;
    }
    size_t from = static_cast<size_t>(start) > length ? length : static_cast<size_t>(start);
    size_t to = (end < 0 || static_cast<size_t>(end) > length) ? length : static_cast<size_t>(end);
    if (from > to) std::swap(from, to);
    state.selStart = from;
    state.selEnd = to;
}

int LineOfChar(const std::vector<EditLine> &lines, size_t index) {
    for (size_t i = lines.size(); i-- > 0;) {
        if (lines[i].start <= index) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace

LRESULT EditProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam) {
    EditState &state = *EditOf(window);
    switch (message) {
    case WM_SETTEXT: {
        // The limit is for the user, not for the program.
        window.text = lParam ? reinterpret_cast<const char *>(lParam) : "";
        state.selStart = state.selEnd = 0;
        state.modified = false;
        // Only a single-line edit tells its parent about a new text.
        if (!IsMultiline(window)) {
            HWND self = window.handle;
            Notify(self, EN_UPDATE);
            Notify(self, EN_CHANGE);
        }
        return TRUE;
    }
    case WM_CHAR:
        TypeCharacter(window, static_cast<unsigned char>(wParam));
        return 0;
    case EM_REPLACESEL:
        ReplaceSelection(window, lParam ? reinterpret_cast<const char *>(lParam) : "", true);
        return 0;
    case EM_SETSEL:
        SetSelection(window, static_cast<LONG_PTR>(static_cast<int>(wParam)),
                     static_cast<LONG_PTR>(static_cast<int>(lParam)));
        return 0;
    case EM_GETSEL: {
        if (wParam) *reinterpret_cast<DWORD *>(wParam) = static_cast<DWORD>(state.selStart);
        if (lParam) *reinterpret_cast<DWORD *>(lParam) = static_cast<DWORD>(state.selEnd);
        if (state.selStart > 0xFFFF || state.selEnd > 0xFFFF) return -1;
        return MAKELONG(state.selStart, state.selEnd);
    }
    case EM_LIMITTEXT:
        state.limit = wParam == 0 ? MaximumLimit(window) : static_cast<size_t>(wParam);
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(state.limit);
    case EM_SETREADONLY:
        if (wParam)
            window.style |= ES_READONLY;
        else
            window.style &= ~static_cast<DWORD>(ES_READONLY);
        return TRUE;
    case EM_GETMODIFY:
        return state.modified ? TRUE : FALSE;
    case EM_SETMODIFY:
        state.modified = wParam != 0;
        return 0;
    case EM_SCROLLCARET:
        return TRUE;
    case EM_GETRECT: {
        // The formatting rectangle, in client coordinates. This layer draws
        // no border and keeps no margins, so the text has the whole window.
        RECT *rect = reinterpret_cast<RECT *>(lParam);
        if (rect != nullptr) {
            rect->left = 0;
            rect->top = 0;
            rect->right = window.rect.right - window.rect.left;
            rect->bottom = window.rect.bottom - window.rect.top;
        }
        return 0;
    }
    case EM_GETLINECOUNT:
        return static_cast<LRESULT>(LinesOf(window).size());
    case EM_GETLINE: {
        // The first WORD of the buffer is its size in characters; a
        // terminator is added only when there is room for it.
        char *buffer = reinterpret_cast<char *>(lParam);
        if (!buffer) return 0;
        WORD size = 0;
        std::memcpy(&size, buffer, sizeof(WORD));
        std::vector<EditLine> lines = LinesOf(window);
        size_t line = IsMultiline(window) ? static_cast<size_t>(wParam) : 0;
        if (line >= lines.size()) return 0;
        size_t count = lines[line].length < size ? lines[line].length : size;
        std::memcpy(buffer, window.text.data() + lines[line].start, count);
        if (count < size) buffer[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    case EM_LINEINDEX: {
        std::vector<EditLine> lines = LinesOf(window);
        int line = static_cast<int>(wParam);
        if (line < 0) line = LineOfChar(lines, state.selEnd);
        if (static_cast<size_t>(line) >= lines.size()) return -1;
        return static_cast<LRESULT>(lines[static_cast<size_t>(line)].start);
    }
    case EM_LINEFROMCHAR: {
        std::vector<EditLine> lines = LinesOf(window);
        LONG_PTR index = static_cast<int>(wParam);
        return LineOfChar(lines, index < 0 ? state.selStart : static_cast<size_t>(index));
    }
    case EM_LINELENGTH: {
        std::vector<EditLine> lines = LinesOf(window);
        LONG_PTR index = static_cast<int>(wParam);
        if (index < 0) return 0;
        if (static_cast<size_t>(index) > window.text.size()) return 0;
        return static_cast<LRESULT>(lines[static_cast<size_t>(LineOfChar(lines, static_cast<size_t>(index)))].length);
    }
    case WM_SETFOCUS:
        NotifyParent(window, EN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        NotifyParent(window, EN_KILLFOCUS);
        return 0;
    default: {
        bool handled = false;
        return CommonWindowMessage(window, message, wParam, lParam, handled);
    }
    }
}

}  // namespace portable
