// Drawing dialogs and their controls on the terminal, as the Windows
// controls draw themselves: group boxes as frames, check boxes as [x],
// radio buttons as (*), push buttons in brackets (the default one in
// double brackets), edits as fields, lists in a frame with the selected lines in
// reverse. A disabled control is dim (a disabled push button loses its
// brackets too); the focused one is in reverse, and the terminal's cursor
// stands where the keys will act.
#ifndef ORVIXFAX_TERMINAL_DIALOG_PAINTER_H
#define ORVIXFAX_TERMINAL_DIALOG_PAINTER_H

#include "platform/portable/front_ends/terminal/control_views.h"
#include "platform/portable/front_ends/terminal/dialog_layout.h"

#include <functional>
#include <string>
#include <vector>

namespace terminal {

// A small character drawing of an icon: a few lines of at most five
// characters; empty when there is none for the id.
using IconDrawings = std::function<std::vector<std::wstring>(int iconId)>;
// The drawings of the system's icons (IDI_HAND...), for the message boxes.
std::vector<std::wstring> SystemIconDrawing(int iconId);

// Where a dialog is on the screen: its frame, and the client cell shown in
// the frame's top-left inner corner (the dialog scrolls inside the frame
// when the terminal is smaller than it).
struct Placement {
    int frameTop = 0, frameLeft = 0, frameRows = 0, frameCols = 0;
    int scrollRow = 0, scrollCol = 0;

    int ViewRows() const { return frameRows - 2; }
    int ViewCols() const { return frameCols - 2; }
    int ScreenRow(int row) const { return frameTop + 1 + row - scrollRow; }
    int ScreenCol(int col) const { return frameLeft + 1 + col - scrollCol; }
    bool Shows(int row, int col) const {
        return row >= scrollRow && row < scrollRow + ViewRows() && col >= scrollCol && col < scrollCol + ViewCols();
    }
};

// Centred on a screen of the given size, scrolled as asked as far as the
// dialog allows.
Placement Place(const DialogPlace &dialog, int screenRows, int screenCols, int scrollRow, int scrollCol);
// Scrolls as little as needed to show `cells` (its top-left first when it
// does not fit whole).
void ScrollToShow(Placement &placement, const DialogPlace &dialog, const Cells &cells);

// The visible lines inside a list or multi-line edit.
int ContentRows(const ControlPlace &control);
Cells ContentCells(const ControlPlace &control);

struct Cursor {
    bool shown = false;
    int row = 0, col = 0;
};

class DialogPainter {
public:
    DialogPainter(const CodePage &codePage, const IconDrawings &icons, ControlViews &views)
        : codePage_(codePage), icons_(icons), views_(views) {}

    // Draws the dialog in its frame; `active` for the one the keys go to.
    // The cursor is where the focused control takes its keys.
    Cursor Draw(const DialogPlace &dialog, const Placement &placement, bool active);

private:
    const CodePage &codePage_;
    const IconDrawings &icons_;
    ControlViews &views_;
};

// The line of a list shown at a screen row, -1 for none.
int ListLineAt(const ControlPlace &list, const Placement &placement, int screenRow);
// The byte in an edit the user points at on the screen.
size_t EditByteAt(const ControlPlace &edit, const Placement &placement, int screenRow, int screenCol,
                  const CodePage &codePage, ControlViews &views);

}  // namespace terminal

#endif
