// The dialog manager: ending, keys, the close box, focus, window data and
// placement.
#include "support/behaviour_harness.h"

#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

using behaviour::Recorder;
using behaviour::RunInDialog;

TEST(DialogEnd, TheResultIsTheEndDialogValue) {
    EXPECT_EQ(RunInDialog("IDD_FIELDS", [](HWND dialog) { EXPECT_TRUE(EndDialog(dialog, 1234)); },
                          nullptr),
              1234);
    EXPECT_EQ(RunInDialog("IDD_FIELDS", [](HWND) {}, nullptr), IDCANCEL);
    EXPECT_EQ(DialogBoxParamA(behaviour::TemplateInstance(), "IDD_NOT_THERE", nullptr, nullptr, 0), -1);
}

TEST(DialogKeys, EscapeIsCancelAndTheDialogDecides) {
    Recorder notes;
    RunInDialog(
        "IDD_CHOICES",
        [&](HWND dialog) {
            behaviour::PressEscape(GetDlgItem(dialog, IDC_CHOICES_OWN));
            EXPECT_TRUE(IsWindow(dialog));  // the test procedure ignores it
        },
        &notes);
    EXPECT_EQ(notes.Count(IDCANCEL, 0), 1);
}

TEST(DialogKeys, EnterPressesTheDefaultButtonOnlyWhileItIsEnabled) {
    Recorder notes;
    RunInDialog(
        "IDD_FIELDS",
        [&](HWND dialog) {
            HWND field = GetDlgItem(dialog, IDC_FIELDS_FIRST);
            behaviour::PressEnter(field);
            EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
            behaviour::PressEnter(field);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDOK, BN_CLICKED), 1);
}

TEST(DialogKeys, EnterOnAFocusedPushButtonPressesThatButton) {
    Recorder notes;
    RunInDialog(
        "IDD_FIELDS",
        [&](HWND dialog) { behaviour::PressEnter(GetDlgItem(dialog, IDCANCEL)); }, &notes);
    EXPECT_EQ(notes.Count(IDCANCEL, BN_CLICKED), 1);
    EXPECT_EQ(notes.Count(IDOK, BN_CLICKED), 0);
}

TEST(DialogClose, TheCloseBoxIsCancelWhenThereIsOne) {
    Recorder notes;
    RunInDialog("IDD_FIELDS", [](HWND dialog) { behaviour::CloseBox(dialog); }, &notes);
    EXPECT_EQ(notes.Count(IDCANCEL, BN_CLICKED), 1);

    // A dialog without a system menu has no close box.
    notes.Clear();
    RunInDialog("IDD_CHOICES",
                [](HWND dialog) {
                    EXPECT_FALSE(GetWindowLongPtrA(dialog, GWL_STYLE) & WS_SYSMENU);
                    behaviour::CloseBox(dialog);
                },
                &notes);
    EXPECT_EQ(notes.Count(IDCANCEL, BN_CLICKED), 0);

    // WM_CLOSE sent by code is Cancel as well.
    notes.Clear();
    RunInDialog("IDD_CHOICES", [](HWND dialog) { SendMessageA(dialog, WM_CLOSE, 0, 0); }, &notes);
    EXPECT_EQ(notes.Count(IDCANCEL, BN_CLICKED), 1);
}

TEST(DialogFocus, InitReturningTrueFocusesTheFirstTabStop) {
    RunInDialog("IDD_FIELDS", [](HWND dialog) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FIELDS_FIRST));
        HWND second = GetDlgItem(dialog, IDC_FIELDS_SECOND);
        EXPECT_EQ(SetFocus(second), GetDlgItem(dialog, IDC_FIELDS_FIRST));
        EXPECT_EQ(GetFocus(), second);
        // A disabled window cannot keep the focus.
        EnableWindow(second, FALSE);
        EXPECT_NE(GetFocus(), second);
    });
    RunInDialog("IDD_NOTE", [](HWND dialog) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_NOTE_FIRST));
    });
}

