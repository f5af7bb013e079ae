#include "platform/portable/front_ends/terminal/message_box_view.h"

#include "platform/portable/front_ends/terminal/code_page.h"
#include "platform/portable/front_ends/terminal/dialog_layout.h"
#include "platform/portable/front_ends/terminal/dialog_painter.h"

#include <curses.h>

#include <algorithm>
#include <cwctype>

namespace terminal {
namespace {

// The widest a line of the text gets.
constexpr int kTextWidth = 60;
// The bits of a box's type that choose its default button (kDefaultButtonBits).
constexpr UINT kDefaultButtonBits = 0x00000F00;

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

std::wstring LabelOf(int button) {
    switch (button) {
    case IDCANCEL: return L"Cancel";
    case IDABORT: return L"&Abort";
    case IDRETRY: return L"&Retry";
    case IDIGNORE: return L"&Ignore";
    case IDYES: return L"&Yes";
    case IDNO: return L"&No";
    default: return L"OK";
    }
}

int SystemIconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return 32513;
    case MB_ICONQUESTION: return 32514;
    case MB_ICONEXCLAMATION: return 32515;
    case MB_ICONINFORMATION: return 32516;
    default: return 0;
    }
}

void Put(int row, int col, const std::wstring &text, attr_t attr, int underline = -1) {
    std::wstring shown = Showable(text);
    for (size_t i = 0; i < shown.size(); ++i) {
        wchar_t cell[2] = {shown[i], 0};
        cchar_t c;
        setcchar(&c, cell, static_cast<int>(i) == underline ? (attr | A_UNDERLINE) : attr, 0, nullptr);
        mvadd_wch(row, col, &c);
        col += std::max(1, CellWidth(shown[i]));
    }
}

}  // namespace

MessageBoxView::MessageBoxView(const std::wstring &caption, const std::wstring &text, UINT type)
    : caption_(caption), text_(text), type_(type), buttons_(ButtonsOf(type)) {
    size_t chosen = (type & kDefaultButtonBits) == MB_DEFBUTTON2 ? 1 : (type & kDefaultButtonBits) == MB_DEFBUTTON3 ? 2 : 0;
    focus_ = chosen < buttons_.size() ? chosen : 0;
}

