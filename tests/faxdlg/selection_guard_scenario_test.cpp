// The selection across an address book edit, and the guards that keep a
// job inside its 200 slots and the selection inside its 1024 positions.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "addrbook/records.h"
#include "fax_job_harness.h"
#include "res/resource.h"

namespace {

namespace a = portable::automation;
using faxtest::CallerRecord;
using faxtest::CountLines;
using faxtest::SelectLine;

class SelectionGuardScenario : public faxtest::FaxJobTest {};

const int kManyPeople = 1030;

WorkingContext *ContextOf(HWND faxDialog) {
    return reinterpret_cast<WorkingContext *>(GetWindowLongPtrA(faxDialog, DWLP_USER));
}

GroupRecord *GroupNamed(WorkingContext *context, const std::string &name) {
    for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next)
        if (name == group->name) return group;
    return nullptr;
}

PersonRecord *PersonAt(WorkingContext *context, int index) {
    PersonRecord *person = context->persons->next;
    while (person != nullptr && index-- > 0) person = person->next;
    return person;
}

std::string PeopleBook(int persons, const std::vector<std::pair<std::string, std::pair<int, int>>> &groups) {
    std::vector<std::string> people, groupLines;
    for (int i = 0; i < persons; ++i) {
        char last[16];
        std::snprintf(last, sizeof last, "%04d", i);
        people.push_back(faxtest::PersonLine("P", last, "Co", {{std::to_string(10000 + i), ""}}));
    }
    for (const auto &[name, range] : groups) {
        std::vector<std::pair<int, int>> members;
        for (int i = range.first; i < range.second; ++i) members.push_back({i, 0});
        groupLines.push_back(faxtest::GroupLine(name, members));
    }
    return faxtest::Book(people, groupLines);
}

TEST_F(SelectionGuardScenario, DeletingASelectedPersonKeepsTheRestOfTheSelection) {
    WriteBook(faxtest::SmallBook());
    hands
        .Then([this](HWND d) {
            SelectLine(d, IDC_FAX_RECIPIENTS, faxtest::kTeam);
            SelectLine(d, IDC_FAX_RECIPIENTS, faxtest::kJohnOffice);
            SelectLine(d, IDC_FAX_RECIPIENTS, faxtest::kSolo);
            a::Click(d, IDC_FAX_EDIT_BOOK);
            EXPECT_EQ(a::LineCount(d, IDC_FAX_RECIPIENTS), 3);
            EXPECT_EQ(a::FindLine(d, IDC_FAX_RECIPIENTS, faxtest::kJohnOffice), -1);
            std::vector<std::string> selected;
            for (int line : a::SelectedLines(d, IDC_FAX_RECIPIENTS))
                selected.push_back(a::LineText(d, IDC_FAX_RECIPIENTS, line));
            EXPECT_EQ(selected, (std::vector<std::string>{faxtest::kTeam, faxtest::kSolo}));
            // The group keeps its selection with its members as edited.
            EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "Ann Lee\t0049 30 111\r\nSolo Ltd\t777\r\n");
            EXPECT_TRUE(a::IsEnabled(d, IDOK));
            EXPECT_TRUE(hands.boxes.empty());
            a::Click(d, IDOK);
        })
        .Then([](HWND book) {
            EXPECT_EQ(a::Caption(book), "Edit Address Book");
            SelectLine(book, IDC_BOOK_LIST, "Smith, John\tAcme");
            a::Click(book, IDC_BOOK_DELETE);
            a::Click(book, IDOK);
        });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 2);
    EXPECT_STREQ(record.Slot(0).name, "Ann Lee");
    EXPECT_STREQ(record.Slot(1).faxNumber, "777");
    EXPECT_EQ(faxtest::ReadFile(directory.File("OrvixFax.adb")).find("John"), std::string::npos);
    EXPECT_EQ(Settings()["NewRecipient"], "False");
}

