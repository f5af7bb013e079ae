// Buttons, check boxes, radio buttons, statics and icons.
#include "support/behaviour_harness.h"

#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

using behaviour::Recorder;
using behaviour::RunInDialog;

// IsDlgButtonChecked answers in UINT.
const UINT kChecked = BST_CHECKED;
const UINT kUnchecked = BST_UNCHECKED;

TEST(CheckBox, TheClickChangesTheStateBeforeTheHandlerHearsOfIt) {
    Recorder notes;
    std::vector<UINT> seenByHandler;
    RunInDialog(
        "IDD_CHOICES",
        [&](HWND dialog) {
            HWND box = GetDlgItem(dialog, IDC_CHOICES_CHECK);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_CHECK), kUnchecked);
            behaviour::ClickButton(box);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_CHECK), kChecked);
            behaviour::ClickButton(box);
            EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        },
        &notes,
        [&](HWND dialog, int id, int code) {
            if (id == IDC_CHOICES_CHECK && code == BN_CLICKED)
                seenByHandler.push_back(IsDlgButtonChecked(dialog, id));
        });
    EXPECT_EQ(seenByHandler, (std::vector<UINT>{BST_CHECKED, BST_UNCHECKED}));
}

TEST(CheckBox, SettingTheStateByCodeNeverNotifies) {
    Recorder notes;
    RunInDialog(
        "IDD_NOTE",
        [&](HWND dialog) {
            notes.Clear();
            EXPECT_TRUE(CheckDlgButton(dialog, IDC_NOTE_FIRST, BST_CHECKED));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_NOTE_FIRST), kChecked);
            SendDlgItemMessageA(dialog, IDC_NOTE_SECOND, BM_SETCHECK, BST_CHECKED, 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_NOTE_SECOND), kChecked);
            CheckDlgButton(dialog, IDC_NOTE_FIRST, BST_UNCHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_NOTE_FIRST), kUnchecked);
        },
        &notes);
    EXPECT_TRUE(notes.Notes().empty());
}

TEST(RadioButton, AClickChecksItAndClearsTheRestOfItsGroup) {
    Recorder notes;
    std::vector<UINT> fineWhenClicked;
    RunInDialog(
        "IDD_CHOICES",
        [&](HWND dialog) {
            HWND ultrafine = GetDlgItem(dialog, IDC_CHOICES_FIRST);
            HWND fine = GetDlgItem(dialog, IDC_CHOICES_SECOND);
            EXPECT_FALSE(IsWindowVisible(ultrafine));  // hidden in the template
            EXPECT_FALSE(ShowWindow(ultrafine, SW_SHOW));
            EXPECT_FALSE(ShowWindow(fine, SW_SHOW));
            EXPECT_TRUE(IsWindowVisible(fine));
            CheckDlgButton(dialog, IDC_CHOICES_FIRST, BST_CHECKED);
            behaviour::ClickButton(fine);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_SECOND), kChecked);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_FIRST), kUnchecked);
            behaviour::ClickButton(ultrafine);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_SECOND), kUnchecked);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_FIRST), kChecked);
            // Checking one by code leaves the other as it is.
            CheckDlgButton(dialog, IDC_CHOICES_SECOND, BST_CHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_CHOICES_FIRST), kChecked);
        },
        &notes,
        [&](HWND dialog, int id, int code) {
            if (id == IDC_CHOICES_SECOND && code == BN_CLICKED)
                fineWhenClicked.push_back(IsDlgButtonChecked(dialog, IDC_CHOICES_SECOND));
        });
    EXPECT_EQ(fineWhenClicked, std::vector<UINT>{BST_CHECKED});
    EXPECT_EQ(notes.Count(IDC_CHOICES_FIRST, BN_CLICKED), 1);
}

TEST(PushButton, ClicksReachTheDialogUnlessTheButtonIsDisabled) {
    Recorder notes;
    RunInDialog(
        "IDD_CHOICES",
        [&](HWND dialog) {
            behaviour::ClickButton(GetDlgItem(dialog, IDC_CHOICES_PRINT));
            behaviour::ClickButton(GetDlgItem(dialog, IDC_CHOICES_DISABLED));  // disabled
            HWND go = GetDlgItem(dialog, IDOK);
            EnableWindow(go, FALSE);
            behaviour::ClickButton(go);
            EnableWindow(go, TRUE);
            behaviour::ClickButton(go);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDC_CHOICES_PRINT, BN_CLICKED), 1);
    EXPECT_EQ(notes.Count(IDC_CHOICES_DISABLED, BN_CLICKED), 0);
    EXPECT_EQ(notes.Count(IDOK, BN_CLICKED), 1);
}

TEST(CheckBox, BmClickIsAPressAndRelease) {
    Recorder notes;
    RunInDialog(
        "IDD_SORTED_LIST",
        [&](HWND dialog) {
            HWND people = GetDlgItem(dialog, IDC_SORTED_CHECK);
            SendMessageA(people, BM_CLICK, 0, 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SORTED_CHECK), kChecked);
            EXPECT_EQ(GetFocus(), people);  // the press takes the focus
            SendMessageA(people, BM_CLICK, 0, 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_SORTED_CHECK), kUnchecked);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDC_SORTED_CHECK, BN_CLICKED), 2);
}

TEST(StaticIcon, SetIconGivesBackThePreviousOne) {
    RunInDialog("IDD_CHOICES", [](HWND dialog) {
        HWND icon = GetDlgItem(dialog, IDC_CHOICES_ICON);
        HICON fine = LoadIconA(behaviour::TemplateInstance(), MAKEINTRESOURCEA(IDI_TEST_SQUARE));
        HICON ultrafine = LoadIconA(behaviour::TemplateInstance(), MAKEINTRESOURCEA(IDI_TEST_FRAME));
        ASSERT_NE(fine, nullptr);
        ASSERT_NE(ultrafine, nullptr);
        EXPECT_NE(fine, ultrafine);
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(fine), 0);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)), fine);
        HICON previous = reinterpret_cast<HICON>(
            SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(ultrafine), 0));
        EXPECT_EQ(previous, fine);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)), ultrafine);
        EXPECT_EQ(LoadIconA(behaviour::TemplateInstance(), MAKEINTRESOURCEA(4711)), nullptr);
    });
}

TEST(Static, TextAndVisibility) {
    RunInDialog("IDD_CHOICES", [](HWND dialog) {
        HWND label = GetDlgItem(dialog, IDC_CHOICES_NAME_LABEL);
        char text[32] = "";
        GetWindowTextA(label, text, sizeof text);
        EXPECT_STREQ(text, "Na&me:");
        SetWindowTextA(label, "Other:");
        EXPECT_EQ(GetWindowTextLengthA(label), 6);
        EXPECT_TRUE(IsWindowVisible(label));
        EXPECT_TRUE(ShowWindow(label, SW_HIDE));
        EXPECT_FALSE(IsWindowVisible(label));
    });
}

}  // namespace
