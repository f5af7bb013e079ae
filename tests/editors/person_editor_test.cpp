// The person editor run from the address book dialog over the sample book:
// the OK rule, the working copy of the numbers and the reconciliation on OK,
// checked in the book file.
#include "book_fixture.h"
#include "editors/person_editor.h"
#include "entry/module_instance.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

const char kAnnLine[] = "Lee, Ann\tAcme";
const char kBobLine[] = "Roe, Bob\tBeta";
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
    static void TypeNumber(ActingUser &user, const char *number, const char *details) {
        user.Then([number, details](HWND editor) {
            Type(editor, IDC_NUMBER_NUMBER, number);
            Type(editor, IDC_NUMBER_DETAILS, details);
            Click(editor, IDOK);
        });
    }
};

TEST_F(PersonEditorTest, ShowsThePersonAndItsNumbersInTheirOrder) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        EXPECT_EQ(Caption(person), "Edit Individual");
        EXPECT_EQ(ControlText(person, IDC_PERSON_FIRST), "Ann");
        EXPECT_EQ(ControlText(person, IDC_PERSON_LAST), "Lee");
        EXPECT_EQ(ControlText(person, IDC_PERSON_COMPANY), "Acme");
        EXPECT_EQ(Lines(person, IDC_PERSON_NUMBERS),
                  (std::vector<std::string>{"555-1000\toffice", "555-1001\thome"}));
        EXPECT_TRUE(IsEnabled(person, IDOK));
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_EDIT));
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_DELETE));
        ClickLine(person, IDC_PERSON_NUMBERS, 1);
        EXPECT_TRUE(IsEnabled(person, IDC_PERSON_EDIT));
        EXPECT_TRUE(IsEnabled(person, IDC_PERSON_DELETE));
        Click(person, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, OkNeedsAFirstNameLastNameOrCompany) {
    user_.Then([](HWND dialog) {
        Click(dialog, IDC_BOOK_NEW_PERSON);
        Click(dialog, IDOK);
    });
    user_.Then([](HWND person) {
        EXPECT_EQ(Caption(person), "New Person");
        EXPECT_FALSE(IsEnabled(person, IDOK));
        Type(person, IDC_PERSON_DEPARTMENT, "Sales");
        Type(person, IDC_PERSON_NOTES, "notes do not count");
        EXPECT_FALSE(IsEnabled(person, IDOK));
        for (int field : {IDC_PERSON_FIRST, IDC_PERSON_LAST, IDC_PERSON_COMPANY}) {
            Type(person, field, "x");
            EXPECT_TRUE(IsEnabled(person, IDOK)) << field;
            ClearText(person, field);
            EXPECT_FALSE(IsEnabled(person, IDOK)) << field;
        }
        // A command that arrives while OK is greyed stores nothing.
        SendMessageA(person, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(HasEnded(person));
        Click(person, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(PersonCount(), 3);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, FieldsStopAtTheirLimitsAndAreStoredOnOk) {
    FromBook(kBobLine);
    user_.Then([](HWND person) {
        ClearText(person, IDC_PERSON_FIRST);
        Type(person, IDC_PERSON_FIRST, std::string(50, 'f'));
        Type(person, IDC_PERSON_LAST, std::string(50, 'l'));
        ClearText(person, IDC_PERSON_COMPANY);
        Type(person, IDC_PERSON_COMPANY, std::string(50, 'c'));
        Type(person, IDC_PERSON_DEPARTMENT, std::string(50, 'd'));
        Type(person, IDC_PERSON_NOTES, std::string(300, 'n'));
        Click(person, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    PersonRecord *bob = PersonAt(1);
    ASSERT_NE(bob, nullptr);
    EXPECT_EQ(std::string(bob->firstName), std::string(35, 'f'));
    EXPECT_EQ(std::string(bob->lastName), "Roe" + std::string(42, 'l'));
    EXPECT_EQ(std::string(bob->company), std::string(39, 'c'));
    EXPECT_EQ(std::string(bob->department), std::string(39, 'd'));
    EXPECT_EQ(std::string(bob->notes), std::string(249, 'n'));
}

TEST_F(PersonEditorTest, CancelAfterAddingNumbersAddsNone) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        Click(person, IDC_PERSON_ADD);
        Click(person, IDC_PERSON_ADD);
        EXPECT_EQ(LineCount(person, IDC_PERSON_NUMBERS), 4);
        Click(person, IDCANCEL);
    });
    TypeNumber(user_, "555-7000", "a");
    TypeNumber(user_, "555-8000", "b");
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, AddWithLineZeroSelectedAppendsAndSelectsLineZeroAgain) {
    FromBook(kBobLine);
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 0);
        Click(person, IDC_PERSON_ADD);
        EXPECT_EQ(Lines(person, IDC_PERSON_NUMBERS),
                  (std::vector<std::string>{"555-2000\tdesk", "555-2001\tfax"}));
        EXPECT_EQ(SelectedLines(person, IDC_PERSON_NUMBERS), std::vector<int>{0});
        EXPECT_TRUE(IsEnabled(person, IDC_PERSON_EDIT));
        EXPECT_TRUE(IsEnabled(person, IDC_PERSON_DELETE));
        Click(person, IDC_PERSON_ADD);  // cancelled this time: still line 0
        EXPECT_EQ(LineCount(person, IDC_PERSON_NUMBERS), 2);
        EXPECT_EQ(SelectedLines(person, IDC_PERSON_NUMBERS), std::vector<int>{0});
        Click(person, IDOK);
    });
    TypeNumber(user_, "555-2001", "fax");
    user_.Then([](HWND number) {
        EXPECT_EQ(Caption(number), "New Number");
        Type(number, IDC_NUMBER_NUMBER, "555-2002");
        Click(number, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",Bob,Roe,,Beta,,,555-2000,desk,555-2001,fax\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fTeam,0.0,1.0\nSolo,0.1\n");
}

TEST_F(PersonEditorTest, AddWithNothingSelectedLeavesNothingSelected) {
    FromBook(kBobLine);
    user_.Then([](HWND person) {
        Click(person, IDC_PERSON_ADD);
        EXPECT_TRUE(SelectedLines(person, IDC_PERSON_NUMBERS).empty());
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_EDIT));
        Click(person, IDCANCEL);
    });
    TypeNumber(user_, "1", "");
    EXPECT_EQ(RunAddressBook(), 1);
}

TEST_F(PersonEditorTest, DeletingTheOnlyMemberOfAGroupThenOkDeletesTheGroup) {
    FromBook(kAnnLine);
    user_.Then([this](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 1);  // 555-1001, Solo's only member
        Click(person, IDC_PERSON_DELETE);
        EXPECT_EQ(Lines(person, IDC_PERSON_NUMBERS), std::vector<std::string>{"555-1000\toffice"});
        EXPECT_TRUE(SelectedLines(person, IDC_PERSON_NUMBERS).empty());
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_EDIT));
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_DELETE));
        EXPECT_NE(GroupNamed("Solo"), nullptr) << "nothing changes before OK";
        Click(person, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(GroupNamed("Solo"), nullptr);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office\n" + std::string(kRest) + "\fTeam,0.0,1.0\n");
}

