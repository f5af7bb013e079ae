// The "Cover Page" dialog: procedure, initialiser and command handler.
#include "editors/cover_page_dialog.h"

#include <cstring>

#include "addrbook/records.h"
#include "common/text_field.h"
#include "res/resource.h"

namespace {

const int kSenderTextLimit = 40;
const int kNoteLines = 10;
const int kNoteLineChars = 255;
// The note field is made this many note-font characters wide, so a line
// wraps where the cover sheet has room for it.
const int kNoteWidthChars = 50;

WorkingContext *ContextOf(HWND dialog) {
    return reinterpret_cast<WorkingContext *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

UINT CheckFor(int32_t flag) { return flag == 1 ? BST_CHECKED : BST_UNCHECKED; }

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

HFONT CreateNoteFont() {
    LOGFONTA font;
    std::memset(&font, 0, sizeof font);
    font.lfHeight = -11;
    font.lfWidth = 8;
    font.lfPitchAndFamily = FIXED_PITCH;
    return CreateFontIndirectA(&font);
}

// Sizes the note field so that its text area is 50 characters of its font
// wide (the cover sheet's line) and 8 lines high, and the dialog to the
// field's width plus a margin. The border and the edit's own margins come
// on top of the 50 characters: a window of exactly 50 characters would wrap
// the note earlier than the cover sheet does.
void FitNoteField(HWND dialog, HWND note, HFONT font) {
    TEXTMETRICA metrics;
    std::memset(&metrics, 0, sizeof metrics);
    HDC dc = GetDC(note);
    if (dc == nullptr) return;
    HGDIOBJ previous = SelectObject(dc, font);
    GetTextMetricsA(dc, &metrics);
    if (previous != nullptr) SelectObject(dc, previous);
    ReleaseDC(note, dc);

    RECT frame;
    RECT text;
    std::memset(&frame, 0, sizeof frame);
    std::memset(&text, 0, sizeof text);
    GetWindowRect(note, &frame);
    SendMessageA(note, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
    LONG chrome = (frame.right - frame.left) - (text.right - text.left);
    if (text.right <= text.left || chrome < 0) chrome = 0;

    // The internal leading is counted twice (tmHeight holds it already);
    // the field keeps the height it has always had.
    const int lineHeight = metrics.tmHeight + metrics.tmInternalLeading + metrics.tmExternalLeading;
    const int textWidth = kNoteWidthChars * metrics.tmAveCharWidth;
    SetWindowPos(note, nullptr, 0, 0, textWidth + chrome, 8 * lineHeight,
                 SWP_NOMOVE | SWP_NOZORDER);

    RECT window;
    if (GetWindowRect(dialog, &window)) {
        SetWindowPos(dialog, nullptr, 0, 0, textWidth + 25 + chrome, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER);
    }
}

BOOL OnInitCoverPage(HWND dialog, WorkingContext *context) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    if (context == nullptr || context->senderInfo == nullptr || context->faxInfo == nullptr) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    const SenderInfo *sender = context->senderInfo;
    const FaxInfo *info = context->faxInfo;

    SendDlgItemMessageA(dialog, IDC_COVER_NAME, EM_LIMITTEXT, kSenderTextLimit, 0);
    SendDlgItemMessageA(dialog, IDC_COVER_FAX, EM_LIMITTEXT, kSenderTextLimit, 0);
    SendDlgItemMessageA(dialog, IDC_COVER_BUSINESS, EM_LIMITTEXT, kSenderTextLimit, 0);
    SendDlgItemMessageA(dialog, IDC_COVER_HOME, EM_LIMITTEXT, kSenderTextLimit, 0);

    SetDlgItemTextA(dialog, IDC_COVER_NAME, sender->senderName);
    SetDlgItemTextA(dialog, IDC_COVER_FAX, sender->senderFaxNumber);
    SetDlgItemTextA(dialog, IDC_COVER_BUSINESS, sender->senderBusinessNumber);
    SetDlgItemTextA(dialog, IDC_COVER_HOME, sender->senderHomeNumber);

    char note[kNoteLines * 257 + 1];
    JoinNoteLines(sender->noteLines, note, sizeof note);
    SetDlgItemTextA(dialog, IDC_COVER_NOTE, note);

    CheckDlgButton(dialog, IDC_COVER_SENDER_NAME, CheckFor(sender->senderNameFlag));
    CheckDlgButton(dialog, IDC_COVER_SENDER_FAX, CheckFor(sender->senderFaxNumberFlag));
    CheckDlgButton(dialog, IDC_COVER_SENDER_HOME, CheckFor(sender->senderHomeNumberFlag));
    CheckDlgButton(dialog, IDC_COVER_SENDER_BUSINESS, CheckFor(sender->senderBusinessNumberFlag));
    CheckDlgButton(dialog, IDC_COVER_RECIP_NAME, info->includeRecipName == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_COVER_RECIP_NUMBER, info->includeRecipNumber == 1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_COVER_RECIP_COMPANY, info->includeRecipCompany == 1 ? BST_CHECKED : BST_UNCHECKED);

    // Without the note font the field keeps the dialog's font and is sized
    // by that font instead.
    HWND noteField = GetDlgItem(dialog, IDC_COVER_NOTE);
    HFONT font = CreateNoteFont();
    if (font != nullptr) {
        SendMessageA(noteField, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    } else {
        font = reinterpret_cast<HFONT>(SendMessageA(noteField, WM_GETFONT, 0, 0));
    }
    FitNoteField(dialog, noteField, font);
    return TRUE;
}

// The note as the field shows it: display line i becomes note line i.
void ReadNoteLines(HWND dialog, SenderInfo *sender) {
    for (int line = 0; line < kNoteLines; ++line) {
        char buffer[kNoteLineChars + 1];
        std::memset(buffer, 0, sizeof buffer);
        const WORD room = kNoteLineChars;
        std::memcpy(buffer, &room, sizeof room);
        LRESULT copied = SendDlgItemMessageA(dialog, IDC_COVER_NOTE, EM_GETLINE,
                                             static_cast<WPARAM>(line),
                                             reinterpret_cast<LPARAM>(buffer));
        if (copied < 0) copied = 0;
        if (copied > kNoteLineChars) copied = kNoteLineChars;
        buffer[copied] = '\0';
        CopyField(sender->noteLines[line], buffer);
    }
}

void OnCoverPageOk(HWND dialog, WorkingContext *context) {
    FaxInfo *info = context->faxInfo;
    SenderInfo *sender = context->senderInfo;
    info->includeRecipName = IsChecked(dialog, IDC_COVER_RECIP_NAME) ? 1 : 0;
    info->includeRecipNumber = IsChecked(dialog, IDC_COVER_RECIP_NUMBER) ? 1 : 0;
    info->includeRecipCompany = IsChecked(dialog, IDC_COVER_RECIP_COMPANY) ? 1 : 0;
    sender->senderNameFlag = IsChecked(dialog, IDC_COVER_SENDER_NAME) ? 1 : 0;
    sender->senderFaxNumberFlag = IsChecked(dialog, IDC_COVER_SENDER_FAX) ? 1 : 0;
    sender->senderHomeNumberFlag = IsChecked(dialog, IDC_COVER_SENDER_HOME) ? 1 : 0;
    sender->senderBusinessNumberFlag = IsChecked(dialog, IDC_COVER_SENDER_BUSINESS) ? 1 : 0;

    char text[128];
    GetDlgItemTextA(dialog, IDC_COVER_NAME, text, sizeof text);
    CopyField(sender->senderName, text);
    GetDlgItemTextA(dialog, IDC_COVER_FAX, text, sizeof text);
    CopyField(sender->senderFaxNumber, text);
    GetDlgItemTextA(dialog, IDC_COVER_BUSINESS, text, sizeof text);
    CopyField(sender->senderBusinessNumber, text);
    GetDlgItemTextA(dialog, IDC_COVER_HOME, text, sizeof text);
    CopyField(sender->senderHomeNumber, text);

    ReadNoteLines(dialog, sender);
    EndDialog(dialog, IDOK);
}

// The note font belongs to this dialog; release it with the dialog, unless
// the field kept the dialog's own font.
void ReleaseNoteFont(HWND dialog) {
    HWND noteField = GetDlgItem(dialog, IDC_COVER_NOTE);
    HGDIOBJ noteFont = reinterpret_cast<HGDIOBJ>(SendMessageA(noteField, WM_GETFONT, 0, 0));
    HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (noteFont == nullptr || noteFont == dialogFont) return;
    SendMessageA(noteField, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    DeleteObject(noteFont);
}

}  // namespace

void JoinNoteLines(const char (*noteLines)[256], char *text, size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    for (int line = 0; line < kNoteLines; ++line) {
        AppendField(text, size, noteLines[line]);
        if (line == kNoteLines - 1) break;
        bool restEmpty = true;
        for (int later = line + 1; later < kNoteLines; ++later) {
            if (noteLines[later][0] != '\0') restEmpty = false;
        }
        if (restEmpty) break;
        AppendField(text, size, "\r\n");
    }
}

namespace {

INT_PTR CoverPageMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitCoverPage(dialog, reinterpret_cast<WorkingContext *>(lParam));
    case WM_COMMAND: {
        WorkingContext *context = ContextOf(dialog);
        if (LOWORD(wParam) == IDOK && context != nullptr) {
            OnCoverPageOk(dialog, context);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return 0;
    }
    case WM_DESTROY:
        ReleaseNoteFont(dialog);
        return 0;
    default:
        return 0;
    }
}

}  // namespace

INT_PTR CALLBACK CoverPageDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may reach the host's message loop. The module throws
    // none; the portable window layer can (std::bad_alloc when memory runs
    // out), and then the message counts as not handled.
    try {
        return CoverPageMessage(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
