#include "platform/portable/front_ends/terminal/dialog_painter.h"

#include "platform/portable/resources/resources.h"

#include <curses.h>

#include <algorithm>

namespace terminal {
namespace {

// Drawing in a dialog's client cells, clipped to what its frame shows.
class Canvas {
public:
    explicit Canvas(const Placement &placement) : placement_(placement) {}

    void Char(int row, int col, wchar_t c, attr_t attr) {
        if (!placement_.Shows(row, col)) return;
        wchar_t text[2] = {c, 0};
        cchar_t cell;
        setcchar(&cell, text, attr, 0, nullptr);
        mvadd_wch(placement_.ScreenRow(row), placement_.ScreenCol(col), &cell);
    }

    void Line(int row, int col, const cchar_t *line, attr_t attr) {
        if (!placement_.Shows(row, col)) return;
        attr_set(attr, 0, nullptr);
        mvadd_wch(placement_.ScreenRow(row), placement_.ScreenCol(col), line);
        attr_set(A_NORMAL, 0, nullptr);
    }

    void Fill(int row, int col, int count, wchar_t c, attr_t attr) {
        for (int i = 0; i < count; ++i) Char(row, col + i, c, attr);
    }

    // At most `limit` columns of `text`; the character at `underline` is
    // underlined. Gives the columns used.
    int Text(int row, int col, const std::wstring &text, attr_t attr, int limit, int underline = -1) {
        std::wstring shown = Showable(text);
        int used = 0;
        for (size_t i = 0; i < shown.size(); ++i) {
            int width = CellWidth(shown[i]);
            if (used + width > limit) break;
            attr_t cellAttr = static_cast<int>(i) == underline ? (attr | A_UNDERLINE) : attr;
            if (width == 2 && !placement_.Shows(row, col + used + 1))
                Char(row, col + used, L'?', cellAttr);
            else
                Char(row, col + used, shown[i], cellAttr);
            used += width;
        }
        return used;
    }

    void Box(const Cells &cells, attr_t attr) {
        int bottom = cells.top + cells.rows - 1, right = cells.left + cells.cols - 1;
        for (int col = cells.left + 1; col < right; ++col) {
            Line(cells.top, col, WACS_HLINE, attr);
            if (cells.rows > 1) Line(bottom, col, WACS_HLINE, attr);
        }
        for (int row = cells.top + 1; row < bottom; ++row) {
            Line(row, cells.left, WACS_VLINE, attr);
            Line(row, right, WACS_VLINE, attr);
        }
        Line(cells.top, cells.left, WACS_ULCORNER, attr);
        Line(cells.top, right, WACS_URCORNER, attr);
        if (cells.rows > 1) {
            Line(bottom, cells.left, WACS_LLCORNER, attr);
            Line(bottom, right, WACS_LRCORNER, attr);
        }
    }