TEST_F(PersonEditorTest, DeletingTheOnlyMemberOfAGroupThenCancelKeepsBoth) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 1);
        Click(person, IDC_PERSON_DELETE);
        Click(person, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, TheBookListLosesTheLineOfAGroupEmptiedInTheEditor) {
    user_.Then([](HWND dialog) {
        OpenLine(dialog, IDC_BOOK_LIST, kAnnLine);
        EXPECT_EQ(FindLine(dialog, IDC_BOOK_LIST, "[Solo]"), -1);
        Click(dialog, IDCANCEL);
    });
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 1);
        Click(person, IDC_PERSON_DELETE);
        Click(person, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 2);
    EXPECT_EQ(ReadBook(), kSampleBook) << "the book dialog was cancelled";
}

TEST_F(PersonEditorTest, EditingANumbersTextKeepsItInItsGroups) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 0);
        Click(person, IDC_PERSON_EDIT);
        EXPECT_EQ(LineText(person, IDC_PERSON_NUMBERS, 0), "555-1999\toffice");
        EXPECT_EQ(SelectedLines(person, IDC_PERSON_NUMBERS), std::vector<int>{0});
        EXPECT_TRUE(IsEnabled(person, IDC_PERSON_EDIT));
        Click(person, IDOK);
    });
    user_.Then([](HWND number) {
        EXPECT_EQ(Caption(number), "Edit Number");
        ClearText(number, IDC_NUMBER_NUMBER);
        Type(number, IDC_NUMBER_NUMBER, "555-1999");
        Click(number, IDOK);
    });
    // Then the group shows the new text.
    user_.Then([](HWND dialog) {
        OpenLine(dialog, IDC_BOOK_LIST, "[Team]");
        Click(dialog, IDOK);
    });
    user_.Then([](HWND group) {
        EXPECT_GE(LineOf(group, IDC_GROUP_MEMBERS, "Lee, Ann\t555-1999"), 0);
        Click(group, IDCANCEL);
    });
    const uint32_t id = PersonAt(0)->numbers->next->id;
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(PersonAt(0)->numbers->next->id, id) << "an edited number keeps its identity";
    const std::string expected = ",Ann,Lee,,Acme,,,555-1999,office,555-1001,home\n" + std::string(kRest) +
                                 "\fTeam,0.0,1.0\nSolo,0.1\n";
    EXPECT_EQ(ReadBook(), expected);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), expected);
}

