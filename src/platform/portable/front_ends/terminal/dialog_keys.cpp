#include "platform/portable/front_ends/terminal/dialog_keys.h"

#include "platform/portable/automation.h"
#include "platform/portable/user/user_input.h"

#include <curses.h>

#include <algorithm>
#include <cwctype>

namespace terminal {
namespace {

using K = Key::Kind;

// Lines the wheel scrolls at a time.
constexpr int kWheelLines = 3;

bool Usable(HWND control) { return IsWindowVisible(control) && IsWindowEnabled(control); }

void TypeBytes(HWND dialog, const std::string &bytes) {
    if (bytes.empty()) {
        beep();
        return;
    }
    for (unsigned char byte : bytes) portable::UserKey(dialog, byte);
}

// The display line of a multi-line edit that holds `byte`.
size_t LineOf(const std::vector<EditLineSpan> &spans, size_t byte) {
    size_t line = 0;
    for (size_t i = 0; i < spans.size(); ++i)
        if (spans[i].start <= byte) line = i;
    return line;
}

// The byte in line `line` at the same character column as `byte` in its own.
size_t SameColumn(const EditState &edit, const std::vector<EditLineSpan> &spans, size_t byte, size_t line) {
    size_t from = LineOf(spans, byte);
    size_t column = edit.CharAt(byte) - edit.CharAt(spans[from].start);
    size_t start = edit.CharAt(spans[line].start);
    size_t end = edit.CharAt(spans[line].start + spans[line].length);
    return edit.starts[std::min(start + column, end)];
}

size_t NextByte(const EditState &edit, size_t byte) {
    if (byte >= edit.bytes.size()) return edit.bytes.size();
    if (edit.bytes.compare(byte, 2, "\r\n") == 0) return byte + 2;
    return edit.starts[edit.CharAt(byte) + 1];
}

size_t PreviousByte(const EditState &edit, size_t byte) {
    if (byte == 0) return 0;
    if (byte >= 2 && edit.bytes.compare(byte - 2, 2, "\r\n") == 0) return byte - 2;
    return edit.starts[edit.CharAt(byte - 1)];
}

bool EditKey(HWND dialog, const ControlPlace &place, const Key &key, KeyTarget &target) {
    HWND edit = place.handle;
    if (key.kind == K::Character) {
        TypeBytes(dialog, target.codePage.FromWide(key.character));
        return true;
    }
    if (key.kind == K::Backspace) {
        portable::UserKey(dialog, VK_BACK);
        return true;
    }
    EditState state = ReadEdit(edit, target.codePage, target.views);
    bool multiline = IsMultilineEdit(place);
    if (key.kind == K::Delete) {
        if (place.style & ES_READONLY) return true;
        if (state.selStart == state.selEnd) {
            if (state.caret >= state.bytes.size()) return true;
            SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(state.caret),
                         static_cast<LPARAM>(NextByte(state, state.caret)));
        }
        portable::UserKey(dialog, VK_BACK);
        return true;
    }
    std::vector<EditLineSpan> spans = multiline ? EditLineSpans(edit) : std::vector<EditLineSpan>{};
    if (multiline && spans.empty()) spans.push_back(EditLineSpan{});
    size_t caret = state.caret;
    bool hasSelection = state.selStart != state.selEnd;
    int page = std::max(1, ContentRows(place));
    Key::Kind kind = key.kind;
    if (!multiline && kind == K::Up) kind = K::Left;
    if (!multiline && kind == K::Down) kind = K::Right;
    switch (kind) {
    case K::Left:
        caret = (hasSelection && !key.shift) ? state.selStart : PreviousByte(state, caret);
        break;
    case K::Right:
        caret = (hasSelection && !key.shift) ? state.selEnd : NextByte(state, caret);
        break;
    case K::Home:
        caret = multiline ? spans[LineOf(spans, caret)].start : 0;
        break;
    case K::End: {
        if (!multiline) {
            caret = state.bytes.size();
            break;
        }
        const EditLineSpan &span = spans[LineOf(spans, caret)];
        caret = span.start + span.length;
        break;
    }
    case K::Up:
    case K::Down:
    case K::PageUp:
    case K::PageDown: {
        if (!multiline) return false;
        long line = static_cast<long>(LineOf(spans, caret));
        long step = kind == K::Up ? -1 : kind == K::Down ? 1 : kind == K::PageUp ? -page : page;
        long to = std::clamp(line + step, 0L, static_cast<long>(spans.size()) - 1);
        caret = SameColumn(state, spans, caret, static_cast<size_t>(to));
        break;
    }
    default: return false;
    }
    SelectInEdit(edit, key.shift ? state.anchor : caret, caret, target.views);
    return true;
}

void MoveListTo(HWND list, bool multiple, int line) {
    if (multiple)
        SendMessageA(list, LB_SETCARETINDEX, static_cast<WPARAM>(line), 0);
    else if (SendMessageA(list, LB_GETCURSEL, 0, 0) != line)
        portable::UserClickLine(list, line, false);
}

bool ListKey(const ControlPlace &place, const Key &key, KeyTarget &target) {
    HWND list = place.handle;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    bool multiple = (place.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
    int caret = static_cast<int>(SendMessageA(list, LB_GETCARETINDEX, 0, 0));
    int current = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
    int at = multiple ? caret : current;
    int page = std::max(1, ContentRows(place) - 1);
    int to = -1;
    switch (key.kind) {
    case K::Up: to = at < 0 ? 0 : at - 1; break;
    case K::Down: to = at < 0 ? 0 : at + 1; break;
    case K::PageUp: to = at < 0 ? 0 : at - page; break;
    case K::PageDown: to = at < 0 ? 0 : at + page; break;
    case K::Home: to = 0; break;
    case K::End: to = count - 1; break;
    case K::Left:
    case K::Right:
        // Sideways through lines wider than the list.
        target.views[list].firstCol += key.kind == K::Left ? -1 : 1;
        return true;
    case K::Character: {
        if (key.character == L' ') {
            if (count == 0) return true;
            if (multiple)
                portable::UserClickLine(list, caret, false);
            else if (current < 0)
                portable::UserClickLine(list, caret, false);
            return true;
        }
        // The next line that starts with the letter typed.
        std::string letter = target.codePage.FromWide(key.character);
        if (letter.empty() || count == 0) return true;
        LRESULT found = SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(letter.c_str()));
        if (found == LB_ERR) return true;
        to = static_cast<int>(found);
        break;
    }
    default: return false;
    }
    if (count > 0) MoveListTo(list, multiple, std::clamp(to, 0, count - 1));
    return true;
}

bool IsButtonLook(Look look) {
    return look == Look::PushButton || look == Look::CheckBox || look == Look::RadioButton;
}

// The next control of the focused one's group (from a WS_GROUP control up
// to the next), round the group, as the arrow keys go.
HWND NextInGroup(HWND dialog, HWND from, int step) {
    std::vector<HWND> controls = portable::automation::Controls(dialog);
    int count = static_cast<int>(controls.size());
    int self = static_cast<int>(std::find(controls.begin(), controls.end(), from) - controls.begin());
    if (self >= count) return nullptr;
    auto starts = [&](int i) { return (GetWindowLongPtrA(controls[static_cast<size_t>(i)], GWL_STYLE) & WS_GROUP) != 0; };
    int first = self;
    while (first > 0 && !starts(first)) --first;
    int last = self + 1;
    while (last < count && !starts(last)) ++last;
    int size = last - first;
    for (int n = 1; n < size; ++n) {
        int index = first + ((self - first + step * n) % size + size) % size;
        HWND candidate = controls[static_cast<size_t>(index)];
        Look look = LookOf(candidate);
        if (Usable(candidate) && look != Look::Text && look != Look::GroupBox && look != Look::Icon) return candidate;
    }
    return nullptr;
}

bool ButtonKey(HWND dialog, HWND focus, const Key &key) {
    if (key.kind == K::Character && key.character == L' ') {
        portable::UserClickButton(focus);
        return true;
    }
    int step = key.kind == K::Up || key.kind == K::Left ? -1 : key.kind == K::Down || key.kind == K::Right ? 1 : 0;
    if (step == 0) return false;
    if (HWND next = NextInGroup(dialog, focus, step)) {
        // Arrowing onto a radio button checks it.
        if (LookOf(next) == Look::RadioButton)
            portable::UserClickButton(next);
        else
            portable::DialogFocus(next);
    }
    return true;
}

// The control whose underlined letter is `letter`, searching on from the
// focus: a button is clicked, a label or group box sends the focus to the
// next tab stop after it.
void Mnemonic(HWND dialog, wchar_t letter, const CodePage &codePage) {
    std::vector<HWND> controls = portable::automation::Controls(dialog);
    int count = static_cast<int>(controls.size());
    HWND focus = GetFocus();
    int self = static_cast<int>(std::find(controls.begin(), controls.end(), focus) - controls.begin());
    if (self >= count) self = -1;
    for (int n = 1; n <= count; ++n) {
        HWND control = controls[static_cast<size_t>((self + n + count) % count)];
        Look look = LookOf(control);
        if (!Usable(control) || look == Look::Edit || look == Look::ListBox || look == Look::Icon) continue;
        if (look == Look::Text && (GetWindowLongPtrA(control, GWL_STYLE) & SS_NOPREFIX)) continue;
        int length = GetWindowTextLengthA(control);
        std::string bytes(static_cast<size_t>(length) + 1, '\0');
        bytes.resize(static_cast<size_t>(std::max(0, GetWindowTextA(control, bytes.data(), length + 1))));
        int mnemonic = -1;
        std::wstring label = WithoutMnemonic(codePage.ToWide(bytes), mnemonic);
        if (mnemonic < 0 || std::towupper(static_cast<wint_t>(label[static_cast<size_t>(mnemonic)])) !=
                                std::towupper(static_cast<wint_t>(letter)))
            continue;
        if (IsButtonLook(look)) {
            portable::UserClickButton(control);
        } else if (HWND next = GetNextDlgTabItem(dialog, control, FALSE)) {
            portable::DialogFocus(next);
        }
        return;
    }
    beep();
}

const ControlPlace *ControlAt(const DialogPlace &dialog, int row, int col) {
    // The controls that take clicks lie over the labels and frames.
    for (auto it = dialog.controls.rbegin(); it != dialog.controls.rend(); ++it)
        if (it->look != Look::Text && it->look != Look::GroupBox && it->look != Look::Icon && it->cells.Contains(row, col))
            return &*it;
    return nullptr;
}

void MouseKey(HWND dialog, const Key &key, KeyTarget &target) {
    Placement &placement = target.placement;
    int row = key.row - placement.frameTop - 1 + placement.scrollRow;
    int col = key.col - placement.frameLeft - 1 + placement.scrollCol;
    bool inside = placement.Shows(row, col);
    if (key.mouse == Key::Mouse::Click && key.row == placement.frameTop && target.dialog.closeBox &&
        key.col >= placement.frameLeft + placement.frameCols - 4 && key.col < placement.frameLeft + placement.frameCols - 1) {
        portable::UserCloseBox(dialog);
        return;
    }
    const ControlPlace *control = inside ? ControlAt(target.dialog, row, col) : nullptr;
    if (key.mouse == Key::Mouse::WheelUp || key.mouse == Key::Mouse::WheelDown) {
        int step = key.mouse == Key::Mouse::WheelUp ? -kWheelLines : kWheelLines;
        if (control && control->look == Look::ListBox) {
            int top = static_cast<int>(SendMessageA(control->handle, LB_GETTOPINDEX, 0, 0)) + step;
            int count = static_cast<int>(SendMessageA(control->handle, LB_GETCOUNT, 0, 0));
            top = std::clamp(top, 0, std::max(0, count - ContentRows(*control)));
            SendMessageA(control->handle, LB_SETTOPINDEX, static_cast<WPARAM>(top), 0);
        } else if (control && IsMultilineEdit(*control)) {
            target.views[control->handle].firstLine = std::max(0, target.views[control->handle].firstLine + step);
        } else {
            placement.scrollRow += step;
            target.followFocus = false;
        }
        return;
    }
    if (!inside) {
        beep();
        return;
    }
    if (!control || !Usable(control->handle)) return;
    switch (control->look) {
    case Look::ListBox: {
        int line = ListLineAt(*control, placement, key.row);
        if (line >= 0)
            portable::UserClickLine(control->handle, line, key.mouse == Key::Mouse::DoubleClick);
        else
            SetFocus(control->handle);
        break;
    }
    case Look::Edit: {
        size_t byte = EditByteAt(*control, placement, key.row, key.col, target.codePage, target.views);
        if (portable::UserClickIntoEdit(control->handle)) SelectInEdit(control->handle, byte, byte, target.views);
        break;
    }
    default:
        portable::UserClickButton(control->handle);
        break;
    }
}

}  // namespace