    // A scroll thumb in the right frame column of a framed control.
    void Thumb(const Cells &frame, int first, int shown, int total, attr_t attr) {
        int track = frame.rows - 2;
        if (total <= shown || track < 1) return;
        int most = std::max(1, total - shown);
        int at = static_cast<int>(static_cast<long long>(first) * (track - 1) / most);
        Line(frame.top + 1 + std::clamp(at, 0, track - 1), frame.left + frame.cols - 1, WACS_CKBOARD, attr);
    }

private:
    const Placement &placement_;
};

std::string ListLine(HWND list, int index) {
    LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::vector<std::wstring> SplitFields(const std::wstring &line) {
    std::vector<std::wstring> fields(1);
    for (wchar_t c : line) {
        if (c == L'\t')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

bool IsDefaultButton(const ControlPlace &control, HWND dialog) {
    if (control.look != Look::PushButton) return false;
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus) && LookOf(focus) == Look::PushButton) return focus == control.handle;
    LRESULT defaultId = SendMessageA(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(defaultId) == DC_HASDEFID && GetDlgItem(dialog, LOWORD(defaultId)) == control.handle;
}

// The first column shown so that `caret` (a character index) is inside a
// field `width` columns wide, moving `first` as little as it can.
int KeepInView(const std::wstring &chars, int first, size_t caret, int width) {
    first = std::clamp(first, 0, static_cast<int>(caret));
    while (first < static_cast<int>(caret) &&
           TextWidth(chars.substr(static_cast<size_t>(first), caret - static_cast<size_t>(first))) >= width)
        ++first;
    // Pull back when the text from there on leaves room on the left.
    while (first > 0 && TextWidth(chars.substr(static_cast<size_t>(first) - 1)) < width) --first;
    return first;
}

}  // namespace

std::vector<std::wstring> SystemIconDrawing(int iconId) {
    switch (iconId) {
    case 32513: return {L" /X\\ ", L" \\X/ "};   // IDI_HAND
    case 32514: return {L" (?) ", L"  '  "};    // IDI_QUESTION
    case 32515: return {L" /!\\ ", L"/___\\"};  // IDI_EXCLAMATION
    case 32516: return {L" (i) ", L"  '  "};    // IDI_ASTERISK
    case 32512:                                 // IDI_APPLICATION
    case 32517: return {L"+---+", L"+---+"};    // IDI_WINLOGO
    default: return {};
    }
}

Placement Place(const DialogPlace &dialog, int screenRows, int screenCols, int scrollRow, int scrollCol) {
    Placement placement;
    placement.frameRows = std::max(3, std::min(dialog.rows + 2, screenRows));
    placement.frameCols = std::max(3, std::min(dialog.cols + 2, screenCols));
    placement.frameTop = std::max(0, (screenRows - placement.frameRows) / 2);
    placement.frameLeft = std::max(0, (screenCols - placement.frameCols) / 2);
    placement.scrollRow = std::clamp(scrollRow, 0, std::max(0, dialog.rows - placement.ViewRows()));
    placement.scrollCol = std::clamp(scrollCol, 0, std::max(0, dialog.cols - placement.ViewCols()));
    return placement;
}

void ScrollToShow(Placement &placement, const DialogPlace &dialog, const Cells &cells) {
    auto follow = [](int first, int view, int from, int count) {
        if (from < first) return from;
        if (from + count > first + view) return std::min(from, from + count - view);
        return first;
    };
    int row = follow(placement.scrollRow, placement.ViewRows(), cells.top, cells.rows);
    int col = follow(placement.scrollCol, placement.ViewCols(), cells.left, cells.cols);
    placement.scrollRow = std::clamp(row, 0, std::max(0, dialog.rows - placement.ViewRows()));
    placement.scrollCol = std::clamp(col, 0, std::max(0, dialog.cols - placement.ViewCols()));
}

Cells ContentCells(const ControlPlace &control) {
    Cells cells = control.cells;
    if (IsFramed(control)) {
        cells.top += 1;
        cells.left += 1;
        cells.rows = std::max(1, cells.rows - 2);
        cells.cols = std::max(1, cells.cols - 2);
    }
    return cells;
}

int ContentRows(const ControlPlace &control) { return ContentCells(control).rows; }

Cursor DialogPainter::Draw(const DialogPlace &dialog, const Placement &placement, bool active) {
    // The frame and caption.
    attr_t frameAttr = active ? A_NORMAL : A_DIM;
    for (int row = 0; row < placement.frameRows; ++row)
        mvhline(placement.frameTop + row, placement.frameLeft, ' ', placement.frameCols);
    // The frame is drawn in its own cells: (0, 0) is its top-left corner.
    Placement whole = placement;
    whole.scrollRow = whole.scrollCol = 0;
    whole.frameRows += 2;
    whole.frameCols += 2;
    whole.frameTop -= 1;
    whole.frameLeft -= 1;
    Canvas frame(whole);
    frame.Box(Cells{0, 0, placement.frameRows, placement.frameCols}, frameAttr);
    int captionRoom = placement.frameCols - 4 - (dialog.closeBox ? 4 : 0);
    if (captionRoom > 2) {
        frame.Char(0, 1, L' ', frameAttr);
        int used = frame.Text(0, 2, dialog.caption, active ? A_BOLD : A_DIM, captionRoom - 1);
        frame.Char(0, 2 + used, L' ', frameAttr);
    }
    if (dialog.closeBox && placement.frameCols >= 6)
        frame.Text(0, placement.frameCols - 4, L"[X]", frameAttr, 3);
    // Marks where the dialog goes on beyond its frame.
    int right = placement.frameCols - 1, bottom = placement.frameRows - 1;
    if (placement.scrollRow > 0) frame.Line(1, right, WACS_UARROW, A_BOLD);
    if (placement.scrollRow + placement.ViewRows() < dialog.rows) frame.Line(bottom - 1, right, WACS_DARROW, A_BOLD);
    if (placement.scrollCol > 0) frame.Line(bottom, 1, WACS_LARROW, A_BOLD);
    if (placement.scrollCol + placement.ViewCols() < dialog.cols) frame.Line(bottom, right - 1, WACS_RARROW, A_BOLD);

    Canvas canvas(placement);
    Cursor cursor;
    HWND focus = GetFocus();
    HWND dialogHandle = dialog.dialog;
    auto draw = [&](const ControlPlace &control) {
        const Cells &cells = control.cells;
        const HWND handle = control.handle;
        const bool enabled = IsWindowEnabled(handle) != FALSE;
        const bool focused = active && handle == focus;
        const attr_t base = enabled ? A_NORMAL : A_DIM;
        int mnemonic = -1;
        std::wstring label = WithoutMnemonic(control.text, mnemonic);
        if (!enabled) mnemonic = -1;
        switch (control.look) {
        case Look::PushButton: {
            bool isDefault = enabled && IsDefaultButton(control, dialogHandle);
            attr_t attr = focused ? (base | A_REVERSE) : base;
            canvas.Fill(cells.top, cells.left, cells.cols, L' ', attr);
            int inner = cells.cols - 2;
            if (enabled) {
                canvas.Char(cells.top, cells.left, L'[', attr);
                canvas.Char(cells.top, cells.left + cells.cols - 1, L']', attr);
            }
            if (isDefault && inner >= TextWidth(label) + 2) {
                canvas.Char(cells.top, cells.left + 1, L'[', attr);
                canvas.Char(cells.top, cells.left + cells.cols - 2, L']', attr);
                inner -= 2;
            }
            int width = std::min(TextWidth(label), std::max(0, inner));
            int start = cells.left + (cells.cols - width) / 2;
            canvas.Text(cells.top, start, label, attr, width, mnemonic);
            if (focused) cursor = Cursor{true, placement.ScreenRow(cells.top), placement.ScreenCol(start)};
            break;
        }
        case Look::CheckBox:
        case Look::RadioButton: {
            bool radio = control.look == Look::RadioButton;
            LRESULT check = SendMessageA(handle, BM_GETCHECK, 0, 0);
            wchar_t mark = check == BST_CHECKED ? (radio ? L'*' : L'x') : check == BST_INDETERMINATE ? L'-' : L' ';
            std::wstring box = radio ? L"( )" : L"[ ]";
            box[1] = mark;
            canvas.Fill(cells.top, cells.left, cells.cols, L' ', base);
            canvas.Text(cells.top, cells.left, box, base, 3);
            canvas.Text(cells.top, cells.left + 4, label, focused ? (base | A_REVERSE) : base, cells.cols - 4, mnemonic);
            if (focused) cursor = Cursor{true, placement.ScreenRow(cells.top), placement.ScreenCol(cells.left + 1)};
            break;
        }
        case Look::GroupBox: {
            canvas.Box(cells, base);
            if (!label.empty() && cells.cols > 4) {
                canvas.Char(cells.top, cells.left + 1, L' ', base);
                int used = canvas.Text(cells.top, cells.left + 2, label, base, cells.cols - 4, mnemonic);
                canvas.Char(cells.top, cells.left + 2 + used, L' ', base);
            }
            break;
        }
        case Look::Text: {
            if (control.style & SS_NOPREFIX) {
                label = control.text;
                mnemonic = -1;
            }
            DWORD align = control.style & SS_TYPEMASK;
            auto lines = WrapLines(label, cells.rows == 1 ? 1 << 20 : cells.cols);
            for (size_t i = 0; i < lines.size() && static_cast<int>(i) < cells.rows; ++i) {
                std::wstring line = label.substr(lines[i].first, lines[i].second);
                int width = std::min(TextWidth(line), cells.cols);
                int start = cells.left;
                if (align == SS_RIGHT) start = cells.left + cells.cols - width;
                if (align == SS_CENTER) start = cells.left + (cells.cols - width) / 2;
                int underline = mnemonic - static_cast<int>(lines[i].first);
                canvas.Text(cells.top + static_cast<int>(i), start, line, base, width, underline);
            }
            break;
        }
        case Look::Icon: {
            int id = portable::IconIdOf(reinterpret_cast<HICON>(SendMessageA(handle, STM_GETICON, 0, 0)));
            std::vector<std::wstring> drawing = SystemIconDrawing(id);
            if (drawing.empty() && icons_) drawing = icons_(id);
            for (size_t i = 0; i < drawing.size() && static_cast<int>(i) < cells.rows; ++i)
                canvas.Text(cells.top + static_cast<int>(i), cells.left, drawing[i], base, cells.cols);
            break;
        }
        case Look::Edit: {
            EditState edit = ReadEdit(handle, codePage_, views_);
            ControlView &view = views_[handle];
            bool readOnly = (control.style & ES_READONLY) != 0;
            auto selected = [&](size_t character) {
                size_t byte = edit.starts[character];
                return focused && byte >= edit.selStart && byte < edit.selEnd;
            };
            size_t caret = edit.CharAt(edit.caret);
            if (!IsMultilineEdit(control)) {
                wchar_t fill = enabled && !readOnly ? L'_' : L' ';
                const std::wstring &chars = edit.chars;
                // The caret alone is easily missed: the focused field is bold.
                attr_t field = focused ? (base | A_BOLD) : base;
                view.firstCol = KeepInView(chars, view.firstCol, caret, cells.cols);
                canvas.Fill(cells.top, cells.left, cells.cols, fill, field);
                int used = 0;
                for (size_t i = static_cast<size_t>(view.firstCol); i < chars.size() && used < cells.cols; ++i) {
                    used += canvas.Text(cells.top, cells.left + used, chars.substr(i, 1),
                                        selected(i) ? (field | A_REVERSE) : field, cells.cols - used);
                }
                int before = TextWidth(chars.substr(static_cast<size_t>(view.firstCol), caret - static_cast<size_t>(view.firstCol)));
                if (focused) cursor = Cursor{true, placement.ScreenRow(cells.top), placement.ScreenCol(cells.left + before)};
                break;
            }
            Cells content = ContentCells(control);
            if (IsFramed(control)) canvas.Box(cells, base);
            for (int row = 0; row < content.rows; ++row) canvas.Fill(content.top + row, content.left, content.cols, L' ', base);
            std::vector<EditLineSpan> spans = EditLineSpans(handle);
            int caretLine = 0;
            for (size_t i = 0; i < spans.size(); ++i)
                if (spans[i].start <= edit.caret) caretLine = static_cast<int>(i);
            if (caretLine < view.firstLine) view.firstLine = caretLine;
            if (caretLine >= view.firstLine + content.rows) view.firstLine = caretLine - content.rows + 1;
            view.firstLine = std::clamp(view.firstLine, 0, std::max(0, static_cast<int>(spans.size()) - content.rows));
            size_t caretLineStart = spans.empty() ? 0 : edit.CharAt(spans[static_cast<size_t>(caretLine)].start);
            std::wstring caretChars = spans.empty() ? std::wstring()
                : edit.chars.substr(caretLineStart, edit.CharAt(spans[static_cast<size_t>(caretLine)].start +
                                                                spans[static_cast<size_t>(caretLine)].length) - caretLineStart);
            view.firstCol = KeepInView(caretChars, view.firstCol, caret - caretLineStart, content.cols);
            for (int row = 0; row < content.rows; ++row) {
                size_t line = static_cast<size_t>(view.firstLine + row);
                if (line >= spans.size()) break;
                size_t from = edit.CharAt(spans[line].start);
                size_t to = edit.CharAt(spans[line].start + spans[line].length);
                int used = 0;
                for (size_t i = from + static_cast<size_t>(view.firstCol); i < to && used < content.cols; ++i)
                    used += canvas.Text(content.top + row, content.left + used, edit.chars.substr(i, 1),
                                        selected(i) ? (base | A_REVERSE) : base, content.cols - used);
            }
            if (IsFramed(control)) canvas.Thumb(cells, view.firstLine, content.rows, static_cast<int>(spans.size()), base);
            if (focused) {
                size_t column = caret - caretLineStart;
                size_t from = std::min(column, static_cast<size_t>(view.firstCol));
                int before = TextWidth(caretChars.substr(from, column - from));
                cursor = Cursor{true, placement.ScreenRow(content.top + caretLine - view.firstLine),
                                placement.ScreenCol(content.left + before)};
            }
            break;
        }
        case Look::ListBox: {
            Cells content = ContentCells(control);
            if (IsFramed(control)) canvas.Box(cells, base);
            ControlView &view = views_[handle];
            int count = static_cast<int>(SendMessageA(handle, LB_GETCOUNT, 0, 0));
            bool multiple = (control.style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
            int caret = static_cast<int>(SendMessageA(handle, LB_GETCARETINDEX, 0, 0));
            int current = static_cast<int>(SendMessageA(handle, LB_GETCURSEL, 0, 0));
            int keep = multiple ? caret : (current >= 0 ? current : caret);
            int top = static_cast<int>(SendMessageA(handle, LB_GETTOPINDEX, 0, 0));
            // The selection (or the caret) comes into view when it moves,
            // as the list scrolls to it; the wheel may scroll it away again.
            if (keep != view.keptLine && keep >= 0 && keep < count) {
                if (keep < top) top = keep;
                if (keep >= top + content.rows) top = keep - content.rows + 1;
                view.keptLine = keep;
            }
            int clamped = std::clamp(top, 0, std::max(0, count - content.rows));
            if (clamped != static_cast<int>(SendMessageA(handle, LB_GETTOPINDEX, 0, 0)))
                SendMessageA(handle, LB_SETTOPINDEX, static_cast<WPARAM>(clamped), 0);
            top = clamped;
            // Tab stops as columns: each field starts where the widest field
            // before it on the lines shown ends, the first column taking at
            // most half the list.
            std::vector<std::vector<std::wstring>> rows;
            std::vector<int> starts{0};
            bool columns = (control.style & LBS_USETABSTOPS) != 0;
            for (int i = top; i < count && i < top + content.rows; ++i) {
                std::wstring line = codePage_.ToWide(ListLine(handle, i));
                rows.push_back(columns ? SplitFields(line) : std::vector<std::wstring>{line});
            }
            for (size_t field = 1;; ++field) {
                int widest = -1;
                for (const auto &fields : rows)
                    if (fields.size() > field) widest = std::max(widest, starts[field - 1] + TextWidth(fields[field - 1]));
                if (widest < 0) break;
                int start = widest + 2;
                if (field == 1) start = std::min(start, std::max(1, content.cols / 2));
                starts.push_back(start);
            }
            int longest = 0;
            std::vector<std::wstring> texts;
            for (const auto &fields : rows) {
                std::wstring text;
                for (size_t field = 0; field < fields.size(); ++field) {
                    if (field > 0) {
                        int pad = std::max(1, starts[field] - TextWidth(text));
                        text.append(static_cast<size_t>(pad), L' ');
                    }
                    text += fields[field];
                }
                longest = std::max(longest, TextWidth(text));
                texts.push_back(text);
            }
            view.firstCol = std::clamp(view.firstCol, 0, std::max(0, longest - content.cols));
            for (int row = 0; row < content.rows; ++row) {
                int index = top + row;
                bool isSelected = index < count && SendMessageA(handle, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
                attr_t attr = isSelected ? (base | A_REVERSE) : base;
                canvas.Fill(content.top + row, content.left, content.cols, L' ', attr);
                if (index >= count) continue;
                const std::wstring &text = texts[static_cast<size_t>(row)];
                size_t skip = 0;
                int skipped = 0;
                while (skip < text.size() && skipped < view.firstCol) skipped += std::max(1, CellWidth(text[skip++]));
                canvas.Text(content.top + row, content.left, text.substr(skip), attr, content.cols);
            }
            if (IsFramed(control)) canvas.Thumb(cells, top, content.rows, count, base);
            if (focused) {
                int at = (caret >= top && caret < top + content.rows) ? caret - top : 0;
                if (IsFramed(control) && caret >= top && caret < top + content.rows)
                    canvas.Char(content.top + at, cells.left, L'>', A_BOLD);
                cursor = Cursor{true, placement.ScreenRow(content.top + at),
                                placement.ScreenCol(IsFramed(control) ? cells.left : content.left)};
            }
            break;
        }
        }
    };
    // Frames and labels first, the controls over them, the focus on top.
    for (const ControlPlace &control : dialog.controls)
        if (control.look == Look::GroupBox) draw(control);
    for (const ControlPlace &control : dialog.controls)
        if (control.look == Look::Text || control.look == Look::Icon) draw(control);
    for (const ControlPlace &control : dialog.controls) {
        bool drawn = control.look == Look::GroupBox || control.look == Look::Text || control.look == Look::Icon;
        if (!drawn && !(active && control.handle == focus)) draw(control);
    }
    if (const ControlPlace *focused = active ? dialog.Find(focus) : nullptr) draw(*focused);
    return cursor;
}

int ListLineAt(const ControlPlace &list, const Placement &placement, int screenRow) {
    Cells content = ContentCells(list);
    int row = screenRow - placement.ScreenRow(content.top);
    if (row < 0 || row >= content.rows) return -1;
    int top = static_cast<int>(SendMessageA(list.handle, LB_GETTOPINDEX, 0, 0));
    int count = static_cast<int>(SendMessageA(list.handle, LB_GETCOUNT, 0, 0));
    return top + row < count ? top + row : -1;
}

size_t EditByteAt(const ControlPlace &edit, const Placement &placement, int screenRow, int screenCol,
                  const CodePage &codePage, ControlViews &views) {
    EditState state = ReadEdit(edit.handle, codePage, views);
    const ControlView &view = views[edit.handle];
    Cells content = ContentCells(edit);
    size_t from = 0, to = state.chars.size();
    if (IsMultilineEdit(edit)) {
        std::vector<EditLineSpan> spans = EditLineSpans(edit.handle);
        if (spans.empty()) return 0;
        int line = std::clamp(view.firstLine + screenRow - placement.ScreenRow(content.top), 0,
                              static_cast<int>(spans.size()) - 1);
        from = state.CharAt(spans[static_cast<size_t>(line)].start);
        to = state.CharAt(spans[static_cast<size_t>(line)].start + spans[static_cast<size_t>(line)].length);
    }
    int columns = std::max(0, screenCol - placement.ScreenCol(content.left)) + view.firstCol;
    size_t at = from;
    while (at < to && columns > 0) columns -= std::max(1, CellWidth(state.chars[at++]));
    return state.starts[at];
}

}  // namespace terminal
