#include "platform/portable/front_ends/terminal/dialog_layout.h"

#include "platform/portable/automation.h"

#include <algorithm>
#include <cmath>

namespace terminal {
namespace {

// Below this the texts would no longer be readable: the dialog scrolls
// sideways instead.
constexpr double kNarrowest = 0.75;

// A check box or radio button draws "[x] " in front of its text.
constexpr int kBoxWidth = 4;

std::string TextOf(HWND window) {
    int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    int copied = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

int Round(double value) { return static_cast<int>(std::lround(value)); }

// The width a control needs for its text, 0 when its template width is all
// it takes.
int TextNeeds(const ControlPlace &control) {
    int mnemonic = 0;
    int width = TextWidth(WithoutMnemonic(control.text, mnemonic));
    switch (control.look) {
    case Look::PushButton: return width + 2;
    case Look::CheckBox:
    case Look::RadioButton: return width + kBoxWidth;
    case Look::Text: return control.cells.rows == 1 ? width : 0;
    default: return 0;
    }
}

// Widens a control to its text's width: a right-aligned text grows to the
// left, a push button and a centred text both ways, the rest to the right.
void GiveTextRoom(ControlPlace &control, int dialogCols) {
    int needs = TextNeeds(control);
    Cells &cells = control.cells;
    if (needs <= cells.cols) return;
    int more = std::min(needs, dialogCols) - cells.cols;
    if (more <= 0) return;
    DWORD align = control.style & SS_TYPEMASK;
    if (control.look == Look::Text && align == SS_RIGHT)
        cells.left -= more;
    else if (control.look == Look::PushButton || (control.look == Look::Text && align == SS_CENTER))
        cells.left -= more / 2;
    cells.cols += more;
    cells.left = std::clamp(cells.left, 0, std::max(0, dialogCols - cells.cols));
}

// A one-line label that runs into the control after it on its row moves
// left into free cells, as far as it can.
void ClearOfNeighbours(std::vector<ControlPlace> &controls) {
    auto overlaps = [](const Cells &a, const Cells &b) {
        return a.top < b.top + b.rows && b.top < a.top + a.rows && a.left < b.left + b.cols && b.left < a.left + a.cols;
    };
    for (ControlPlace &label : controls) {
        if (label.look != Look::Text || label.cells.rows != 1) continue;
        int blocked = label.cells.left + label.cells.cols;  // the first cell taken on its right
        int free = 0;                                       // the first free cell on its left
        for (const ControlPlace &other : controls) {
            if (&other == &label || other.look == Look::GroupBox) continue;
            const Cells &cells = other.cells;
            if (cells.top > label.cells.top || cells.top + cells.rows <= label.cells.top) continue;
            if (cells.left >= label.cells.left && overlaps(cells, label.cells)) blocked = std::min(blocked, cells.left);
            if (cells.left + cells.cols <= label.cells.left) free = std::max(free, cells.left + cells.cols);
        }
        int over = label.cells.left + label.cells.cols - blocked;
        if (over > 0) label.cells.left -= std::min(over, label.cells.left - free);
    }
}

}  // namespace

const ControlPlace *DialogPlace::Find(HWND control) const {
    for (const ControlPlace &place : controls)
        if (place.handle == control) return &place;
    return nullptr;
}

Look LookOf(HWND control) {
    std::string kind = portable::automation::KindOf(control);
    if (kind == "button") return Look::PushButton;
    if (kind == "check box") return Look::CheckBox;
    if (kind == "radio button") return Look::RadioButton;
    if (kind == "group box") return Look::GroupBox;
    if (kind == "edit") return Look::Edit;
    if (kind == "list box") return Look::ListBox;
    if (kind == "icon") return Look::Icon;
    return Look::Text;
}

bool IsMultilineEdit(const ControlPlace &control) {
    return control.look == Look::Edit && (control.style & ES_MULTILINE);
}

bool IsFramed(const ControlPlace &control) {
    return (control.look == Look::ListBox || IsMultilineEdit(control)) && (control.style & WS_BORDER);
}

std::wstring WithoutMnemonic(const std::wstring &text, int &mnemonic) {
    std::wstring out;
    mnemonic = -1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != L'&' && mnemonic < 0) mnemonic = static_cast<int>(out.size());
        }
        out.push_back(text[i]);
    }
    return out;
}