void HandleDialogKey(const Key &key, KeyTarget &target) {
    HWND dialog = target.dialog.dialog;
    switch (key.kind) {
    case K::Mouse: MouseKey(dialog, key, target); return;
    case K::CloseBox: portable::UserCloseBox(dialog); return;
    case K::Tab: portable::UserKey(dialog, '\t'); return;
    case K::BackTab: {
        HWND focus = GetFocus();
        if (HWND previous = GetNextDlgTabItem(dialog, IsChild(dialog, focus) ? focus : nullptr, TRUE))
            portable::DialogFocus(previous);
        return;
    }
    case K::Enter: portable::UserKey(dialog, '\r'); return;
    case K::Escape: portable::UserKey(dialog, VK_ESCAPE); return;
    default: break;
    }
    if (key.kind == K::Character && key.alt) {
        Mnemonic(dialog, key.character, target.codePage);
        return;
    }
    HWND focus = GetFocus();
    const ControlPlace *focused = focus && IsChild(dialog, focus) ? target.dialog.Find(focus) : nullptr;
    if (focused && focused->look == Look::Edit) {
        if (EditKey(dialog, *focused, key, target)) return;
    } else if (focused && focused->look == Look::ListBox) {
        if (ListKey(*focused, key, target)) return;
    } else if (focused && IsButtonLook(focused->look)) {
        if (ButtonKey(dialog, focus, key)) return;
    }
    // A letter where no control takes letters is an underlined letter.
    if (key.kind == K::Character && !(focused && (focused->look == Look::Edit || focused->look == Look::ListBox)))
        Mnemonic(dialog, key.character, target.codePage);
}

}  // namespace terminal
