// Where a dialog's controls go on a terminal: the dialog's own pixels,
// one character cell for each of its base units' average character (four
// dialog units across, eight down), narrowed when the terminal is too
// narrow for the template. A text that needs more room than its template
// gave it (a terminal has no proportional font) is given the room where
// the dialog has it.
#ifndef ORVIXFAX_TERMINAL_DIALOG_LAYOUT_H
#define ORVIXFAX_TERMINAL_DIALOG_LAYOUT_H

#include "platform/portable/front_ends/terminal/code_page.h"
#include "platform/portable/windows.h"

#include <string>
#include <utility>
#include <vector>

namespace terminal {

// How a control is drawn and worked.
enum class Look { PushButton, CheckBox, RadioButton, GroupBox, Edit, ListBox, Text, Icon };

// A rectangle of cells in the dialog's client area.
struct Cells {
    int top = 0, left = 0, rows = 0, cols = 0;
    bool Contains(int row, int col) const {
        return row >= top && row < top + rows && col >= left && col < left + cols;
    }
};

struct ControlPlace {
    HWND handle = nullptr;
    Look look = Look::Text;
    DWORD style = 0;
    std::wstring text;   // the window text as characters ('&' marks kept)
    Cells cells;
};

struct DialogPlace {
    HWND dialog = nullptr;
    std::wstring caption;
    bool closeBox = false;               // WS_SYSMENU
    int rows = 0, cols = 0;              // the client area in cells
    std::vector<ControlPlace> controls;  // the visible ones, in template order

    const ControlPlace *Find(HWND control) const;
};

Look LookOf(HWND control);
bool IsFramed(const ControlPlace &control);   // a list or multi-line edit with a border
bool IsMultilineEdit(const ControlPlace &control);

// The dialog laid out for a terminal `screenCols` wide.
DialogPlace LayOut(HWND dialog, int screenCols, const CodePage &codePage);

// A control text without its mnemonic marks ("&&" is one '&'), and the
// index in it of the underlined letter (-1 for none).
std::wstring WithoutMnemonic(const std::wstring &text, int &mnemonic);

// A text broken into lines at its line breaks and, where a line is wider
// than `width` columns, at the last space that fits (or anywhere when there
// is none): the start and length of each line in the text.
std::vector<std::pair<size_t, size_t>> WrapLines(const std::wstring &text, int width);

}  // namespace terminal

#endif