std::vector<std::pair<size_t, size_t>> WrapLines(const std::wstring &text, int width) {
    std::vector<std::pair<size_t, size_t>> lines;
    size_t start = 0;
    while (true) {
        size_t stop = text.find(L'\n', start);
        if (stop == std::wstring::npos) stop = text.size();
        size_t end = stop > start && text[stop - 1] == L'\r' ? stop - 1 : stop;
        size_t from = start;
        do {
            size_t length = end - from;
            if (TextWidth(text.substr(from, length)) > width) {
                length = 0;
                while (from + length < end && TextWidth(text.substr(from, length + 1)) <= width) ++length;
                size_t space = text.rfind(L' ', from + length);
                if (space != std::wstring::npos && space > from) length = space - from;
                if (length == 0) length = 1;
            }
            lines.emplace_back(from, length);
            from += length;
            while (from < end && text[from] == L' ') ++from;
        } while (from < end);
        if (stop == text.size()) break;
        start = stop + 1;
    }
    return lines;
}

DialogPlace LayOut(HWND dialog, int screenCols, const CodePage &codePage) {
    DialogPlace place;
    place.dialog = dialog;
    place.caption = codePage.ToWide(TextOf(dialog));
    place.closeBox = (GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU) != 0;

    RECT units{0, 0, 4, 8};
    MapDialogRect(dialog, &units);
    double cellWidth = units.right > 0 ? units.right : 6;
    double cellHeight = units.bottom > 0 ? units.bottom : 13;

    RECT window{}, client{};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    LONG side = ((window.right - window.left) - client.right) / 2;
    LONG above = (window.bottom - window.top) - client.bottom - side;
    POINT origin{window.left + side, window.top + above};

    double natural = client.right / cellWidth;
    double scale = 1.0;
    if (natural > screenCols - 2 && natural > 0)
        scale = std::max(kNarrowest, (screenCols - 2) / natural);
    auto col = [&](double x) { return Round(x * scale / cellWidth); };
    place.cols = std::max(1, col(client.right));
    place.rows = std::max(1, Round(client.bottom / cellHeight));

    for (HWND handle : portable::automation::Controls(dialog)) {
        if (!IsWindowVisible(handle)) continue;
        ControlPlace control;
        control.handle = handle;
        control.look = LookOf(handle);
        control.style = static_cast<DWORD>(GetWindowLongPtrA(handle, GWL_STYLE));
        control.text = control.look == Look::Edit || control.look == Look::ListBox
                           ? std::wstring()
                           : codePage.ToWide(TextOf(handle));
        RECT rect{};
        GetWindowRect(handle, &rect);
        double x = rect.left - origin.x, y = rect.top - origin.y;
        double width = rect.right - rect.left, height = rect.bottom - rect.top;
        Cells &cells = control.cells;
        cells.left = col(x);
        cells.cols = std::max(1, col(x + width) - cells.left);
        bool tall = control.look == Look::GroupBox || control.look == Look::ListBox ||
                    IsMultilineEdit(control) ||
                    (control.look == Look::Text && height >= 2 * cellHeight);
        if (control.look == Look::Icon) {
            // An icon static takes its icon's size, 32 by 32 pixels.
            cells.top = Round(y / cellHeight);
            cells.rows = 2;
            cells.cols = 5;
        } else if (tall) {
            cells.top = Round(y / cellHeight);
            cells.rows = std::max(IsFramed(control) ? 3 : 1, Round((y + height) / cellHeight) - cells.top);
        } else {
            // One line of text, on the row of its middle.
            cells.top = static_cast<int>((y + height / 2) / cellHeight);
            cells.rows = 1;
        }
        GiveTextRoom(control, place.cols);
        place.rows = std::max(place.rows, cells.top + cells.rows);
        place.cols = std::max(place.cols, cells.left + cells.cols);
        place.controls.push_back(control);
    }
    ClearOfNeighbours(place.controls);
    return place;
}

}  // namespace terminal