// A group is known by its serial, not its name: renamed, it keeps its
// selection; deleted and made again under its old name, it is another
// group and is not selected.
TEST_F(SelectionGuardScenario, ARenamedGroupStaysSelectedAndARemadeOneDoesNot) {
    WriteBook(faxtest::SmallBook());
    auto selected = [](HWND d) {
        std::vector<std::string> texts;
        for (int line : a::SelectedLines(d, IDC_FAX_RECIPIENTS)) texts.push_back(a::LineText(d, IDC_FAX_RECIPIENTS, line));
        return texts;
    };
    hands
        .Then([&](HWND d) {
            SelectLine(d, IDC_FAX_RECIPIENTS, faxtest::kTeam);
            a::Click(d, IDC_FAX_EDIT_BOOK);
            EXPECT_EQ(selected(d), std::vector<std::string>{"[Sales Team]"});
            EXPECT_TRUE(a::IsEnabled(d, IDOK));
            a::Click(d, IDC_FAX_EDIT_BOOK);
            EXPECT_EQ(selected(d), std::vector<std::string>{});
            EXPECT_FALSE(a::IsEnabled(d, IDOK));
            a::Click(d, IDC_FAX_PRINT);
        })
        .Then([](HWND book) {
            SelectLine(book, IDC_BOOK_LIST, "[Team]");
            a::Click(book, IDC_BOOK_EDIT);
            a::Click(book, IDOK);
        })
        .Then([](HWND group) {
            a::ClearText(group, IDC_GROUP_NAME);
            a::Type(group, IDC_GROUP_NAME, "Sales Team");
            a::Click(group, IDOK);
        })
        .Then([](HWND book) {
            SelectLine(book, IDC_BOOK_LIST, "[Sales Team]");
            a::Click(book, IDC_BOOK_DELETE);
            a::Click(book, IDC_BOOK_NEW_GROUP);
            a::Click(book, IDOK);
        })
        .Then([](HWND group) {
            a::Type(group, IDC_GROUP_NAME, "Sales Team");
            SelectLine(group, IDC_GROUP_AVAILABLE, faxtest::kAnn);
            a::Click(group, IDC_GROUP_ADD);
            a::Click(group, IDOK);
        });
    CallerRecord record;
    RunEx(record);
    EXPECT_EQ(record.info.status, 0u);
    EXPECT_TRUE(hands.problems.empty());
}

TEST_F(SelectionGuardScenario, AnEditInNewRecipientModeKeepsTheListDisabled) {
    WriteBook(faxtest::SmallBook());
    hands
        .Then([](HWND d) {
            SelectLine(d, IDC_FAX_RECIPIENTS, faxtest::kAnn);
            a::Click(d, IDC_FAX_NEW_RECIPIENT);
            a::Click(d, IDC_FAX_EDIT_BOOK);
            EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_RECIPIENTS));
            EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_NUMBERS));
            EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_NEW_NUMBER));
            EXPECT_FALSE(a::IsEnabled(d, IDOK));  // follows the (empty) typed number
            EXPECT_EQ(a::SelectedLines(d, IDC_FAX_RECIPIENTS).size(), 1u);
            a::Type(d, IDC_FAX_NEW_NUMBER, "42");
            EXPECT_TRUE(a::IsEnabled(d, IDOK));
            a::Click(d, IDOK);
        })
        .Then([](HWND book) { a::Click(book, IDCANCEL); });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 1);
    EXPECT_STREQ(record.Slot(0).faxNumber, "42");
    EXPECT_STREQ(record.Slot(0).name, "");
    EXPECT_EQ(Settings()["NewRecipient"], "True");
}

