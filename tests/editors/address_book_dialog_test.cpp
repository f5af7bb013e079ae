// The address book dialog over the sample book: the two boxes, new and
// deleted persons and groups, and the file after each OK.
#include <algorithm>

#include "book_fixture.h"
#include "addrbook/display_lines.h"
#include "editors/address_book_dialog.h"
#include "entry/module_instance.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

const char kAnn[] = "Lee, Ann\tAcme";
const char kBob[] = "Roe, Bob\tBeta";
const char kGamma[] = "Gamma Ltd";

class AddressBookTest : public BookTest {
protected:
    void SetUp() override {
        BookTest::SetUp();
        WriteBook(kSampleBook);
        Open();
    }
};

bool Has(const std::vector<std::string> &lines, const std::string &line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Every line still carries a record of the book.
void ExpectEveryLineLive(HWND dialog, const WorkingContext *context) {
    const int count = LineCount(dialog, IDC_BOOK_LIST);
    for (int index = 0; index < count; ++index) {
        const void *data = reinterpret_cast<const void *>(
            SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETITEMDATA, index, 0));
        bool live = false;
        for (const PersonRecord *p = context->persons->next; p != nullptr; p = p->next) live |= p == data;
        for (const GroupRecord *g = context->groups->next; g != nullptr; g = g->next) live |= g == data;
        EXPECT_TRUE(live) << "line \"" << LineText(dialog, IDC_BOOK_LIST, index) << "\" outlived its record";
    }
}