TEST_F(PersonEditorTest, DoubleClickEditsAndCancelInTheNumberEditorChangesNothing) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        DoubleClickLine(person, IDC_PERSON_NUMBERS, 1);
        EXPECT_EQ(LineText(person, IDC_PERSON_NUMBERS, 1), "555-1001\thome");
        Click(person, IDOK);
    });
    user_.Then([](HWND number) {
        EXPECT_EQ(ControlText(number, IDC_NUMBER_NUMBER), "555-1001");
        Type(number, IDC_NUMBER_NUMBER, "9");
        Click(number, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(PersonEditorTest, DeletedEditedAndAddedNumbersAreReconciledInOneOk) {
    // Delete Team's office number, add two, edit home: home keeps its place
    // and Solo, the new numbers follow in the order they were added.
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 0);
        Click(person, IDC_PERSON_DELETE);
        Click(person, IDC_PERSON_ADD);
        Click(person, IDC_PERSON_ADD);
        DoubleClickLine(person, IDC_PERSON_NUMBERS, 0);
        EXPECT_EQ(Lines(person, IDC_PERSON_NUMBERS),
                  (std::vector<std::string>{"555-1001\thome, new", "555-1002\tx", "555-1003\ty"}));
        Click(person, IDOK);
    });
    TypeNumber(user_, "555-1002", "x");
    TypeNumber(user_, "555-1003", "y");
    user_.Then([](HWND number) {
        Type(number, IDC_NUMBER_DETAILS, ", new");
        Click(number, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1001,home\\, new,555-1002,x,555-1003,y\n" + std::string(kRest) +
                  "\fTeam,1.0\nSolo,0.0\n");
}

TEST_F(PersonEditorTest, DeleteOnTheLastLineLeavesNothingSelected) {
    FromBook(kAnnLine);
    user_.Then([](HWND person) {
        ClickLine(person, IDC_PERSON_NUMBERS, 1);
        Click(person, IDC_PERSON_DELETE);
        ClickLine(person, IDC_PERSON_NUMBERS, 0);
        Click(person, IDC_PERSON_DELETE);
        EXPECT_EQ(LineCount(person, IDC_PERSON_NUMBERS), 0);
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_EDIT));
        EXPECT_FALSE(IsEnabled(person, IDC_PERSON_DELETE));
        SendMessageA(person, WM_COMMAND, MAKEWPARAM(IDC_PERSON_DELETE, BN_CLICKED), 0);
        SendMessageA(person, WM_COMMAND, MAKEWPARAM(IDC_PERSON_EDIT, BN_CLICKED), 0);
        Click(person, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(GroupCount(), 1) << "Solo had only Ann's numbers";
    EXPECT_EQ(ReadBook(), ",Ann,Lee,,Acme,,,\n" + std::string(kRest) + "\fTeam,1.0\n");
}

TEST_F(PersonEditorTest, ANumberLongerThanFortyCharactersSurvivesAnEdit) {
    const std::string longNumber = "+44 20 7946 0000 ext 1234 then ask for the fax room";
    ASSERT_GT(longNumber.size(), 40u);
    const std::string book = ",Bob,Roe,,Beta,,," + longNumber + ",desk\n\f";
    CloseWorkingContext(&context_);
    WriteBook(book);
    Open();
    FromBook(kBobLine);
    user_.Then([&](HWND person) {
        EXPECT_EQ(LineText(person, IDC_PERSON_NUMBERS, 0), longNumber + "\tdesk");
        DoubleClickLine(person, IDC_PERSON_NUMBERS, 0);
        Click(person, IDOK);
    });
    user_.Then([&](HWND number) {
        EXPECT_EQ(ControlText(number, IDC_NUMBER_NUMBER), longNumber);
        Click(number, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), book);
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
