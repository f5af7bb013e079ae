// List boxes: sorted and unsorted, single and multiple selection, item
// data, tab stops, horizontal extent and the notifications of user actions.
#include "platform/portable/user/listbox.h"
#include "platform/portable/user/listbox_order.h"
#include "platform/portable/user/user_input.h"

#include <cstring>
#include <string_view>

namespace portable {
namespace {

bool IsMultiple(const Window &window) {
    return (window.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

bool Notifies(const Window &window) { return (window.style & LBS_NOTIFY) != 0; }

int Count(const Window &window) { return static_cast<int>(ListBoxOf(window)->lines.Count()); }

bool Valid(const Window &window, WPARAM index) {
    return static_cast<int>(index) >= 0 && static_cast<int>(index) < Count(window);
}

// Moves the selection and caret past a line added at `index`.
LRESULT Inserted(Window &window, int index) {
    ListBoxState &list = *ListBoxOf(window);
    if (IsMultiple(window)) {
        if (list.caret >= index && Count(window) > 1) ++list.caret;
        if (list.anchor >= index && Count(window) > 1) ++list.anchor;
    } else if (list.curSel >= index) {
        ++list.curSel;
    }
    return index;
}

LRESULT Insert(Window &window, int index, std::string_view text) {
    ListBoxState &list = *ListBoxOf(window);
    if (!list.lines.Insert(static_cast<size_t>(index), text)) return LB_ERRSPACE;
    return Inserted(window, index);
}

LRESULT Delete(Window &window, int index) {
    ListBoxState &list = *ListBoxOf(window);
    list.lines.Erase(static_cast<size_t>(index));
    int count = Count(window);
    if (IsMultiple(window)) {
        if (list.caret > index || list.caret >= count) list.caret = list.caret > 0 ? list.caret - 1 : 0;
        if (list.anchor > index || list.anchor >= count) list.anchor = list.anchor > 0 ? list.anchor - 1 : 0;
    } else {
        if (list.curSel == index)
            list.curSel = LB_ERR;
        else if (list.curSel > index)
            --list.curSel;
    }
    if (list.topIndex >= count) list.topIndex = count > 0 ? count - 1 : 0;
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
    ListBoxState &list = *ListBoxOf(window);
    std::string_view wanted = text ? text : "";
    int count = Count(window);
    int from = static_cast<int>(start);
    if (from < -1 || from >= count) from = -1;
    for (int n = 1; n <= count; ++n) {
        int index = (from + n) % count;
        std::string_view line = list.lines.Text(static_cast<size_t>(index));
        if (exact ? (line.size() == wanted.size() && EqualIgnoringCase(line, wanted, line.size()))
                  : EqualIgnoringCase(line, wanted, wanted.size()))
            return index;
    }
    return LB_ERR;
}

}  // namespace

LRESULT ListBoxProc(Window &window, UINT message, WPARAM wParam, LPARAM lParam) {
    ListBoxState &list = *ListBoxOf(window);
    const char *text = reinterpret_cast<const char *>(lParam);
    switch (message) {
    case LB_ADDSTRING: {
        std::string_view line = text ? text : "";
        if (!(window.style & LBS_SORT)) return Insert(window, Count(window), line);
        long index = list.lines.InsertSorted(line);
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
        list.lines.Clear();
        list.curSel = LB_ERR;
        list.caret = list.anchor = list.topIndex = 0;
        return 0;
    case LB_GETCOUNT:
        return Count(window);
    case LB_GETTEXT:
        if (!Valid(window, wParam) || !lParam) return LB_ERR;
        {
            std::string_view line = list.lines.Text(wParam);
            char *out = reinterpret_cast<char *>(lParam);
            std::memcpy(out, line.data(), line.size());
            out[line.size()] = '\0';
            return static_cast<LRESULT>(line.size());
        }
    case LB_GETTEXTLEN:
        if (!Valid(window, wParam)) return LB_ERR;
        return static_cast<LRESULT>(list.lines.At(wParam).length);
    case LB_GETITEMDATA:
        if (!Valid(window, wParam)) return LB_ERR;
        return list.lines.At(wParam).data;
    case LB_SETITEMDATA:
        if (!Valid(window, wParam)) return LB_ERR;
        list.lines.At(wParam).data = lParam;
        return TRUE;
    case LB_SETCURSEL: {
        // Code selecting a line notifies nothing.
        if (IsMultiple(window)) return LB_ERR;
        int index = static_cast<int>(wParam);
        if (index == -1) {
            list.curSel = LB_ERR;
            return LB_ERR;
        }
        if (!Valid(window, wParam)) return LB_ERR;
        list.curSel = index;
        list.caret = list.anchor = index;
        return index;
    }
    case LB_GETCURSEL:
        // A multiple-selection list answers with its caret line.
        if (IsMultiple(window)) return list.caret;
        return list.curSel;
    case LB_SETSEL: {
        if (!IsMultiple(window)) return LB_ERR;
        int index = static_cast<int>(lParam);
        if (index == -1) {
            list.lines.SelectAll(wParam != 0);
            return LB_OKAY;
        }
        if (index < 0 || index >= Count(window)) return LB_ERR;
        list.lines.Select(static_cast<size_t>(index), wParam != 0);
        list.caret = list.anchor = index;
        return LB_OKAY;
    }
    case LB_GETSEL:
        if (!Valid(window, wParam)) return LB_ERR;
        if (IsMultiple(window)) return list.lines.At(wParam).selected ? 1 : 0;
        return list.curSel == static_cast<int>(wParam) ? 1 : 0;
    case LB_GETSELCOUNT: {
        if (!IsMultiple(window)) return LB_ERR;
        return static_cast<LRESULT>(list.lines.SelectedCount());
    }
    case LB_GETSELITEMS: {
        // Ascending, and never more than the caller has room for.
        if (!IsMultiple(window)) return LB_ERR;
        int *out = reinterpret_cast<int *>(lParam);
        int room = static_cast<int>(wParam);
        return static_cast<LRESULT>(list.lines.SelectedIndexes(out, room > 0 ? static_cast<size_t>(room) : 0));
    }
    case LB_SETCARETINDEX:
        if (!Valid(window, wParam)) return LB_ERR;
        list.caret = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETCARETINDEX:
        return IsMultiple(window) ? list.caret : (list.curSel == LB_ERR ? 0 : list.curSel);
    case LB_SETANCHORINDEX:
        if (!Valid(window, wParam)) return LB_ERR;
        list.anchor = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETANCHORINDEX:
        return list.anchor;
    case LB_SETTOPINDEX:
        if (!Valid(window, wParam) && !(wParam == 0 && Count(window) == 0)) return LB_ERR;
        list.topIndex = static_cast<int>(wParam);
        return LB_OKAY;
    case LB_GETTOPINDEX:
        return list.topIndex;
    case LB_SETTABSTOPS: {
        if (!(window.style & LBS_USETABSTOPS)) return FALSE;
        list.tabStops.clear();
        const int *stops = reinterpret_cast<const int *>(lParam);
        for (WPARAM i = 0; stops && i < wParam; ++i) list.tabStops.push_back(stops[i]);
        return TRUE;
    }
    case LB_SETHORIZONTALEXTENT:
        list.horizontalExtent = static_cast<int>(wParam);
        return 0;
    case LB_GETHORIZONTALEXTENT:
        return list.horizontalExtent;
    case LB_FINDSTRING:
        return Find(window, wParam, text, false);
    case LB_FINDSTRINGEXACT:
        return Find(window, wParam, text, true);
    case LB_SELECTSTRING: {
        if (IsMultiple(window)) return LB_ERR;
        int index = Find(window, wParam, text, false);
        if (index != LB_ERR) list.curSel = list.caret = index;
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
    ListBoxState &state = *ListBoxOf(*window);
    // The press selects: a multiple-selection list toggles the line, an
    // extended one selects it alone, a single one moves its selection.
    if (window->style & LBS_MULTIPLESEL) {
        bool selected = state.lines.At(static_cast<size_t>(index)).selected;
        state.lines.Select(static_cast<size_t>(index), !selected);
    } else if (window->style & LBS_EXTENDEDSEL) {
        state.lines.SelectAll(false);
        state.lines.Select(static_cast<size_t>(index), true);
    } else {
        state.curSel = index;
    }
    state.caret = state.anchor = index;
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
