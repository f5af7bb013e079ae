// DialogBoxParamA and the front end hand-over on the portable layer.
#include "support/test_front_end.h"

#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

using portable::ModuleInstance;

class DialogBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReceivedMessages().clear();
        portable::SetFrontEnd(&frontEnd);
    }
    void TearDown() override { portable::SetFrontEnd(nullptr); }
    TestFrontEnd frontEnd;
};

TEST_F(DialogBoxTest, MissingTemplateOrForeignInstanceGivesMinusOne) {
    bool ran = false;
    frontEnd.onDialog = [&](HWND) { ran = true; };
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_NO_SUCH_DIALOG", nullptr, RecordingProc, 0), -1);
    EXPECT_EQ(DialogBoxParamA(nullptr, "IDD_FIELDS", nullptr, RecordingProc, 0), -1);
    EXPECT_FALSE(ran);
    EXPECT_TRUE(ReceivedMessages().empty());
}

TEST_F(DialogBoxTest, ReturnsTheEndDialogValueAfterInitAndBeforeDestroy) {
    LONG_PTR seenParameter = 0;
    frontEnd.onDialog = [&](HWND dialog) {
        seenParameter = GetWindowLongPtrA(dialog, DWLP_USER);
        EXPECT_EQ(LifeMessages(), std::vector<UINT>{WM_INITDIALOG});
        EXPECT_TRUE(EndDialog(dialog, 42));
        EXPECT_TRUE(IsWindow(dialog));  // destroyed only when the modal loop ends
    };
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 1234), 42);
    EXPECT_EQ(seenParameter, 1234);
    EXPECT_EQ(LifeMessages(), (std::vector<UINT>{WM_INITDIALOG, WM_DESTROY}));
    ASSERT_EQ(frontEnd.dialogsSeen.size(), 1u);
    EXPECT_FALSE(IsWindow(frontEnd.dialogsSeen[0]));
    EXPECT_TRUE(portable::automation::OpenDialogs().empty());
}

TEST_F(DialogBoxTest, FrontEndLeavingTheDialogOpenEndsItWithCancel) {
    frontEnd.onDialog = [](HWND) {};
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 0), IDCANCEL);
}

TEST_F(DialogBoxTest, WithoutFrontEndFailsAfterInitAndDestroy) {
    portable::SetFrontEnd(nullptr);
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 0), -1);
    EXPECT_EQ(LifeMessages(), (std::vector<UINT>{WM_INITDIALOG, WM_DESTROY}));
}

INT_PTR CALLBACK EndsAtOnce(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) EndDialog(dialog, 9);
    return message == WM_INITDIALOG;
}

TEST_F(DialogBoxTest, EndDialogDuringInitSkipsTheFrontEnd) {
    bool ran = false;
    frontEnd.onDialog = [&](HWND) { ran = true; };
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, EndsAtOnce, 0), 9);
    EXPECT_FALSE(ran);
}

TEST_F(DialogBoxTest, NestedDialogReentersTheFrontEndAndDisablesItsOwner) {
    INT_PTR innerResult = 0;
    HWND outer = nullptr;
    frontEnd.onDialog = [&](HWND dialog) {
        if (portable::automation::Caption(dialog) == "Sorted List") {
            outer = dialog;
            innerResult = DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", outer, RecordingProc, 0);
            EXPECT_TRUE(IsWindowEnabled(outer));
            EXPECT_EQ(portable::automation::InnermostDialog(), outer);
            EndDialog(outer, 5);
        } else {
            EXPECT_EQ(portable::automation::OpenDialogs().size(), 2u);
            EXPECT_EQ(portable::automation::InnermostDialog(), dialog);
            EXPECT_EQ(GetParent(dialog), outer);
            EXPECT_FALSE(IsWindowEnabled(outer));
            EndDialog(dialog, 7);
        }
    };
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_SORTED_LIST", nullptr, RecordingProc, 0), 5);
    EXPECT_EQ(innerResult, 7);
}