TEST(DialogWindow, CaptionDataAndEnabling) {
    RunInDialog("IDD_FIELDS", [](HWND dialog) {
        char caption[64] = "";
        EXPECT_EQ(GetWindowTextA(dialog, caption, sizeof caption), 11);
        EXPECT_STREQ(caption, "Edit Fields");
        EXPECT_EQ(GetWindowTextA(dialog, caption, 5), 4);  // cut to fit, terminated
        EXPECT_STREQ(caption, "Edit");
        SetWindowTextA(dialog, "New Fields");
        GetWindowTextA(dialog, caption, sizeof caption);
        EXPECT_STREQ(caption, "New Fields");

        SetWindowLongPtrA(dialog, DWLP_USER, static_cast<LONG_PTR>(0x5A5A));
        EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_USER), 0x5A5A);

        HWND ok = GetDlgItem(dialog, IDOK);
        EXPECT_EQ(GetParent(ok), dialog);
        EXPECT_EQ(GetDlgCtrlID(ok), IDOK);
        EXPECT_FALSE(EnableWindow(ok, FALSE));
        EXPECT_FALSE(IsWindowEnabled(ok));
        EXPECT_TRUE(EnableWindow(ok, FALSE));
        EXPECT_TRUE(EnableWindow(ok, TRUE));
        EXPECT_TRUE(IsWindowEnabled(ok));

        char buffer[8] = "x";
        EXPECT_EQ(GetDlgItemTextA(dialog, 4711, buffer, sizeof buffer), 0u);
        EXPECT_STREQ(buffer, "");
        EXPECT_EQ(GetDlgItem(dialog, 4711), nullptr);
    });
}

TEST(DialogFont, ControlsCarryTheTemplateFontUntilGivenAnother) {
    RunInDialog("IDD_NOTE", [](HWND dialog) {
        HWND note = GetDlgItem(dialog, IDC_NOTE_TEXT);
        HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        ASSERT_NE(dialogFont, nullptr);  // the template names a font
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(note, WM_GETFONT, 0, 0)), dialogFont);
        LOGFONTA logFont{};
        logFont.lfHeight = -11;
        logFont.lfWidth = 8;
        logFont.lfPitchAndFamily = FIXED_PITCH;
        HFONT noteFont = CreateFontIndirectA(&logFont);
        ASSERT_NE(noteFont, nullptr);
        SendMessageA(note, WM_SETFONT, reinterpret_cast<WPARAM>(noteFont), TRUE);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(note, WM_GETFONT, 0, 0)), noteFont);
        LOGFONTA back{};
        EXPECT_EQ(GetObjectA(noteFont, sizeof back, &back), static_cast<int>(sizeof back));
        EXPECT_EQ(back.lfHeight, -11);
        EXPECT_EQ(back.lfWidth, 8);
        // Measured through a device context that has it selected.
        HDC dc = GetDC(note);
        HGDIOBJ previous = SelectObject(dc, noteFont);
        TEXTMETRICA tm{};
        EXPECT_TRUE(GetTextMetricsA(dc, &tm));
        EXPECT_EQ(tm.tmAveCharWidth, 8);
        SelectObject(dc, previous);
        ReleaseDC(note, dc);
        SendMessageA(note, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
        EXPECT_TRUE(DeleteObject(noteFont));
    });
}

TEST(DialogWindow, ADestroyedControlIsGone) {
    RunInDialog("IDD_FIELDS", [](HWND dialog) {
        HWND second = GetDlgItem(dialog, IDC_FIELDS_SECOND);
        EXPECT_TRUE(IsWindow(second));
        EXPECT_TRUE(DestroyWindow(second));
        EXPECT_FALSE(IsWindow(second));
        EXPECT_EQ(GetDlgItem(dialog, IDC_FIELDS_SECOND), nullptr);
        EXPECT_FALSE(SetDlgItemTextA(dialog, IDC_FIELDS_SECOND, "x"));
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FIELDS_SECOND), 0u);
    });
}

TEST(DialogPlacement, MoveSizeTopmostAndDialogUnits) {
    RunInDialog("IDD_FIELDS", [](HWND dialog) {
        RECT units{0, 0, 161, 69};  // the template's size
        ASSERT_TRUE(MapDialogRect(dialog, &units));
        RECT client{};
        GetClientRect(dialog, &client);
        EXPECT_EQ(client.right, units.right);
        EXPECT_EQ(client.bottom, units.bottom);

        RECT before{};
        GetWindowRect(dialog, &before);
        LONG width = before.right - before.left, height = before.bottom - before.top;
        ASSERT_TRUE(MoveWindow(dialog, 30, 40, width, height, TRUE));
        RECT moved{};
        GetWindowRect(dialog, &moved);
        EXPECT_EQ(moved.left, 30);
        EXPECT_EQ(moved.top, 40);
        EXPECT_EQ(moved.right - moved.left, width);

        ASSERT_TRUE(SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
        RECT kept{};
        GetWindowRect(dialog, &kept);
        EXPECT_EQ(kept.left, 30);
        EXPECT_EQ(kept.bottom - kept.top, height);
        EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);

        ASSERT_TRUE(SetWindowPos(dialog, nullptr, 0, 0, width + 20, height, SWP_NOMOVE | SWP_NOZORDER));
        GetWindowRect(dialog, &kept);
        EXPECT_EQ(kept.left, 30);
        EXPECT_EQ(kept.right - kept.left, width + 20);

        EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
        EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
    });
}

}  // namespace
