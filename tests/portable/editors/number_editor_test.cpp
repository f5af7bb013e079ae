// The number editor run the way a host runs the exported procedure, where
// a scenario file cannot reach: a mode other than new and edit, a command
// sent by code, no record. The user's side is in the number_* scenarios of
// e2e/scenarios.
#include <cstring>
#include <string>

#include "book_fixture.h"
#include "common/module_instance.h"
#include "editors/number_editor.h"

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

TEST_F(NumberEditorTest, AnyNonZeroModeEdits) {
    CopyField(record_.number, "1");
    user_.Then([](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "Edit Number");
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(Edit(7, &record_), 2);
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
