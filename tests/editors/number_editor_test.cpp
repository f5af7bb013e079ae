// The number editor run the way a host runs the exported procedure: the
// module's template, EditNumberDlgProc and a NumberEditorParams block.
#include <cstring>
#include <string>

#include "book_fixture.h"
#include "editors/number_editor.h"
#include "entry/module_instance.h"

using namespace portable::automation;

namespace {

class NumberEditorTest : public BookTest {
protected:
    INT_PTR Edit(int mode, NumberRecord *record) {
        NumberEditorParams params{mode, record};
        return DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", nullptr, EditNumberDlgProc,
                               reinterpret_cast<LPARAM>(&params));
    }
    NumberRecord record_{};
};

TEST_F(NumberEditorTest, NewNumberNeedsANumberBeforeOk) {
    user_.Then([](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "New Number");
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        Type(dialog, IDC_NUMBER_DETAILS, "office");
        EXPECT_FALSE(IsEnabled(dialog, IDOK)) << "details alone must not enable OK";
        Type(dialog, IDC_NUMBER_NUMBER, "5");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        ClearText(dialog, IDC_NUMBER_NUMBER);
        EXPECT_FALSE(IsEnabled(dialog, IDOK));
        Type(dialog, IDC_NUMBER_NUMBER, "555-1234");
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Edit(EDITOR_NEW, &record_), 1);
    EXPECT_STREQ(record_.number, "555-1234");
    EXPECT_STREQ(record_.details, "office");
}

TEST_F(NumberEditorTest, EditModeKeepsTheTemplateCaptionAndShowsTheRecord) {
    CopyField(record_.number, "555-1234");
    CopyField(record_.details, "office");
    user_.Then([](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "Edit Number");
        EXPECT_EQ(ControlText(dialog, IDC_NUMBER_NUMBER), "555-1234");
        EXPECT_EQ(ControlText(dialog, IDC_NUMBER_DETAILS), "office");
        EXPECT_TRUE(IsEnabled(dialog, IDOK));
        ClearText(dialog, IDC_NUMBER_DETAILS);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Edit(EDITOR_EDIT, &record_), 1);
    EXPECT_STREQ(record_.number, "555-1234");
    EXPECT_STREQ(record_.details, "") << "empty details are allowed";
}

TEST_F(NumberEditorTest, AnyNonZeroModeEdits) {
    CopyField(record_.number, "1");
    user_.Then([](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "Edit Number");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Edit(7, &record_), 2);
}

TEST_F(NumberEditorTest, CancelAfterChangingBothTextsLeavesTheRecordExactlyAsBefore) {
    CopyField(record_.number, "555-1234");
    CopyField(record_.details, "office");
    record_.id = 42;
    NumberRecord before = record_;
    user_.Then([](HWND dialog) {
        ClearText(dialog, IDC_NUMBER_NUMBER);
        Type(dialog, IDC_NUMBER_NUMBER, "999");
        Type(dialog, IDC_NUMBER_DETAILS, " changed");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Edit(EDITOR_EDIT, &record_), 2);
    EXPECT_EQ(std::memcmp(&before, &record_, sizeof record_), 0);
}

TEST_F(NumberEditorTest, EscapeIsCancel) {
    CopyField(record_.number, "555");
    user_.Then([](HWND dialog) {
        Type(dialog, IDC_NUMBER_NUMBER, "9");
        PressEscape(dialog);
    });
    EXPECT_EQ(Edit(EDITOR_EDIT, &record_), 2);
    EXPECT_STREQ(record_.number, "555");
}

TEST_F(NumberEditorTest, TypingStopsAtFortyCharactersAndDetailsAtTwentyNine) {
    user_.Then([](HWND dialog) {
        Type(dialog, IDC_NUMBER_NUMBER, std::string(50, '7'));
        Type(dialog, IDC_NUMBER_DETAILS, std::string(40, 'd'));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(Edit(EDITOR_NEW, &record_), 1);
    EXPECT_EQ(std::string(record_.number), std::string(40, '7'));
    EXPECT_EQ(std::string(record_.details), std::string(29, 'd'));
}

TEST_F(NumberEditorTest, ANumberLongerThanTheEditLimitIsShownAndKeptWhole) {
    // Numbers read from the book may be up to 79 characters; the limit of 40
    // governs typing only.
    const std::string longNumber = "+44 (0)20 7946 0000 extension 1234 via switchboard 5";
    ASSERT_GT(longNumber.size(), 40u);
    const std::string longest(79, '8');
    for (const std::string &number : {longNumber, longest}) {
        CopyField(record_.number, number.c_str());
        user_.Then([number](HWND dialog) {
            EXPECT_EQ(ControlText(dialog, IDC_NUMBER_NUMBER), number);
            Type(dialog, IDC_NUMBER_NUMBER, "9");  // at the limit already: nothing more goes in
            Click(dialog, IDOK);
        });
        EXPECT_EQ(Edit(EDITOR_EDIT, &record_), 1);
        EXPECT_EQ(std::string(record_.number), number);
    }
}

TEST_F(NumberEditorTest, OkCommandWithAnEmptyNumberIsRefused) {
    // Enter, or a host sending the command itself, while OK is greyed.
    user_.Then([](HWND dialog) {
        Type(dialog, IDC_NUMBER_DETAILS, "office");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(HasEnded(dialog));
        PressEnter(dialog);
        EXPECT_FALSE(HasEnded(dialog));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Edit(EDITOR_NEW, &record_), 2);
    EXPECT_STREQ(record_.details, "");
}

TEST_F(NumberEditorTest, WithoutARecordTheDialogEndsAtOnceWithCancel) {
    // No act is planned: the user never sees the dialog.
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", nullptr, EditNumberDlgProc, 0), 2);
    EXPECT_EQ(Edit(EDITOR_EDIT, nullptr), 2);
    EXPECT_EQ(user_.unplannedDialogs, 0);
}

}  // namespace
