// Fax jobs that a scenario file cannot play: what only the portable layer
// lets a test do (a string table entry changed, allocations made to fail,
// the book edited behind the dialog's back, fonts measured). Every other
// job through the fax dialog is a scenario in e2e/scenarios, played by
// both runners.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "addrbook/display_lines.h"
#include "addrbook/records.h"
#include "fax_job_harness.h"
#include "res/resource.h"
#include "ticket/ticket_clock.h"

namespace {

namespace a = portable::automation;
using faxtest::CallerRecord;
using faxtest::CountLines;
using faxtest::SelectLine;
using faxtest::kJohnOffice;
using faxtest::kAnn;
using faxtest::kTeam;

class FaxJob : public faxtest::FaxJobTest {};

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

// A book of `persons` people with one number each ("P 0000", 10000 ...),
// and groups over consecutive people.
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

TEST_F(FaxJob, KanjiModeWritesEveryNameLastNameFirst) {
    portable::OverrideString(IDS_LANGUAGE, "Kanji");
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kJohnOffice);
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "Smith John\r\nAcme\r\nSales\r\n555 1234\r\n");
        SelectLine(d, IDC_FAX_RECIPIENTS, kJohnOffice);
        SelectLine(d, IDC_FAX_RECIPIENTS, kTeam);
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS),
                  "Smith John\t555 1234\r\nLee Ann\t0049 30 111\r\n");
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 2);
    EXPECT_STREQ(record.Slot(0).name, "Smith John");
    EXPECT_STREQ(record.Slot(1).name, "Lee Ann");
    // A single group gives the tab-led names and no single-recipient fields.
    EXPECT_STREQ(record.info.recipientNames, "\tSmith John\tLee Ann");
    EXPECT_STREQ(record.info.recipientFaxNumber, "");
    EXPECT_STREQ(record.info.recipientCompany, "");
    EXPECT_EQ(Settings()["NewRecipient"], "False");
}

TEST_F(FaxJob, PrintLeavesACallersRecordAsItWas) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
        a::Click(d, IDC_FAX_PRINT);
    });
    CallerRecord record;
    record.info.coverSheet = 7;
    std::strcpy(record.info.senderName, "untouched");
    RunEx(record);
    EXPECT_EQ(record.info.status, 0u);
    EXPECT_EQ(record.info.coverSheet, 7);
    EXPECT_STREQ(record.info.senderName, "untouched");
    EXPECT_EQ(record.info.recipientCount, 0);
    EXPECT_EQ(Settings()["CoverPage"], "False");
}

// The note field is made 50 characters of the note font wide and eight
// (double-led) lines high; the dialog follows its width.
TEST_F(FaxJob, TheNoteFieldAndTheDialogAreSizedByTheNoteFont) {
    WriteBook(faxtest::SmallBook());
    hands
        .Then([](HWND d) {
            a::Click(d, IDC_FAX_USE_COVER);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDC_FAX_PRINT);
        })
        .Then([](HWND c) {
            LOGFONTA font{};
            font.lfHeight = -11;
            font.lfWidth = 8;
            font.lfPitchAndFamily = FIXED_PITCH;
            HFONT noteFont = CreateFontIndirectA(&font);
            HWND note = GetDlgItem(c, IDC_COVER_NOTE);
            HDC dc = GetDC(note);
            HGDIOBJ previous = SelectObject(dc, noteFont);
            TEXTMETRICA m{};
            GetTextMetricsA(dc, &m);
            SelectObject(dc, previous);
            ReleaseDC(note, dc);
            DeleteObject(noteFont);
            EXPECT_EQ(m.tmAveCharWidth, 8);

            RECT field, frame;
            GetWindowRect(note, &field);
            GetWindowRect(c, &frame);
            EXPECT_EQ(field.right - field.left, 400);
            EXPECT_EQ(field.bottom - field.top,
                      8 * (m.tmHeight + m.tmInternalLeading + m.tmExternalLeading));
            EXPECT_EQ(frame.right - frame.left, 425);
            a::Click(c, IDCANCEL);
        });
    faxtest::Ticket ticket = RunPcl();
    EXPECT_FALSE(ticket.made);
    EXPECT_EQ(Settings()["CoverPage"], "True");
}

