// The person editor where a scenario file cannot reach: commands sent by
// code, memory that runs out, a missing parameter block. What the user does
// with the editor is in the person_* scenarios of e2e/scenarios.
#include "book_fixture.h"
#include "common/module_instance.h"
#include "editors/person_editor.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

const char kAnnLine[] = "Lee, Ann\tAcme";
const char kRest[] =
    ",Bob,Roe,,Beta,,,555-2000,desk\n"
    ",,,,Gamma Ltd,,,555-3000,main\n";

class PersonEditorTest : public BookTest {
protected:
    void SetUp() override {
        BookTest::SetUp();
        WriteBook(kSampleBook);
        Open();
    }
    // The book dialog opens the person's line and presses OK after the editor.
    void FromBook(const char *line) {
        user_.Then([line](HWND dialog) {
            OpenLine(dialog, IDC_BOOK_LIST, line);
            Click(dialog, IDOK);
        });
    }
};

// Commands that arrive while their buttons are greyed (sent by code, not
// by the user, whose side is in the person_* scenarios) do nothing: OK
// without a name, Edit and Delete without a number.
TEST_F(PersonEditorTest, AnOkCommandWithoutANameStoresNothing) {
    user_.Then([](HWND dialog) {
        Click(dialog, IDC_BOOK_NEW_PERSON);
        Click(dialog, IDOK);
    });
    user_.Then([](HWND person) {
        Type(person, IDC_PERSON_DEPARTMENT, "Sales");
        EXPECT_FALSE(IsEnabled(person, IDOK));
        SendMessageA(person, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(HasEnded(person));
        Click(person, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(PersonCount(), 3);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, EditAndDeleteCommandsWithoutANumberDoNothing) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 1);
        Click(person, IDC_PERSON_DELETE);
        ClickLine(person, IDC_PERSON_NUMBERS, 0);
        Click(person, IDC_PERSON_DELETE);
        SendMessageA(person, WM_COMMAND, MAKEWPARAM(IDC_PERSON_DELETE, BN_CLICKED), 0);
        SendMessageA(person, WM_COMMAND, MAKEWPARAM(IDC_PERSON_EDIT, BN_CLICKED), 0);
        Click(person, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(GroupCount(), 1) << "Solo had only Ann's numbers";
    EXPECT_EQ(ReadBook(), ",Ann,Lee,,Acme,,,\n" + std::string(kRest) + "\fTeam,1.0\n");
}

TEST_F(PersonEditorTest, AWorkingCopyThatCannotBeMadeLeavesThePersonUntouched) {
    // The editor's state and list come first, then one copy per number: the
    // second copy fails, and the editor ends as a Cancel before it is shown.
    user_.Then([](HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, kAnnLine);
        portable::FailAllocations(1, 3);
        Click(dialog, IDC_BOOK_EDIT);
        portable::FailAllocations(0, 0);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, WithoutAParameterBlockTheEditorEndsAtOnce) {
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_EDIT_INDIV", nullptr, PersonEditorDlgProc, 0), 2);
    EXPECT_EQ(user_.unplannedDialogs, 0);
}

}  // namespace