TEST_F(AddressBookTest, OpensWithBothKindsListedAndNothingToEditOrDelete) {
    user_.Then([](HWND dialog) {
        EXPECT_EQ(Caption(dialog), "Edit Address Book");
        EXPECT_TRUE(IsChecked(dialog, IDC_BOOK_PEOPLE));
        EXPECT_TRUE(IsChecked(dialog, IDC_BOOK_GROUPS));
        const auto lines = Lines(dialog, IDC_BOOK_LIST);
        EXPECT_EQ(lines.size(), 5u);
        for (const char *line : {"[Team]", "[Solo]", kAnn, kBob, kGamma}) EXPECT_TRUE(Has(lines, line)) << line;
        EXPECT_FALSE(IsEnabled(dialog, IDC_BOOK_EDIT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_BOOK_DELETE));
        PickLine(dialog, IDC_BOOK_LIST, kBob);
        EXPECT_TRUE(IsEnabled(dialog, IDC_BOOK_EDIT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_BOOK_DELETE));
        Click(dialog, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 2);
    EXPECT_EQ(ReadBook(), kSampleBook) << "Cancel writes nothing";
}

TEST_F(AddressBookTest, OneOfTheTwoBoxesAlwaysStaysChecked) {
    user_.Then([](HWND dialog) {
        Click(dialog, IDC_BOOK_GROUPS);  // persons only
        EXPECT_FALSE(IsChecked(dialog, IDC_BOOK_GROUPS));
        auto lines = Lines(dialog, IDC_BOOK_LIST);
        EXPECT_EQ(lines.size(), 3u);
        EXPECT_FALSE(Has(lines, "[Team]"));

        Click(dialog, IDC_BOOK_PEOPLE);  // the last checked box: it comes back
        EXPECT_TRUE(IsChecked(dialog, IDC_BOOK_PEOPLE));
        EXPECT_FALSE(IsChecked(dialog, IDC_BOOK_GROUPS));
        EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 3u);

        Click(dialog, IDC_BOOK_GROUPS);  // both again
        EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 5u);

        Click(dialog, IDC_BOOK_PEOPLE);  // groups only
        lines = Lines(dialog, IDC_BOOK_LIST);
        EXPECT_EQ(lines.size(), 2u);
        EXPECT_TRUE(Has(lines, "[Solo]"));

        Click(dialog, IDC_BOOK_GROUPS);  // the last checked box again
        EXPECT_TRUE(IsChecked(dialog, IDC_BOOK_GROUPS));
        EXPECT_FALSE(IsChecked(dialog, IDC_BOOK_PEOPLE));
        EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 2u);

        PickLine(dialog, IDC_BOOK_LIST, "[Team]");
        Click(dialog, IDC_BOOK_PEOPLE);  // a rebuild selects nothing
        EXPECT_FALSE(IsEnabled(dialog, IDC_BOOK_EDIT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_BOOK_DELETE));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(AddressBookTest, APersonWithoutNamesShowsItsCompanyAndOneWithNothingAnEmptyLine) {
    CloseWorkingContext(&context_);
    WriteBook(",,,,Gamma Ltd,,,555-3000,main\n,,,,,Sales,,555-4000,x\n,Ann,,,Acme,,,555-1000,office\n\f");
    Open();
    user_.Then([](HWND dialog) {
        const auto lines = Lines(dialog, IDC_BOOK_LIST);
        EXPECT_TRUE(Has(lines, "Gamma Ltd"));
        EXPECT_TRUE(Has(lines, "")) << "no names and no company";
        EXPECT_TRUE(Has(lines, ", Ann\tAcme")) << "the empty last name keeps its place";
        Click(dialog, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
}

TEST_F(AddressBookTest, NewPersonNeedsANameOrCompanyAndGoesToTheEndOfTheFile) {
    user_.Then([](HWND dialog) {
              Click(dialog, IDC_BOOK_NEW_PERSON);
              EXPECT_TRUE(Has(Lines(dialog, IDC_BOOK_LIST), "Zeta"));
              Click(dialog, IDOK);
          })
        .Then([](HWND person) {
            EXPECT_EQ(Caption(person), "New Person");
            EXPECT_FALSE(IsEnabled(person, IDOK));
            Type(person, IDC_PERSON_DEPARTMENT, "Sales");
            EXPECT_FALSE(IsEnabled(person, IDOK)) << "a department is not a name";
            Type(person, IDC_PERSON_COMPANY, "Zeta");
            EXPECT_TRUE(IsEnabled(person, IDOK));
            Click(person, IDC_PERSON_ADD);
            Click(person, IDOK);
        })
        .Then([](HWND number) {
            Type(number, IDC_NUMBER_NUMBER, "555-9000");
            Click(number, IDOK);
        });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",Bob,Roe,,Beta,,,555-2000,desk\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              ",,,,Zeta,Sales,,555-9000,\n"
              "\fTeam,0.0,1.0\nSolo,0.1\n");
}

TEST_F(AddressBookTest, NewPersonCancelledNeverEntersTheBook) {
    user_.Then([](HWND dialog) {
              Click(dialog, IDC_BOOK_NEW_PERSON);
              EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 5u);
              Click(dialog, IDOK);
          })
        .Then([](HWND person) {
            Type(person, IDC_PERSON_FIRST, "Cy");
            Click(person, IDCANCEL);
        });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(PersonCount(), 3);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(AddressBookTest, NewPersonWhilePeopleIsClearedStillShowsItsLine) {
    user_.Then([](HWND dialog) {
              Click(dialog, IDC_BOOK_PEOPLE);  // groups only
              PickLine(dialog, IDC_BOOK_LIST, "[Team]");
              Click(dialog, IDC_BOOK_NEW_PERSON);
              auto lines = Lines(dialog, IDC_BOOK_LIST);
              EXPECT_EQ(lines.size(), 3u);
              EXPECT_TRUE(Has(lines, "Dee, Cy\t"));
              EXPECT_TRUE(IsEnabled(dialog, IDC_BOOK_EDIT)) << "adding a line keeps the buttons as they were";
              Click(dialog, IDC_BOOK_GROUPS);  // the next rebuild drops it again
              Click(dialog, IDC_BOOK_GROUPS);
              EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 2u);
              Click(dialog, IDOK);
          })
        .Then([](HWND person) {
            Type(person, IDC_PERSON_FIRST, "Cy");
            Type(person, IDC_PERSON_LAST, "Dee");
            Click(person, IDOK);
        });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",Bob,Roe,,Beta,,,555-2000,desk\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              ",Cy,Dee,,,,,\n"
              "\fTeam,0.0,1.0\nSolo,0.1\n");
}

TEST_F(AddressBookTest, DeletingAPersonDeletesTheGroupsItWasTheOnlyMemberOf) {
    user_.Then([this](HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, kAnn);
        Click(dialog, IDC_BOOK_DELETE);
        const auto lines = Lines(dialog, IDC_BOOK_LIST);
        EXPECT_FALSE(Has(lines, kAnn));
        EXPECT_FALSE(Has(lines, "[Solo]")) << "the line of a deleted group must go with it";
        EXPECT_TRUE(Has(lines, "[Team]"));
        EXPECT_EQ(lines.size(), 3u);
        ExpectEveryLineLive(dialog, context_);
        EXPECT_FALSE(IsEnabled(dialog, IDC_BOOK_EDIT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_BOOK_DELETE));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    ASSERT_NE(GroupNamed("Team"), nullptr);
    EXPECT_EQ(MemberCount(GroupNamed("Team")), 1);
    EXPECT_EQ(ReadBook(),
              ",Bob,Roe,,Beta,,,555-2000,desk\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fTeam,0.0\n");
}

TEST_F(AddressBookTest, DeletingAPersonThatSharesAGroupKeepsTheGroup) {
    user_.Then([](HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, kBob);
        Click(dialog, IDC_BOOK_DELETE);
        const auto lines = Lines(dialog, IDC_BOOK_LIST);
        EXPECT_TRUE(Has(lines, "[Team]"));
        EXPECT_TRUE(Has(lines, "[Solo]"));
        Click(dialog, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fTeam,0.0\nSolo,0.1\n");
}

TEST_F(AddressBookTest, DeletingAGroupLeavesItsMembersPersonsAndNumbers) {
    user_.Then([](HWND dialog) {
        OpenLine(dialog, IDC_BOOK_LIST, "[Team]");  // just opens and cancels the editor
        PickLine(dialog, IDC_BOOK_LIST, "[Team]");
        Click(dialog, IDC_BOOK_DELETE);
        EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 4u);
        Click(dialog, IDOK);
    }).Then([](HWND group) {
        EXPECT_EQ(Caption(group), "Edit Groups");
        Click(group, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",Bob,Roe,,Beta,,,555-2000,desk\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fSolo,0.1\n");
}

TEST_F(AddressBookTest, EditAndDeleteWithNothingSelectedDoNothing) {
    user_.Then([](HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BOOK_DELETE, BN_CLICKED), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BOOK_EDIT, BN_CLICKED), 0);
        EXPECT_EQ(Lines(dialog, IDC_BOOK_LIST).size(), 5u);
        Click(dialog, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(AddressBookTest, ABookThatCannotBeSavedSaysSoAndKeepsTheChanges) {
    // OK with the system directory gone: the user is told, stays in the
    // dialog with the change, and a second OK once it is back saves it.
    const std::string missing = directory_ + "/gone";
    user_.Then([&](HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, kBob);
        Click(dialog, IDC_BOOK_DELETE);
        portable::SetSystemDirectory(missing);
        Click(dialog, IDOK);
        EXPECT_FALSE(HasEnded(dialog));
        ASSERT_EQ(user_.messages.size(), 1u);
        EXPECT_NE(user_.messages[0].text.find("could not be saved"), std::string::npos);
        EXPECT_EQ(user_.messages[0].caption, "Error");
        portable::SetSystemDirectory(directory_);
        Click(dialog, IDOK);
    });
    user_.Answer(IDOK);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(),
              ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
              ",,,,Gamma Ltd,,,555-3000,main\n"
              "\fTeam,0.0\nSolo,0.1\n");
}

TEST_F(AddressBookTest, CancelAfterAFailedSaveLeavesTheOldFile) {
    user_.Then([&](HWND dialog) {
        PickLine(dialog, IDC_BOOK_LIST, kAnn);
        Click(dialog, IDC_BOOK_DELETE);
        portable::SetSystemDirectory(directory_ + "/gone");
        Click(dialog, IDOK);
        Click(dialog, IDCANCEL);
    });
    user_.Answer(IDOK);
    EXPECT_EQ(RunAddressBook(), 2);
    portable::SetSystemDirectory(directory_);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(AddressBookTest, WithoutAContextTheDialogEndsAtOnce) {
    EXPECT_EQ(DialogBoxParamA(ModuleInstance(), "IDD_EDIT_ADDRESS_BOOK", nullptr, AddressBookDlgProc, 0), 2);
    EXPECT_EQ(user_.unplannedDialogs, 0);
}

TEST_F(AddressBookTest, TheListIsWideEnoughForItsLongestLine) {
    user_.Then([](HWND dialog) {
        const LRESULT extent = SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETHORIZONTALEXTENT, 0, 0);
        EXPECT_EQ(extent, static_cast<LRESULT>(std::string(kAnn).size()) * GetAverageCharWidth(dialog));
        Click(dialog, IDCANCEL);
    });
    RunAddressBook();
}

}  // namespace
