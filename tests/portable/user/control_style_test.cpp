// Behaviour that no test template shows, reached by changing a control's
// style: the portable layer reads styles as they are now.
#include "support/test_front_end.h"

#include "platform/portable/user/user_input.h"
#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

int Count(int id, int code) {
    int n = 0;
    for (const auto &m : ReceivedMessages())
        if (m.message == WM_COMMAND && m.id == id && m.code == code) ++n;
    return n;
}

void InDialog(const char *name, std::function<void(HWND)> body) {
    TestFrontEnd frontEnd;
    frontEnd.onDialog = [&](HWND dialog) {
        body(dialog);
        EndDialog(dialog, 1);
    };
    portable::SetFrontEnd(&frontEnd);
    ReceivedMessages().clear();
    DialogBoxParamA(portable::ModuleInstance(), name, nullptr, RecordingProc, 0);
    portable::SetFrontEnd(nullptr);
}

TEST(ControlStyle, AListWithoutNotifyTellsItsParentNothing) {
    InDialog("IDD_SORTED_LIST", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_SORTED_LIST);
        SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) & ~LBS_NOTIFY);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a"));
        ReceivedMessages().clear();
        EXPECT_TRUE(portable::UserClickLine(list, 0, true));
        EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
        EXPECT_TRUE(ReceivedMessages().empty());
    });
}

TEST(ControlStyle, AnExtendedSelectionListSelectsOnlyTheClickedLine) {
    InDialog("IDD_SORTED_LIST", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_SORTED_LIST);
        SetWindowLongPtrA(list, GWL_STYLE, GetWindowLongPtrA(list, GWL_STYLE) | LBS_EXTENDEDSEL);
        for (const char *text : {"a", "b", "c"})
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendMessageA(list, LB_SETSEL, TRUE, 0);
        portable::UserClickLine(list, 2, false);
        EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 1);
        EXPECT_GT(SendMessageA(list, LB_GETSEL, 2, 0), 0);
        EXPECT_EQ(SendMessageA(list, LB_SETCURSEL, 0, 0), LB_ERR);
    });
}

TEST(ControlStyle, ClicksOnUnreachableControlsDoNothing) {
    InDialog("IDD_CHOICES", [](HWND dialog) {
        ReceivedMessages().clear();
        EXPECT_FALSE(portable::UserClickButton(GetDlgItem(dialog, IDC_CHOICES_FIRST)));  // hidden
        EXPECT_FALSE(portable::UserClickButton(GetDlgItem(dialog, IDC_CHOICES_DISABLED)));  // disabled
        EXPECT_FALSE(portable::UserClickButton(GetDlgItem(dialog, IDC_CHOICES_LIST)));  // no button
        SendDlgItemMessageA(dialog, IDC_CHOICES_DISABLED, BM_CLICK, 0, 0);
        EXPECT_EQ(Count(IDC_CHOICES_DISABLED, BN_CLICKED), 0);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_FIRST), BST_UNCHECKED);
        EXPECT_FALSE(portable::UserClickLine(GetDlgItem(dialog, IDC_CHOICES_LIST), 0, false));
    });
}