TEST_F(DialogBoxTest, LoadStringOfAMissingEntryGivesZero) {
    char buffer[16] = "untouched";
    EXPECT_EQ(LoadStringA(ModuleInstance(), 9999, buffer, sizeof buffer), 0);
    EXPECT_GT(LoadStringA(ModuleInstance(), IDS_TEST_NUMBER, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "New Number");
}

TEST_F(DialogBoxTest, SizesComeFromTheTemplateFontInDialogUnits) {
    frontEnd.onDialog = [](HWND dialog) {
        // 161 x 69 units of "MS Sans Serif" 8 pt (base units 6 x 13).
        RECT client{};
        ASSERT_TRUE(GetClientRect(dialog, &client));
        EXPECT_EQ(client.right, 242);
        EXPECT_EQ(client.bottom, 112);
        RECT window{};
        GetWindowRect(dialog, &window);
        EXPECT_EQ(window.right - window.left, 242 + 2 * 3);
        EXPECT_EQ(window.bottom - window.top, 112 + 3 + 19 + 3);
        RECT units{4, 8, 161, 69};
        ASSERT_TRUE(MapDialogRect(dialog, &units));
        EXPECT_EQ(units.left, 6);
        EXPECT_EQ(units.top, 13);
        EXPECT_EQ(units.right, 242);
        EXPECT_EQ(units.bottom, 112);
        // The first field at 43, 7, 111 x 14 units, inside the client area.
        RECT field{};
        GetWindowRect(GetDlgItem(dialog, IDC_FIELDS_FIRST), &field);
        EXPECT_EQ(field.left - window.left - 3, 65);
        EXPECT_EQ(field.top - window.top - 3 - 19, 11);
        EXPECT_EQ(field.right - field.left, 167);
        EXPECT_EQ(field.bottom - field.top, 23);
        EndDialog(dialog, 1);
    };
    DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 0);
}

TEST_F(DialogBoxTest, PlacementAndScreenMetrics) {
    portable::SetScreenSize(800, 600);
    frontEnd.onDialog = [](HWND dialog) {
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
        EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
        ASSERT_TRUE(MoveWindow(dialog, 10, 20, 300, 200, TRUE));
        RECT rect{};
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.bottom, 220);
        ASSERT_TRUE(SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.right, 310);
        EXPECT_TRUE(GetWindowLongPtrA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
        SetWindowPos(dialog, nullptr, 0, 0, 425, 50, SWP_NOMOVE | SWP_NOZORDER);
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.left, 10);
        EXPECT_EQ(rect.right - rect.left, 425);
        EXPECT_EQ(rect.bottom - rect.top, 50);
        EndDialog(dialog, 1);
    };
    DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 0);
    portable::SetScreenSize(1024, 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
}

TEST_F(DialogBoxTest, WindowDataAndStyleSlots) {
    frontEnd.onDialog = [](HWND dialog) {
        EXPECT_EQ(SetWindowLongPtrA(dialog, DWLP_USER, 77), 0);
        EXPECT_EQ(SetWindowLongPtrA(dialog, DWLP_USER, 78), 77);
        EXPECT_EQ(GetWindowLongPtrA(dialog, DWLP_USER), 78);
        HWND ok = GetDlgItem(dialog, IDOK);
        EXPECT_EQ(GetDlgCtrlID(ok), IDOK);
        EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & WS_DISABLED, 0);
        EXPECT_FALSE(EnableWindow(ok, FALSE));  // it was enabled
        EXPECT_TRUE(GetWindowLongPtrA(ok, GWL_STYLE) & WS_DISABLED);
        EXPECT_TRUE(EnableWindow(ok, TRUE));    // it was disabled
        EXPECT_EQ(GetWindowLongPtrA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        EXPECT_EQ(GetDlgItem(dialog, 4321), nullptr);
        EndDialog(dialog, 1);
    };
    DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 0);
}

TEST_F(DialogBoxTest, StaleHandlesAreHarmless) {
    HWND stale = nullptr;
    frontEnd.onDialog = [&](HWND dialog) {
        stale = GetDlgItem(dialog, IDC_FIELDS_FIRST);
        EndDialog(dialog, 1);
    };
    DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, RecordingProc, 0);
    char buffer[8] = "x";
    EXPECT_FALSE(IsWindow(stale));
    EXPECT_EQ(SendMessageA(stale, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a")), 0);
    EXPECT_EQ(GetWindowTextA(stale, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(EndDialog(stale, 1));
}

}  // namespace
