// The group editor run from the address book dialog over the sample book:
// moving pairs, the name rules and their messages, and the file after OK.
#include <algorithm>

#include "addrbook/address_book_file.h"
#include "book_fixture.h"
#include "editors/group_editor.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

const char kAnnOffice[] = "Lee, Ann\t555-1000";
const char kAnnHome[] = "Lee, Ann\t555-1001";
const char kBobDesk[] = "Roe, Bob\t555-2000";
const char kGammaMain[] = "Gamma Ltd\t555-3000";
const char kPersons[] =
    ",Ann,Lee,,Acme,,,555-1000,office,555-1001,home\n"
    ",Bob,Roe,,Beta,,,555-2000,desk\n"
    ",,,,Gamma Ltd,,,555-3000,main\n";

class GroupEditorTest : public BookTest {
protected:
    void SetUp() override {
        BookTest::SetUp();
        WriteBook(kSampleBook);
        Open();
    }
    // The book dialog opens the given line (or "&New Group") and presses OK after it.
    void FromBook(const char *line) {
        user_.Then([line](HWND dialog) {
            if (line == nullptr) Click(dialog, IDC_BOOK_NEW_GROUP);
            else OpenLine(dialog, IDC_BOOK_LIST, line);
            Click(dialog, IDOK);
        });
    }
};

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(GroupEditorTest, EditingShowsTheMembersOnTheRightAndEveryOtherPairOnTheLeft) {
    FromBook("[Team]");
    user_.Then([](HWND group) {
        EXPECT_EQ(Caption(group), "Edit Groups");
        EXPECT_EQ(ControlText(group, IDC_GROUP_NAME), "Team");
        EXPECT_EQ(Sorted(Lines(group, IDC_GROUP_MEMBERS)), Sorted({kAnnOffice, kBobDesk}));
        EXPECT_EQ(Sorted(Lines(group, IDC_GROUP_AVAILABLE)), Sorted({kAnnHome, kGammaMain}));
        EXPECT_FALSE(IsEnabled(group, IDC_GROUP_ADD));
        EXPECT_FALSE(IsEnabled(group, IDC_GROUP_REMOVE));
        Click(group, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
}

TEST_F(GroupEditorTest, FocusDecidesWhichWayLinesMoveAndCancelUndoesTheMoves) {
    FromBook("[Team]");
    user_.Then([](HWND group) {
        FocusControl(group, IDC_GROUP_AVAILABLE);
        EXPECT_TRUE(IsEnabled(group, IDC_GROUP_ADD));
        EXPECT_FALSE(IsEnabled(group, IDC_GROUP_REMOVE));
        PickLine(group, IDC_GROUP_AVAILABLE, kGammaMain);
        Click(group, IDC_GROUP_ADD);
        EXPECT_EQ(LineCount(group, IDC_GROUP_MEMBERS), 3);
        EXPECT_TRUE(SelectedLines(group, IDC_GROUP_MEMBERS).empty());
        EXPECT_TRUE(SelectedLines(group, IDC_GROUP_AVAILABLE).empty());
        Click(group, IDC_GROUP_ADD);  // nothing selected: nothing moves
        EXPECT_EQ(LineCount(group, IDC_GROUP_MEMBERS), 3);

        FocusControl(group, IDC_GROUP_MEMBERS);
        EXPECT_FALSE(IsEnabled(group, IDC_GROUP_ADD));
        EXPECT_TRUE(IsEnabled(group, IDC_GROUP_REMOVE));
        PickLine(group, IDC_GROUP_MEMBERS, kAnnOffice);
        Click(group, IDC_GROUP_REMOVE);
        OpenLine(group, IDC_GROUP_MEMBERS, kBobDesk);    // double-click removes
        OpenLine(group, IDC_GROUP_AVAILABLE, kAnnHome);  // and adds
        EXPECT_EQ(Sorted(Lines(group, IDC_GROUP_MEMBERS)), Sorted({kGammaMain, kAnnHome}));
        Click(group, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook) << "Cancel leaves the group as it was";
}

TEST_F(GroupEditorTest, MovedLinesCarryTheirPairAndTheMembersFollowTheListOrder) {
    // The file lists Team's members Bob first; after OK they follow the
    // alphabetical order of the lines. A person with two numbers gives two
    // lines that move on their own.
    CloseWorkingContext(&context_);
    WriteBook(std::string(kPersons) + "\fTeam,1.0,0.0\n");
    Open();
    FromBook("[Team]");
    user_.Then([](HWND group) {
        OpenLine(group, IDC_GROUP_AVAILABLE, kGammaMain);
        OpenLine(group, IDC_GROUP_MEMBERS, kAnnOffice);
        OpenLine(group, IDC_GROUP_AVAILABLE, kAnnHome);
        Click(group, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), std::string(kPersons) + "\fTeam,2.0,0.1,1.0\n");
}

TEST_F(GroupEditorTest, NewGroupNeedsANameAndMembersAndAsksBeforeReplacingAnother) {
    FromBook(nullptr);
    user_.Then([this](HWND group) {
        EXPECT_EQ(Caption(group), "New Group");
        EXPECT_EQ(ControlText(group, IDC_GROUP_NAME), "");
        EXPECT_EQ(LineCount(group, IDC_GROUP_AVAILABLE), 4);
        EXPECT_EQ(LineCount(group, IDC_GROUP_MEMBERS), 0);
        EXPECT_FALSE(IsEnabled(group, IDOK));

        // OK is greyed, but a command that arrives anyway asks for the name.
        SendMessageA(group, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(HasEnded(group));
        ASSERT_EQ(user_.messages.size(), 1u);
        EXPECT_EQ(user_.messages[0].text, "You have not entered a name for this new group.");
        EXPECT_EQ(user_.messages[0].caption, "Warning");
        EXPECT_EQ(user_.messages[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));

        Type(group, IDC_GROUP_NAME, "Solo");
        EXPECT_TRUE(IsEnabled(group, IDOK));
        Click(group, IDOK);
        EXPECT_FALSE(HasEnded(group));
        EXPECT_EQ(user_.messages.back().text, "There are no Persons in this Group.");

        OpenLine(group, IDC_GROUP_AVAILABLE, kBobDesk);
        Click(group, IDOK);  // answered No
        EXPECT_FALSE(HasEnded(group));
        EXPECT_EQ(user_.messages.back().text,
                  "The Group name you have chosen already exists.\n Do you want to override it?");
        EXPECT_EQ(user_.messages.back().type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        ASSERT_NE(GroupNamed("Solo"), nullptr) << "No changes nothing";

        Click(group, IDOK);  // answered Yes
    });
    // The answers, in order: no name, no members, No, Yes.
    user_.Answer(IDOK).Answer(IDOK).Answer(IDNO).Answer(IDYES);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(GroupCount(), 2);
    EXPECT_EQ(ReadBook(), std::string(kPersons) + "\fTeam,0.0,1.0\nSolo,1.0\n");
}

TEST_F(GroupEditorTest, NewGroupCancelledNeverEntersTheBook) {
    FromBook(nullptr);
    user_.Then([](HWND group) {
        Type(group, IDC_GROUP_NAME, "Later");
        OpenLine(group, IDC_GROUP_AVAILABLE, kBobDesk);
        Click(group, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(GroupEditorTest, ANameInBracketsCountsAsThatGroupsName) {
    FromBook(nullptr);
    user_.Then([](HWND group) {
        Type(group, IDC_GROUP_NAME, "[Team]");
        OpenLine(group, IDC_GROUP_AVAILABLE, kGammaMain);
        Click(group, IDOK);
    });
    user_.Answer(IDYES);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(GroupNamed("Team"), nullptr);
    EXPECT_EQ(ReadBook(), std::string(kPersons) + "\fSolo,0.1\n[Team],2.0\n");
}

TEST_F(GroupEditorTest, RenamingToAnotherGroupsNameReplacesItOnYes) {
    FromBook("[Team]");
    user_.Then([](HWND group) {
        ClearText(group, IDC_GROUP_NAME);
        Type(group, IDC_GROUP_NAME, "Solo");
        Click(group, IDOK);
    });
    user_.Answer(IDYES);
    EXPECT_EQ(RunAddressBook(), 1);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(GroupCount(), 1);
    ASSERT_NE(GroupNamed("Solo"), nullptr);
    EXPECT_EQ(MemberCount(GroupNamed("Solo")), 2) << "each line once";
    EXPECT_EQ(ReadBook(), std::string(kPersons) + "\fSolo,0.0,1.0\n");
}

TEST_F(GroupEditorTest, RenamingToAnotherGroupsNameAnsweredNoChangesNothing) {
    FromBook("[Team]");
    user_.Then([](HWND group) {
        ClearText(group, IDC_GROUP_NAME);
        Type(group, IDC_GROUP_NAME, "Solo");
        Click(group, IDOK);
        EXPECT_FALSE(HasEnded(group));
        Click(group, IDCANCEL);
    });
    user_.Answer(IDNO);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(GroupEditorTest, RenamingToItsOwnNameInBracketsAsksNothing) {
    FromBook("[Team]");
    user_.Then([](HWND group) {
        ClearText(group, IDC_GROUP_NAME);
        Type(group, IDC_GROUP_NAME, "[Team]");
        Click(group, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_TRUE(user_.messages.empty());
    EXPECT_EQ(ReadBook(), std::string(kPersons) + "\f[Team],0.0,1.0\nSolo,0.1\n");
}

TEST_F(GroupEditorTest, ClearingTheNameOfAnExistingGroupIsRefused) {
    FromBook("[Solo]");
    user_.Then([this](HWND group) {
        ClearText(group, IDC_GROUP_NAME);
        EXPECT_FALSE(IsEnabled(group, IDOK));
        SendMessageA(group, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(HasEnded(group));
        EXPECT_EQ(user_.messages.size(), 1u);
        Click(group, IDCANCEL);
    });
    user_.Answer(IDOK);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(GroupEditorTest, EditingShowsTheEditedGroupsOwnMembersEvenWhenAnotherMatchesItsName) {
    // Group "X" comes first and its bracketed line "[X]" is exactly the name
    // of the second group, so a lookup by name finds the wrong one.
    CloseWorkingContext(&context_);
    WriteBook(std::string(kPersons) + "\fX,0.0\n[X],1.0\n");
    Open();
    FromBook("[[X]]");
    user_.Then([](HWND group) {
        EXPECT_EQ(Lines(group, IDC_GROUP_MEMBERS), std::vector<std::string>{kBobDesk});
        Click(group, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_TRUE(user_.messages.empty());
    EXPECT_EQ(ReadBook(), std::string(kPersons) + "\fX,0.0\n[X],1.0\n");
}

TEST_F(GroupEditorTest, ThePairLinesUseTheEditorsOwnNameThreshold) {
    // One character of name is enough for the book's list, not for the editor's.
    CloseWorkingContext(&context_);
    WriteBook(",A,,,Co,,,555-1,x\n\f");
    Open();
    user_.Then([](HWND dialog) {
        EXPECT_GE(LineOf(dialog, IDC_BOOK_LIST, ", A\tCo"), 0);
        Click(dialog, IDC_BOOK_NEW_GROUP);
        Click(dialog, IDCANCEL);
    });
    user_.Then([](HWND group) {
        EXPECT_EQ(Lines(group, IDC_GROUP_AVAILABLE), std::vector<std::string>{"Co\t555-1"});
        Click(group, IDCANCEL);
    });
    EXPECT_EQ(RunAddressBook(), 2);
}

TEST_F(GroupEditorTest, AGroupNameWithACommaReadsBackWhole) {
    FromBook(nullptr);
    user_.Then([](HWND group) {
        Type(group, IDC_GROUP_NAME, "Sales, North");
        OpenLine(group, IDC_GROUP_AVAILABLE, kBobDesk);
        Click(group, IDOK);
    });
    EXPECT_EQ(RunAddressBook(), 1);
    CloseWorkingContext(&context_);
    Open();
    GroupRecord *group = GroupNamed("Sales, North");
    ASSERT_NE(group, nullptr) << "book:\n" << ReadBook();
    ASSERT_EQ(MemberCount(group), 1);
    EXPECT_EQ(group->members->next->person, PersonAt(1));
}

TEST_F(GroupEditorTest, StoringTheMembersWithoutMemoryChangesNothing) {
    FromBook("[Team]");
    user_.Then([this](HWND group) {
        ClearText(group, IDC_GROUP_NAME);
        Type(group, IDC_GROUP_NAME, "Solo");
        portable::FailAllocations(1, 0);  // the new member list
        Click(group, IDOK);
        portable::FailAllocations(0, 0);
        EXPECT_FALSE(HasEnded(group));
        ASSERT_EQ(user_.messages.size(), 2u);  // the question, then the failure
        EXPECT_EQ(user_.messages[1].caption, "Error");
        EXPECT_NE(GroupNamed("Solo"), nullptr) << "the other group stays";
        Click(group, IDCANCEL);
    });
    user_.Answer(IDYES).Answer(IDOK);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
}

TEST_F(GroupEditorTest, WarningsFallBackToEnglishWhenTheStringsAreMissing) {
    portable::RemoveString(IDS_WARNING);
    portable::RemoveString(IDS_GROUP_NO_MEMBERS);
    user_.Answer(IDOK);
    EXPECT_EQ(ShowGroupWarning(nullptr, GROUP_WARNING_NO_MEMBERS), IDOK);
    ASSERT_EQ(user_.messages.size(), 1u);
    EXPECT_EQ(user_.messages[0].caption, "Warning");
    EXPECT_EQ(user_.messages[0].text, "There are no Persons in this Group.");
}

}  // namespace