void MessageBoxView::Draw(int screenRows, int screenCols) {
    std::vector<std::wstring> icon = SystemIconDrawing(SystemIconOf(type_));
    int iconCols = icon.empty() ? 0 : 7;
    int textRoom = std::max(10, std::min(kTextWidth, screenCols - 6 - iconCols));
    std::vector<std::wstring> lines;
    int textCols = 0;
    for (const auto &[start, length] : WrapLines(text_, textRoom)) {
        lines.push_back(text_.substr(start, length));
        textCols = std::max(textCols, TextWidth(lines.back()));
    }
    int buttonCols = 10;
    for (int button : buttons_) {
        int mnemonic = 0;
        buttonCols = std::max(buttonCols, TextWidth(WithoutMnemonic(LabelOf(button), mnemonic)) + 4);
    }
    int rowOfButtons = static_cast<int>(buttons_.size()) * (buttonCols + 2) - 2;
    int bodyRows = std::max(static_cast<int>(lines.size()), static_cast<int>(icon.size()));
    int cols = std::max({iconCols + textCols, rowOfButtons, TextWidth(caption_) + 4}) + 4;
    int rows = bodyRows + 6;
    cols = std::min(cols, screenCols);
    rows = std::min(rows, screenRows);
    int top = std::max(0, (screenRows - rows) / 2), left = std::max(0, (screenCols - cols) / 2);

    for (int row = 0; row < rows; ++row) mvhline(top + row, left, ' ', cols);
    mvadd_wch(top, left, WACS_ULCORNER);
    mvadd_wch(top, left + cols - 1, WACS_URCORNER);
    mvadd_wch(top + rows - 1, left, WACS_LLCORNER);
    mvadd_wch(top + rows - 1, left + cols - 1, WACS_LRCORNER);
    for (int col = left + 1; col < left + cols - 1; ++col) {
        mvadd_wch(top, col, WACS_HLINE);
        mvadd_wch(top + rows - 1, col, WACS_HLINE);
    }
    for (int row = top + 1; row < top + rows - 1; ++row) {
        mvadd_wch(row, left, WACS_VLINE);
        mvadd_wch(row, left + cols - 1, WACS_VLINE);
    }
    Put(top, left + 2, L" " + caption_.substr(0, static_cast<size_t>(std::max(0, cols - 6))) + L" ", A_BOLD);
    for (size_t i = 0; i < icon.size() && static_cast<int>(i) < rows - 6; ++i)
        Put(top + 2 + static_cast<int>(i), left + 2, icon[i], A_NORMAL);
    for (size_t i = 0; i < lines.size() && static_cast<int>(i) < rows - 6; ++i)
        Put(top + 2 + static_cast<int>(i), left + 2 + iconCols, lines[i], A_NORMAL);

    places_.clear();
    int row = top + rows - 3;
    int col = left + std::max(1, (cols - rowOfButtons) / 2);
    int cursorCol = col;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        int mnemonic = -1;
        std::wstring label = WithoutMnemonic(LabelOf(buttons_[i]), mnemonic);
        bool focused = i == focus_;
        attr_t attr = focused ? A_REVERSE : A_NORMAL;
        std::wstring face(static_cast<size_t>(buttonCols), L' ');
        face.front() = L'[';
        face.back() = L']';
        if (focused) {
            face[1] = L'[';
            face[face.size() - 2] = L']';
        }
        int start = (buttonCols - TextWidth(label)) / 2;
        face.replace(static_cast<size_t>(start), label.size(), label);
        Put(row, col, face, attr, mnemonic < 0 ? -1 : start + mnemonic);
        places_.push_back(ButtonPlace{row, col, buttonCols});
        if (focused) cursorCol = col + start;
        col += buttonCols + 2;
    }
    move(row, cursorCol);
}

int MessageBoxView::Take(const Key &key) {
    using K = Key::Kind;
    size_t count = buttons_.size();
    switch (key.kind) {
    case K::Tab:
    case K::Right:
    case K::Down: focus_ = (focus_ + 1) % count; return 0;
    case K::BackTab:
    case K::Left:
    case K::Up: focus_ = (focus_ + count - 1) % count; return 0;
    case K::Enter: return buttons_[focus_];
    case K::Escape:
    case K::CloseBox: {
        // Escape and the close box mean Cancel, and OK alone; a box with
        // neither (Yes/No, Abort/Retry/Ignore) does not close on them.
        for (int button : buttons_)
            if (button == IDCANCEL) return IDCANCEL;
        if (count == 1 && buttons_[0] == IDOK) return IDOK;
        beep();
        return 0;
    }
    case K::Character: {
        if (key.character == L' ') return buttons_[focus_];
        for (int button : buttons_) {
            int mnemonic = -1;
            std::wstring label = WithoutMnemonic(LabelOf(button), mnemonic);
            if (mnemonic >= 0 && std::towupper(static_cast<wint_t>(label[static_cast<size_t>(mnemonic)])) ==
                                     std::towupper(static_cast<wint_t>(key.character)))
                return button;
        }
        beep();
        return 0;
    }
    case K::Mouse:
        if (key.mouse != Key::Mouse::Click && key.mouse != Key::Mouse::DoubleClick) return 0;
        for (size_t i = 0; i < places_.size(); ++i)
            if (key.row == places_[i].row && key.col >= places_[i].col && key.col < places_[i].col + places_[i].cols)
                return buttons_[i];
        return 0;
    default: return 0;
    }
}

int MessageBoxView::SafeAnswer() const {
    for (int safe : {IDCANCEL, IDNO, IDABORT, IDOK})
        for (int button : buttons_)
            if (button == safe) return safe;
    return buttons_.front();
}

}  // namespace terminal
