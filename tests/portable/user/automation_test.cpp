// The automation API: what the user's hands can and cannot do.
#include "support/test_front_end.h"

#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

namespace {

using namespace portable::automation;
using portable::ModuleInstance;

class AutomationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReceivedMessages().clear();
        portable::SetFrontEnd(&frontEnd);
    }
    void TearDown() override { portable::SetFrontEnd(nullptr); }

    // Runs `templateName` with the recording procedure and `body` as the user.
    void Run(const char *templateName, std::function<void(HWND)> body) {
        frontEnd.onDialog = [body](HWND dialog) {
            body(dialog);
            if (!HasEnded(dialog)) EndDialog(dialog, 1);
        };
        DialogBoxParamA(ModuleInstance(), templateName, nullptr, RecordingProc, 0);
    }
    int Count(int id, int code) {
        int n = 0;
        for (const auto &m : ReceivedMessages())
            if (m.message == WM_COMMAND && m.id == id && m.code == code) ++n;
        return n;
    }
    TestFrontEnd frontEnd;
};

TEST_F(AutomationTest, FindsDialogsAndDescribesControls) {
    Run("IDD_CHOICES", [](HWND dialog) {
        EXPECT_EQ(InnermostDialog(), dialog);
        EXPECT_EQ(FindDialog("Choices"), dialog);
        EXPECT_EQ(FindDialog("Note"), nullptr);
        EXPECT_EQ(ControlKind(dialog, IDC_CHOICES_LIST), "list box");
        EXPECT_EQ(ControlKind(dialog, IDC_CHOICES_READ_ONLY), "edit");
        EXPECT_EQ(ControlKind(dialog, IDC_CHOICES_OWN), "check box");
        EXPECT_EQ(ControlKind(dialog, IDC_CHOICES_FIRST), "radio button");
        EXPECT_EQ(ControlKind(dialog, IDC_CHOICES_ICON), "icon");
        EXPECT_EQ(ControlKind(dialog, IDOK), "button");
        EXPECT_EQ(ControlKind(dialog, 4242), "");
        EXPECT_EQ(ControlText(dialog, IDC_CHOICES_PRINT), "&Print");
        EXPECT_FALSE(IsVisible(dialog, IDC_CHOICES_FIRST));
        EXPECT_FALSE(IsEnabled(dialog, IDC_CHOICES_DISABLED));
    });
}

TEST_F(AutomationTest, RefusesWhatTheUserCannotDoAndSaysWhy) {
    Run("IDD_CHOICES", [](HWND dialog) {
        EXPECT_FALSE(Click(dialog, 4242));
        EXPECT_NE(LastError().find("has no control 4242"), std::string::npos) << LastError();
        EXPECT_FALSE(Click(dialog, IDC_CHOICES_DISABLED));
        EXPECT_NE(LastError().find("disabled"), std::string::npos) << LastError();
        EXPECT_NE(LastError().find("Choices"), std::string::npos) << LastError();
        EXPECT_FALSE(Click(dialog, IDC_CHOICES_FIRST));
        EXPECT_NE(LastError().find("hidden"), std::string::npos) << LastError();
        EXPECT_FALSE(Type(dialog, IDC_CHOICES_READ_ONLY, "x"));
        EXPECT_NE(LastError().find("read-only"), std::string::npos) << LastError();
        EXPECT_FALSE(Type(dialog, IDC_CHOICES_PRINT, "x"));
        EXPECT_NE(LastError().find("is a button, not an edit"), std::string::npos) << LastError();
        EXPECT_FALSE(ClickLine(dialog, IDC_CHOICES_LIST, 0));
        EXPECT_NE(LastError().find("has 0 lines"), std::string::npos) << LastError();
    });
}

TEST_F(AutomationTest, TypingGoesKeyByKeyAndHonoursTheLimit) {
    Run("IDD_FIELDS", [this](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_FIELDS_FIRST, EM_LIMITTEXT, 5, 0);
        ReceivedMessages().clear();
        ASSERT_TRUE(Type(dialog, IDC_FIELDS_FIRST, "1234567"));
        EXPECT_EQ(ControlText(dialog, IDC_FIELDS_FIRST), "12345");
        EXPECT_EQ(Count(IDC_FIELDS_FIRST, EN_CHANGE), 5);
        EXPECT_EQ(Count(IDC_FIELDS_FIRST, EN_MAXTEXT), 2);
        EXPECT_TRUE(HasFocus(dialog, IDC_FIELDS_FIRST));
        // Typing again appends after the last character.
        SendDlgItemMessageA(dialog, IDC_FIELDS_FIRST, EM_LIMITTEXT, 0, 0);
        Type(dialog, IDC_FIELDS_FIRST, "6");
        EXPECT_EQ(ControlText(dialog, IDC_FIELDS_FIRST), "123456");
        ASSERT_TRUE(ClearText(dialog, IDC_FIELDS_FIRST));
        EXPECT_EQ(ControlText(dialog, IDC_FIELDS_FIRST), "");
    });
}

TEST_F(AutomationTest, EnterInTypedTextPressesTheDefaultButtonAndTypingStopsWhenTheDialogEnds) {
    frontEnd.onDialog = [](HWND dialog) { Type(dialog, IDC_FIELDS_FIRST, "12\r34"); };
    auto endOnOk = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) EndDialog(dialog, 11);
        return message == WM_INITDIALOG;
    };
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", nullptr, endOnOk, 0), 11);
}

TEST_F(AutomationTest, ListLinesByIndexAndText) {
    Run("IDD_SORTED_LIST", [](HWND dialog) {
        HWND list = GetDlgItem(dialog, IDC_SORTED_LIST);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("beta"));
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Alpha"));
        EXPECT_EQ(LineCount(dialog, IDC_SORTED_LIST), 2);
        EXPECT_EQ(LineText(dialog, IDC_SORTED_LIST, 0), "Alpha");
        EXPECT_EQ(FindLine(dialog, IDC_SORTED_LIST, "beta"), 1);
        EXPECT_EQ(FindLine(dialog, IDC_SORTED_LIST, "Beta"), -1);  // whole text, exactly
        EXPECT_TRUE(ClickLine(dialog, IDC_SORTED_LIST, 1));
        EXPECT_EQ(SelectedLines(dialog, IDC_SORTED_LIST), std::vector<int>{1});
        EXPECT_EQ(LineCount(dialog, IDOK), -1);
    });
}

TEST_F(AutomationTest, NestedDialogLeavesTheOwnerUnreachable) {
    Run("IDD_SORTED_LIST", [this](HWND outer) {
        TestFrontEnd inner;
        inner.onDialog = [outer](HWND dialog) {
            EXPECT_FALSE(Click(outer, IDCANCEL));
            EXPECT_NE(LastError().find("waiting for a dialog"), std::string::npos) << LastError();
            EndDialog(dialog, 1);
        };
        portable::SetFrontEnd(&inner);
        DialogBoxParamA(ModuleInstance(), "IDD_FIELDS", outer, RecordingProc, 0);
        portable::SetFrontEnd(&frontEnd);
        EXPECT_TRUE(FocusControl(outer, IDC_SORTED_LIST));
    });
}

}  // namespace
