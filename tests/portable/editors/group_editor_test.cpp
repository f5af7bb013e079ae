// The group editor where a scenario file cannot reach: commands sent by
// code, a name read back from the file, memory that runs out, strings that
// are missing. What the user does with the editor is in the group_*
// scenarios of e2e/scenarios.
#include "addrbook/address_book_file.h"
#include "book_fixture.h"
#include "editors/group_editor.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

const char kBobDesk[] = "Roe, Bob\t555-2000";
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

// OK is greyed without a name, but a command that arrives anyway asks for
// one. (What the user can do is in the group_* scenarios.)
TEST_F(GroupEditorTest, AnOkCommandWithoutANameAsksForOne) {
    FromBook(nullptr);
    user_.Then([this](HWND group) {
        EXPECT_FALSE(IsEnabled(group, IDOK));
        SendMessageA(group, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_FALSE(HasEnded(group));
        ASSERT_EQ(user_.messages.size(), 1u);
        EXPECT_EQ(user_.messages[0].text, "You have not entered a name for this new group.");
        EXPECT_EQ(user_.messages[0].caption, "Warning");
        EXPECT_EQ(user_.messages[0].type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
        Click(group, IDCANCEL);
    });
    user_.Answer(IDOK);
    EXPECT_EQ(RunAddressBook(), 1);
    EXPECT_EQ(ReadBook(), kSampleBook);
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