// An edit that makes a kept selection worth 201 recipients: the line that
// passes the limit is dropped with the limit message, as if the user had
// selected it, and the job stays within its 200 slots.
TEST_F(FaxJob, AnEditThatPushesTheKeptSelectionPastTheLimitDropsALine) {
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
TEST_F(FaxJob, MoreSelectedLinesThanTheSelectionHoldsAreRefused) {
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

// The list's items are gathered before they are released; when there is
// no memory for that, each is released as its line is met. Either way a
// closed dialog has released every one.
TEST_F(FaxJob, EveryLineItemIsReleasedEvenWhenMemoryIsShortAtTheClose) {
    WriteBook(PeopleBook(40, {{"Ten", {0, 10}}}));
    for (bool shortOfMemory : {false, true}) {
        SCOPED_TRACE(shortOfMemory);
        const int before = portable::LiveGlobalBlocks();
        int open = 0;
        hands.Then([&](HWND d) {
            EXPECT_EQ(a::LineCount(d, IDC_FAX_RECIPIENTS), 41);
            open = portable::LiveGlobalBlocks();
            if (shortOfMemory) portable::FailAllocations(1, 0);
            a::Click(d, IDC_FAX_PRINT);
        });
        CallerRecord record;
        RunEx(record);
        portable::FailAllocations(0, 0);
        EXPECT_GE(open, before + 41) << "an item for every line";
        EXPECT_EQ(portable::LiveGlobalBlocks(), before);
    }
}

// Memory that runs out once while the list is filled again, at whichever
// allocation, costs at most one line its data and never leaves an item
// unreleased: the fill's record of its items may be what could not be
// made or grow, and the items are then found through the lines.
TEST_F(FaxJob, AFillShortOfMemoryAnywhereStillReleasesEveryItem) {
    const int kLines = 600;  // enough for the record of the items to grow
    WriteBook(PeopleBook(kLines, {}));
    // Around the record's making and its two growths, by the fill's count
    // of allocations, and a few items between them.
    std::vector<int> skips;
    for (int from : {0, 130, 250, 400, 505})
        for (int skip = from; skip < from + 20; ++skip) skips.push_back(skip);
    for (int skip : skips) {
        SCOPED_TRACE(skip);
        const int before = portable::LiveGlobalBlocks();
        int withData = 0;
        hands
            .Then([&](HWND d) {
                a::Click(d, IDC_FAX_EDIT_BOOK);
                portable::FailAllocations(0, 0);
                ASSERT_EQ(a::LineCount(d, IDC_FAX_RECIPIENTS), kLines);
                for (int i = 0; i < kLines; ++i)
                    withData += SendDlgItemMessageA(d, IDC_FAX_RECIPIENTS, LB_GETITEMDATA, i, 0) != 0;
                a::Click(d, IDC_FAX_PRINT);
            })
            .Then([skip](HWND book) {
                portable::FailAllocations(1, skip);
                a::Click(book, IDCANCEL);
            });
        CallerRecord record;
        RunEx(record);
        portable::FailAllocations(0, 0);
        EXPECT_GE(withData, kLines - 1);
        EXPECT_EQ(portable::LiveGlobalBlocks(), before);
    }
}

// The fill takes the extent from the lines it adds; measuring the list's
// lines afterwards gives the same, the longest line at the average width.
TEST_F(FaxJob, TheRecipientListIsWideEnoughForItsLongestLine) {
    WriteBook(PeopleBook(30, {{"A rather long group name that is longer than any line of a person", {0, 3}}}));
    hands.Then([](HWND d) {
        const LRESULT filled = SendDlgItemMessageA(d, IDC_FAX_RECIPIENTS, LB_GETHORIZONTALEXTENT, 0, 0);
        EXPECT_EQ(filled, static_cast<LRESULT>(std::strlen("[A rather long group name that is longer than any line of a person]")) *
                              GetAverageCharWidth(d));
        SetListHorizontalExtent(d, IDC_FAX_RECIPIENTS);
        EXPECT_EQ(SendDlgItemMessageA(d, IDC_FAX_RECIPIENTS, LB_GETHORIZONTALEXTENT, 0, 0), filled);
        a::Click(d, IDC_FAX_PRINT);
    });
    CallerRecord record;
    RunEx(record);
}

}  // namespace
