// The address book dialog over the sample book, where a scenario file
// cannot reach: the lines against the records behind them, commands sent by
// code, a save that fails, the list's extent. What the user does with the
// dialog is in the book_* scenarios of e2e/scenarios.
#include <algorithm>

#include "addrbook/display_lines.h"
#include "book_fixture.h"
#include "common/module_instance.h"
#include "editors/address_book_dialog.h"
#include "platform/portable/host.h"

using namespace portable::automation;

namespace {

const char kAnn[] = "Lee, Ann\tAcme";
const char kBob[] = "Roe, Bob\tBeta";

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
