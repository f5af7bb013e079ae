// Buttons, check boxes, radio buttons, statics and icons.
#include "support/behaviour_harness.h"

#include "res/resource.h"

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
        "IDD_ORVIX_FAX",
        [&](HWND dialog) {
            HWND box = GetDlgItem(dialog, IDC_FAX_USE_COVER);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_USE_COVER), kUnchecked);
            behaviour::ClickButton(box);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_USE_COVER), kChecked);
            behaviour::ClickButton(box);
            EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        },
        &notes,
        [&](HWND dialog, int id, int code) {
            if (id == IDC_FAX_USE_COVER && code == BN_CLICKED)
                seenByHandler.push_back(IsDlgButtonChecked(dialog, id));
        });
    EXPECT_EQ(seenByHandler, (std::vector<UINT>{BST_CHECKED, BST_UNCHECKED}));
}

TEST(CheckBox, SettingTheStateByCodeNeverNotifies) {
    Recorder notes;
    RunInDialog(
        "IDD_COVER_PAGE",
        [&](HWND dialog) {
            notes.Clear();
            EXPECT_TRUE(CheckDlgButton(dialog, IDC_COVER_SENDER_NAME, BST_CHECKED));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_COVER_SENDER_NAME), kChecked);
            SendDlgItemMessageA(dialog, IDC_COVER_SENDER_FAX, BM_SETCHECK, BST_CHECKED, 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_COVER_SENDER_FAX), kChecked);
            CheckDlgButton(dialog, IDC_COVER_SENDER_NAME, BST_UNCHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_COVER_SENDER_NAME), kUnchecked);
        },
        &notes);
    EXPECT_TRUE(notes.Notes().empty());
}

TEST(RadioButton, AClickChecksItAndClearsTheRestOfItsGroup) {
    Recorder notes;
    std::vector<UINT> fineWhenClicked;
    RunInDialog(
        "IDD_ORVIX_FAX",
        [&](HWND dialog) {
            HWND ultrafine = GetDlgItem(dialog, IDC_FAX_ULTRAFINE);
            HWND fine = GetDlgItem(dialog, IDC_FAX_FINE);
            EXPECT_FALSE(IsWindowVisible(ultrafine));  // hidden in the template
            EXPECT_FALSE(ShowWindow(ultrafine, SW_SHOW));
            EXPECT_FALSE(ShowWindow(fine, SW_SHOW));
            EXPECT_TRUE(IsWindowVisible(fine));
            CheckDlgButton(dialog, IDC_FAX_ULTRAFINE, BST_CHECKED);
            behaviour::ClickButton(fine);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_FINE), kChecked);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_ULTRAFINE), kUnchecked);
            behaviour::ClickButton(ultrafine);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_FINE), kUnchecked);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_ULTRAFINE), kChecked);
            // Checking one by code leaves the other as it is.
            CheckDlgButton(dialog, IDC_FAX_FINE, BST_CHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_FAX_ULTRAFINE), kChecked);
        },
        &notes,
        [&](HWND dialog, int id, int code) {
            if (id == IDC_FAX_FINE && code == BN_CLICKED)
                fineWhenClicked.push_back(IsDlgButtonChecked(dialog, IDC_FAX_FINE));
        });
    EXPECT_EQ(fineWhenClicked, std::vector<UINT>{BST_CHECKED});
    EXPECT_EQ(notes.Count(IDC_FAX_ULTRAFINE, BN_CLICKED), 1);
}

TEST(PushButton, ClicksReachTheDialogUnlessTheButtonIsDisabled) {
    Recorder notes;
    RunInDialog(
        "IDD_ORVIX_FAX",
        [&](HWND dialog) {
            behaviour::ClickButton(GetDlgItem(dialog, IDC_FAX_PRINT));
            behaviour::ClickButton(GetDlgItem(dialog, IDC_FAX_EDIT_COVER));  // disabled
            HWND fax = GetDlgItem(dialog, IDOK);
            EnableWindow(fax, FALSE);
            behaviour::ClickButton(fax);
            EnableWindow(fax, TRUE);
            behaviour::ClickButton(fax);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDC_FAX_PRINT, BN_CLICKED), 1);
    EXPECT_EQ(notes.Count(IDC_FAX_EDIT_COVER, BN_CLICKED), 0);
    EXPECT_EQ(notes.Count(IDOK, BN_CLICKED), 1);
}

TEST(CheckBox, BmClickIsAPressAndRelease) {
    Recorder notes;
    RunInDialog(
        "IDD_EDIT_ADDRESS_BOOK",
        [&](HWND dialog) {
            HWND people = GetDlgItem(dialog, IDC_BOOK_PEOPLE);
            SendMessageA(people, BM_CLICK, 0, 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOOK_PEOPLE), kChecked);
            EXPECT_EQ(GetFocus(), people);  // the press takes the focus
            SendMessageA(people, BM_CLICK, 0, 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_BOOK_PEOPLE), kUnchecked);
        },
        &notes);
    EXPECT_EQ(notes.Count(IDC_BOOK_PEOPLE, BN_CLICKED), 2);
}

TEST(StaticIcon, SetIconGivesBackThePreviousOne) {
    RunInDialog("IDD_ORVIX_FAX", [](HWND dialog) {
        HWND icon = GetDlgItem(dialog, IDC_FAX_RESOLUTION_ICON);
        HICON fine = LoadIconA(behaviour::TemplateInstance(), MAKEINTRESOURCEA(IDI_FINE));
        HICON ultrafine = LoadIconA(behaviour::TemplateInstance(), MAKEINTRESOURCEA(IDI_ULTRAFINE));
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
    RunInDialog("IDD_ORVIX_FAX", [](HWND dialog) {
        HWND label = GetDlgItem(dialog, IDC_FAX_NEW_NAME_LABEL);
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