// An edit that makes a kept selection worth 201 recipients: the line that
// passes the limit is dropped with the limit message, as if the user had
// selected it, and the job stays within its 200 slots.
TEST_F(SelectionGuardScenario, AnEditThatPushesTheKeptSelectionPastTheLimitDropsALine) {
    WriteBook(PeopleBook(201, {{"Big", {0, 150}}, {"Fifty", {150, 200}}}));
    HWND fax = nullptr;
    hands
        .Then([this, &fax](HWND d) {
            fax = d;
            SelectLine(d, IDC_FAX_RECIPIENTS, "[Big]");
            SelectLine(d, IDC_FAX_RECIPIENTS, "[Fifty]");
            EXPECT_TRUE(hands.boxes.empty());
            a::Click(d, IDC_FAX_EDIT_BOOK);
            ASSERT_EQ(hands.boxes.size(), 1u);
            EXPECT_EQ(hands.boxes[0].text, "Maximum number of recipients is 200 ");
            std::vector<int> selected = a::SelectedLines(d, IDC_FAX_RECIPIENTS);
            ASSERT_EQ(selected.size(), 1u);
            EXPECT_EQ(a::LineText(d, IDC_FAX_RECIPIENTS, selected[0]), "[Big]");
            EXPECT_EQ(CountLines(a::ControlText(d, IDC_FAX_NUMBERS)), 150);
            EXPECT_TRUE(a::IsEnabled(d, IDOK));
            a::Click(d, IDOK);
        })
        .Then([&fax](HWND book) {
            // The edit: person 200's number joins "Fifty", which now stands
            // for 51 recipients.
            WorkingContext *context = ContextOf(fax);
            ASSERT_NE(context, nullptr);
            GroupRecord *fifty = GroupNamed(context, "Fifty");
            PersonRecord *extra = PersonAt(context, 200);
            ASSERT_NE(fifty, nullptr);
            ASSERT_NE(extra, nullptr);
            MemberLink *link = nullptr;
            ASSERT_TRUE(NewMemberLink(&link));
            link->person = extra;
            link->number = extra->numbers->next;
            ListAppend(fifty->members, link);
            a::Click(book, IDCANCEL);
        });
    CallerRecord record;
    RunEx(record);
    EXPECT_EQ(record.info.recipientCount, 150);
    EXPECT_EQ(Settings()["NewRecipient"], "False");
}

// Lines that stand for nobody (their data could not be made) can be
// selected by the thousand without a recipient; the remembered selection
// holds 1024 positions, so the 1025th line is refused like a 201st
// recipient, and "F&ax" with 1024 such lines makes an empty job.
TEST_F(SelectionGuardScenario, MoreSelectedLinesThanTheSelectionHoldsAreRefused) {
    WriteBook(PeopleBook(kManyPeople, {}));
    hands
        .Then([this](HWND d) {
            a::Click(d, IDC_FAX_EDIT_BOOK);  // the list is filled again while memory is short
            portable::FailAllocations(0, 0);
            ASSERT_EQ(a::LineCount(d, IDC_FAX_RECIPIENTS), kManyPeople);
            for (int i = 0; i < 1024; ++i) a::ClickLine(d, IDC_FAX_RECIPIENTS, i);
            EXPECT_TRUE(hands.boxes.empty());
            EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "");
            a::ClickLine(d, IDC_FAX_RECIPIENTS, 1024);
            ASSERT_EQ(hands.boxes.size(), 1u);
            EXPECT_EQ(hands.boxes[0].text, "Maximum number of recipients is 200 ");
            std::vector<int> selected = a::SelectedLines(d, IDC_FAX_RECIPIENTS);
            EXPECT_EQ(selected.size(), 1024u);
            EXPECT_EQ(selected.back(), 1023);
            EXPECT_TRUE(a::IsEnabled(d, IDOK));
            a::Click(d, IDOK);
        })
        .Then([](HWND book) {
            portable::FailAllocations(1000000, 0);
            a::Click(book, IDCANCEL);
        });
    CallerRecord record;
    RunEx(record);
    EXPECT_EQ(record.info.status, 1u);
    EXPECT_EQ(record.info.recipientCount, 0);
    EXPECT_STREQ(record.info.recipientNames, "");
    EXPECT_EQ(Settings()["NewRecipient"], "False");
}

}  // namespace
