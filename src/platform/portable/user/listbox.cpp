// List boxes: sorted and unsorted, single and multiple selection, item
// data, tab stops, horizontal extent and the notifications of user actions.
#include "platform/portable/user/listbox_order.h"
#include "platform/portable/user/user_input.h"
#include "platform/portable/user/user_window.h"

#include <cstring>
#include <string_view>

namespace portable {
namespace {

bool IsMultiple(const Window &window) {
    return (window.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

bool Notifies(const Window &window) { return (window.style & LBS_NOTIFY) != 0; }

int Count(const Window &window) { return static_cast<int>(window.lines.Count()); }

bool Valid(const Window &window, WPARAM index) {
    return static_cast<int>(index) >= 0 && static_cast<int>(index) < Count(window);
}

// Moves the selection and caret past a line added at `index`.
LRESULT Inserted(Window &window, int index) {
    if (IsMultiple(window)) {
        if (window.caret >= index && Count(window) > 1) ++window.caret;
        if (window.anchor >= index && Count(window) > 1) ++window.anchor;
    } else if (window.curSel >= index) {
        ++window.curSel;
    }
    return index;
}

LRESULT Insert(Window &window, int index, std::string_view text) {
    if (!window.lines.Insert(static_cast<size_t>(index), text)) return LB_ERRSPACE;
    return Inserted(window, index);
}

LRESULT Delete(Window &window, int index) {
    window.lines.Erase(static_cast<size_t>(index));
    int count = Count(window);
    if (IsMultiple(window)) {
        if (window.caret > index || window.caret >= count) window.caret = window.caret > 0 ? window.caret - 1 : 0;
        if (window.anchor > index || window.anchor >= count) window.anchor = window.anchor > 0 ? window.anchor - 1 : 0;
    } else {
        if (window.curSel == index)
            window.curSel = LB_ERR;
        else if (window.curSel > index)
            --window.curSel;
    }
    if (window.topIndex >= count) window.topIndex = count > 0 ? count - 1 : 0;
    return count;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b, size_t length) {
    if (a.size() < length || b.size() < length) return false;
    for (size_t i = 0; i < length; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Searches after `start` and wraps round, as LB_FINDSTRING does.
int Find(Window &window, WPARAM start, const char *text, bool exact) {
    std::string_view wanted = text ? text : "";
    int count = Count(window);
    int from = static_cast<int>(start);
    if (from < -1 || from >= count) from = -1;
    for (int n = 1; n <= count; ++n) {
        int index = (from + n) % count;
        std::string_view line = window.lines.Text(static_cast<size_t>(index));
        if (exact ? (line.size() == wanted.size() && EqualIgnoringCase(line, wanted, line.size()))
                  : EqualIgnoringCase(line, wanted, wanted.size()))
            return index;
    }
    return LB_ERR;
}

}  // namespace

LRESULT ListBoxProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam) {
    const char *text = reinterpret_cast<const char *>(lParam);
    switch (message) {
    case LB_ADDSTRING: {
        std::string_view line = text ? text : "";
        if (!(window.style & LBS_SORT)) return Insert(window, Count(window), line);
        long index = window.lines.InsertSorted(line);
        if (index < 0) return LB_ERRSPACE;
        return Inserted(window, static_cast<int>(index));
    }
    case LB_INSERTSTRING: {
        int index = static_cast<int>(wParam);
        if (index == -1) index = Count(window);
        if (index < 0 || index > Count(window)) return LB_ERR;
        return Insert(window, index, text ? text : "");
    }
    case LB_DELETESTRING:
        if (!Valid(window, wParam)) return LB_ERR;
        return Delete(window, static_cast<int>(wParam));
    case LB_RESETCONTENT:
        window.lines.Clear();
        window.curSel = LB_ERR;
        window.caret = window.anchor = window.topIndex = 0;
        return 0;
    case LB_GETCOUNT:
        return Count(window);
    case LB_GETTEXT:
        if (!Valid(window, wParam) || !lParam) return LB_ERR;
        {
            std::string_view line = window.lines.Text(wParam);
            char *out = reinterpret_cast<char *>(lParam);
            std::memcpy(out, line.data(), line.size());
            out[line.size()] = '\0';
            return static_cast<LRESULT>(line.size());
        }
    case LB_GETTEXTLEN:
        if (!Valid(window, wParam)) return LB_ERR;
        return static_cast<LRESULT>(window.lines.At(wParam).length);
    case LB_GETITEMDATA:
        if (!Valid(window, wParam)) return LB_ERR;
        return window.lines.At(wParam).data;
    case LB_SETITEMDATA:
        if (!Valid(window, wParam)) return LB_ERR;
        window.lines.At(wParam).data = lParam;
        return TRUE;
    case LB_SETCURSEL: {
        // Code selecting a line notifies nothing.
        if (IsMultiple(window)) return LB_ERR;
        int index = static_cast<int>(wParam);
        if (index == -1) {
            window.curSel = LB_ERR;
            return LB_ERR;
        }
        if (!Valid(window, wParam)) return LB_ERR;
        window.curSel = index;
        window.caret = window.anchor = index;
        return index;
    }
    case LB_GETCURSEL:
        // A multiple-selection list answers with its caret line.
        if (IsMultiple(window)) return window.caret;
        return window.curSel;
    case LB_SETSEL: {
        if (!IsMultiple(window)) return LB_ERR;
        int index = static_cast<int>(lParam);
        if (index == -1) {
            window.lines.SelectAll(wParam != 0);
            return LB_OKAY;
        }
        if (index < 0 || index >= Count(window)) return LB_ERR;
        window.lines.Select(static_cast<size_t>(index), wParam != 0);
        window.caret = window.anchor = index;
        return LB_OKAY;
    }
    case LB_GETSEL:
        if (!Valid(window, wParam)) return LB_ERR;
        if (IsMultiple(window)) return window.lines.At(wParam).selected ? 1 : 0;
        return window.curSel == static_cast<int>(wParam) ? 1 : 0;
    case LB_GETSELCOUNT: {
        if (!IsMultiple(window)) return LB_ERR;
        return static_cast<LRESULT>(window.lines.SelectedCount());
    }
    case LB_GETSELITEMS: {
        // Ascending, and never more than the caller has room for.
        if (!IsMultiple(window)) return LB_ERR;
        int *out = reinterpret_cast<int *>(lParam);
        int room = static_cast<int>(wParam);
        return static_cast<LRESULT>(window.lines.SelectedIndexes(out, room > 0 ? static_cast<size_t>(room) : 0));
    }
    case LB_SETCARETINDEX:
        if (!Valid(window, wParam)) return LB_ERR;
        window.caret = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETCARETINDEX:
        return IsMultiple(window) ? window.caret : (window.curSel == LB_ERR ? 0 : window.curSel);
    case LB_SETANCHORINDEX:
        if (!Valid(window, wParam)) return LB_ERR;
        window.anchor = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETANCHORINDEX:
        return window.anchor;
    case LB_SETTOPINDEX:
        if (!Valid(window, wParam) && !(wParam == 0 && Count(window) == 0)) return LB_ERR;
        window.topIndex = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETTOPINDEX:
        return window.topIndex;
    case LB_SETTABSTOPS: {
        if (!(window.style & LBS_USETABSTOPS)) return FALSE;
        window.tabStops.clear();
        const int *stops = reinterpret_cast<const int *>(lParam);
        for (WPARAM i = 0; stops && i < wParam; ++i) window.tabStops.push_back(stops[i]);
        return TRUE;
    }
    case LB_SETHORIZONTALEXTENT:
        window.horizontalExtent = static_cast<int>(wParam);
        return 0;
    case LB_GETHORIZONTALEXTENT:
        return window.horizontalExtent;
    case LB_FINDSTRING:
        return Find(window, wParam, text, false);
    case LB_FINDSTRINGEXACT:
        return Find(window, wParam, text, true);
    case LB_SELECTSTRING: {
        if (IsMultiple(window)) return LB_ERR;
        int index = Find(window, wParam, text, false);
        if (index != LB_ERR) window.curSel = window.caret = index;
        return index;
    }
    case WM_SETFOCUS:
        if (Notifies(window)) NotifyParent(window, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (Notifies(window)) NotifyParent(window, LBN_KILLFOCUS);
        return 0;
    default: {
        bool handled = false;
        return CommonWindowMessage(window, message, wParam, lParam, handled);
    }
    }
}

bool UserClickLine(HWND list, int index, bool doubleClick) {
    Window *window = FindWindowRecord(list);
    if (!window || window->kind != WindowKind::ListBox) return false;
    if (!IsWindowEnabled(list) || !IsWindowVisible(list)) return false;
    if (index < 0 || index >= Count(*window)) return false;
    SetFocus(list);
    window = FindWindowRecord(list);
    if (!window || index >= Count(*window)) return false;
    // The press selects: a multiple-selection list toggles the line, an
    // extended one selects it alone, a single one moves its selection.
    if (window->style & LBS_MULTIPLESEL) {
        bool selected = window->lines.At(static_cast<size_t>(index)).selected;
        window->lines.Select(static_cast<size_t>(index), !selected);
    } else if (window->style & LBS_EXTENDEDSEL) {
        window->lines.SelectAll(false);
        window->lines.Select(static_cast<size_t>(index), true);
    } else {
        window->curSel = index;
    }
    window->caret = window->anchor = index;
    // The release reports the change, the second press of a double click
    // reports the double click.
    if (Notifies(*window)) {
        NotifyParent(*window, LBN_SELCHANGE);
        if (doubleClick) {
            if (Window *again = FindWindowRecord(list)) NotifyParent(*again, LBN_DBLCLK);
        }
    }
    return true;
}

}  // namespace portable