TEST(ControlStyle, DefaultButtonAndTabOrder) {
    InDialog("IDD_FIELDS", [](HWND dialog) {
        EXPECT_EQ(SendMessageA(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
        EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(dialog, IDCANCEL), GWL_STYLE) & BS_TYPEMASK,
                  BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(dialog, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
        ReceivedMessages().clear();
        portable::UserKey(dialog, '\r');  // focus is in the first field
        EXPECT_EQ(Count(IDCANCEL, BN_CLICKED), 1);

        // Tab walks the tab stops and wraps; an edit reached by Tab has all
        // its text selected, so typing replaces it.
        HWND first = GetDlgItem(dialog, IDC_FIELDS_FIRST);
        HWND second = GetDlgItem(dialog, IDC_FIELDS_SECOND);
        SetWindowTextA(second, "old");
        SetFocus(first);
        portable::UserKey(dialog, '\t');
        EXPECT_EQ(GetFocus(), second);
        portable::UserKey(dialog, 'n');
        char text[16] = "";
        GetWindowTextA(second, text, sizeof text);
        EXPECT_STREQ(text, "n");
        EXPECT_EQ(GetNextDlgTabItem(dialog, GetDlgItem(dialog, IDCANCEL), FALSE), first);
        EXPECT_EQ(GetNextDlgTabItem(dialog, first, TRUE), GetDlgItem(dialog, IDCANCEL));
    });
}

TEST(ControlStyle, EditSelectionAndBackspace) {
    InDialog("IDD_LINE_AND_NOTES", [](HWND dialog) {
        HWND notes = GetDlgItem(dialog, IDC_NOTES);
        SetWindowTextA(notes, "ab\r\ncd");
        SendMessageA(notes, EM_SETSEL, 4, 4);  // after the line break
        SendMessageA(notes, WM_CHAR, VK_BACK, 0);
        char text[16] = "";
        GetWindowTextA(notes, text, sizeof text);
        EXPECT_STREQ(text, "abcd");  // the pair goes at once
        DWORD start = 9, end = 9;
        SendMessageA(notes, EM_SETSEL, 3, 1);
        SendMessageA(notes, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 1u);
        EXPECT_EQ(end, 3u);
        SendMessageA(notes, EM_SETSEL, 0, -1);
        SendMessageA(notes, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(end, 4u);
        SendMessageA(notes, EM_SETREADONLY, TRUE, 0);
        SendMessageA(notes, WM_CHAR, 'x', 0);
        GetWindowTextA(notes, text, sizeof text);
        EXPECT_STREQ(text, "abcd");
        EXPECT_EQ(SendMessageA(notes, EM_LINEINDEX, 0, 0), 0);
    });
}

}  // namespace

namespace {

TEST(ControlStyle, AFieldWithoutAutoScrollTakesNoMoreThanItShows) {
    InDialog("IDD_NOTE", [](HWND dialog) {
        // The note field without ES_AUTOVSCROLL: 77 units of 13-pixel lines
        // (125 pixels) show 9 lines of the dialog font.
        HWND note = GetDlgItem(dialog, IDC_NOTE_TEXT);
        ReceivedMessages().clear();
        SendMessageA(note, EM_SETSEL, 0, 0);
        for (int i = 0; i < 12; ++i) SendMessageA(note, WM_CHAR, '\r', 0);
        EXPECT_EQ(SendMessageA(note, EM_GETLINECOUNT, 0, 0), 9);
        EXPECT_EQ(Count(IDC_NOTE_TEXT, EN_MAXTEXT), 4);
        EXPECT_EQ(Count(IDC_NOTE_TEXT, EN_CHANGE), 8);
        char text[128] = "";
        GetWindowTextA(note, text, sizeof text);
        EXPECT_EQ(std::string(text), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
        // Typing on the last line goes on until it would wrap into a tenth.
        std::string last(48, 'x');
        SendMessageA(note, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>((last + "yyyy").c_str()));
        EXPECT_EQ(SendMessageA(note, EM_GETLINECOUNT, 0, 0), 9);
        GetWindowTextA(note, text, sizeof text);
        EXPECT_EQ(std::string(text).substr(16), last);  // 293 pixels hold 48 characters
        // The program may still set more.
        SetWindowTextA(note, "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11");
        EXPECT_EQ(SendMessageA(note, EM_GETLINECOUNT, 0, 0), 11);

        // A single-line edit without ES_AUTOHSCROLL stops at its width.
        HWND name = GetDlgItem(dialog, IDC_NOTE_NAME);
        SetWindowLongPtrA(name, GWL_STYLE, GetWindowLongPtrA(name, GWL_STYLE) & ~ES_AUTOHSCROLL);
        SendMessageA(name, EM_LIMITTEXT, 0, 0);
        for (int i = 0; i < 40; ++i) SendMessageA(name, WM_CHAR, 'w', 0);
        EXPECT_EQ(GetWindowTextLengthA(name), 30);  // 120 units are 180 pixels, 30 characters
    });
}

}  // namespace
