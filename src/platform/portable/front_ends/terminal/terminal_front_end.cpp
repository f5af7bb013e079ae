#include "platform/portable/front_ends/terminal/terminal_front_end.h"

#include "platform/portable/automation.h"
#include "platform/portable/front_ends/terminal/dialog_keys.h"
#include "platform/portable/front_ends/terminal/dialog_layout.h"
#include "platform/portable/front_ends/terminal/message_box_view.h"
#include "platform/portable/front_ends/terminal/terminal_session.h"

#include <curses.h>

#include <utility>

namespace terminal {

namespace {

// The focused control's cells, taken up to the title of the outermost group
// box around it when that still fits the rows shown: the user sees what
// the control belongs to.
Cells WithItsGroup(const DialogPlace &dialog, const ControlPlace &focused, int viewRows) {
    Cells wanted = focused.cells;
    int bottom = wanted.top + wanted.rows;
    for (const ControlPlace &group : dialog.controls) {
        const Cells &frame = group.cells;
        if (group.look != Look::GroupBox || frame.top >= wanted.top || bottom > frame.top + frame.rows ||
            focused.cells.left < frame.left || focused.cells.left >= frame.left + frame.cols)
            continue;
        if (bottom - frame.top <= viewRows) {
            wanted.rows = bottom - frame.top;
            wanted.top = frame.top;
        }
    }
    return wanted;
}

}  // namespace

TerminalFrontEnd::TerminalFrontEnd(const std::string &codePage, IconDrawings icons)
    : codePage_(codePage), icons_(std::move(icons)) {}

TerminalFrontEnd::~TerminalFrontEnd() { End(); }

bool TerminalFrontEnd::Start(std::string &error) { return StartSession(error); }

void TerminalFrontEnd::End() { EndSession(); }

void TerminalFrontEnd::Paint(MessageBoxView *box) {
    erase();
    int screenRows = LINES, screenCols = COLS;
    std::vector<HWND> dialogs = portable::automation::OpenDialogs();
    DialogPainter painter(codePage_, icons_, views_);
    Cursor cursor;
    for (size_t i = 0; i < dialogs.size(); ++i) {
        HWND dialog = dialogs[i];
        bool active = i + 1 == dialogs.size() && box == nullptr;
        DialogPlace place = LayOut(dialog, screenCols, codePage_);
        Scroll &scroll = scrolls_[dialog];
        Placement placement = Place(place, screenRows, screenCols, scroll.row, scroll.col);
        if (i + 1 == dialogs.size()) {
            HWND focus = GetFocus();
            const ControlPlace *focused = IsChild(dialog, focus) ? place.Find(focus) : nullptr;
            if (focused && followFocus_) ScrollToShow(placement, place, WithItsGroup(place, *focused, placement.ViewRows()));
            scroll = Scroll{placement.scrollRow, placement.scrollCol};
        }
        Cursor drawn = painter.Draw(place, placement, active);
        if (i + 1 == dialogs.size()) {
            cursor = drawn;
            drawn_ = place;
            drawnPlacement_ = placement;
        }
    }
    if (box) {
        box->Draw(screenRows, screenCols);  // leaves the cursor on its focused button
    } else if (cursor.shown) {
        move(cursor.row, cursor.col);
    }
    refresh();
}

void TerminalFrontEnd::RunDialog(HWND dialog) {
    while (!portable::automation::HasEnded(dialog) && !lost_) {
        Paint(nullptr);
        Key key = ReadKey();
        switch (key.kind) {
        case Key::Kind::Lost: lost_ = true; break;
        case Key::Kind::Resize: break;  // the next drawing lays out anew
        case Key::Kind::Redraw: clearok(curscr, TRUE); break;
        case Key::Kind::None: break;
        default: {
            // The keys go to the dialog on top, as drawn last; a copy, as a
            // dialog or message box the key opens is drawn in its turn.
            if (drawn_.dialog != dialog) break;
            DialogPlace place = drawn_;
            Placement placement = drawnPlacement_;
            KeyTarget target{place, placement, codePage_, views_};
            HandleDialogKey(key, target);
            followFocus_ = target.followFocus;
            if (!portable::automation::HasEnded(dialog))
                scrolls_[dialog] = Scroll{placement.scrollRow, placement.scrollCol};
            break;
        }
        }
    }
    scrolls_.erase(dialog);
}

int TerminalFrontEnd::AnswerMessageBox(HWND, const std::string &text, const std::string &caption, UINT type) {
    MessageBoxView box(codePage_.ToWide(caption), codePage_.ToWide(text), type);
    while (!lost_) {
        Paint(&box);
        Key key = ReadKey();
        if (key.kind == Key::Kind::Lost) {
            lost_ = true;
            break;
        }
        if (key.kind == Key::Kind::Redraw) clearok(curscr, TRUE);
        if (int answer = box.Take(key)) return answer;
    }
    return box.SafeAnswer();
}

}  // namespace terminal
