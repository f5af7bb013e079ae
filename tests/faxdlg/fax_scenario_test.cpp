// Whole fax jobs: the driver's call, the "Fax Document" dialog worked by
// the user's hands, and what comes back (the record or the ticket) and what
// stays on disk (the settings file).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "fax_job_harness.h"
#include "res/resource.h"

namespace {

namespace a = portable::automation;
using faxtest::CallerRecord;
using faxtest::CountLines;
using faxtest::SelectLine;
using faxtest::kAnn;
using faxtest::kJohnHome;
using faxtest::kJohnOffice;
using faxtest::kSolo;
using faxtest::kTeam;

class FaxDialogScenario : public faxtest::FaxJobTest {};

TEST_F(FaxDialogScenario, FirstRunWithoutSettingsOpensInListModeAndSavesDefaults) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        EXPECT_EQ(a::Caption(d), "Fax Document");
        EXPECT_FALSE(a::IsChecked(d, IDC_FAX_NEW_RECIPIENT));
        EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_RECIPIENTS));
        EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_NUMBERS));
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_NEW_NAME));
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_NEW_NUMBER));
        EXPECT_TRUE(a::IsChecked(d, IDC_FAX_ULTRAFINE));
        EXPECT_FALSE(a::IsChecked(d, IDC_FAX_FINE));
        EXPECT_FALSE(a::IsVisible(d, IDC_FAX_ULTRAFINE));
        EXPECT_FALSE(a::IsVisible(d, IDC_FAX_FINE));
        EXPECT_FALSE(a::IsChecked(d, IDC_FAX_USE_COVER));
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_EDIT_COVER));
        EXPECT_FALSE(a::IsEnabled(d, IDOK));
        EXPECT_EQ(a::LineCount(d, IDC_FAX_RECIPIENTS), 5);
        EXPECT_EQ(a::LineText(d, IDC_FAX_RECIPIENTS, 0), kTeam);
        EXPECT_TRUE(a::SelectedLines(d, IDC_FAX_RECIPIENTS).empty());

        // Selecting and deselecting the only line takes everything back.
        SelectLine(d, IDC_FAX_RECIPIENTS, kSolo);
        EXPECT_TRUE(a::IsEnabled(d, IDOK));
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "Solo Ltd\r\n777\r\n");
        SelectLine(d, IDC_FAX_RECIPIENTS, kSolo);
        EXPECT_FALSE(a::IsEnabled(d, IDOK));
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "");

        SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);

    EXPECT_EQ(record.info.status, 1u);
    EXPECT_EQ(record.info.coverSheet, 0);
    EXPECT_EQ(record.info.resolution, 0u);
    EXPECT_EQ(record.info.includeRecipName, 1u);
    EXPECT_EQ(record.info.includeRecipNumber, 1u);
    EXPECT_EQ(record.info.includeRecipCompany, 1u);
    ASSERT_EQ(record.info.recipientCount, 1);
    EXPECT_STREQ(record.Slot(0).name, "Ann Lee");

    auto s = Settings();
    EXPECT_EQ(s["NewRecipient"], "False");
    EXPECT_EQ(s["CurrentSelection"], "");
    EXPECT_EQ(s["Resolution"], "Ultrafine");
    EXPECT_EQ(s["CoverPage"], "False");
    EXPECT_EQ(s["SenderName"], "");
    EXPECT_EQ(s["SenderNameTrue"], "0");
    EXPECT_EQ(s["SenderBusinessNumberTrue"], "0");
    EXPECT_EQ(s["RecipNameTrue"], "1");
    EXPECT_EQ(s["RecipCompanyTrue"], "1");
    EXPECT_EQ(faxtest::SettingsKeyOrder(directory.Path()).size(), 15u);
}

TEST_F(FaxDialogScenario, OneNumberLineShowsTheCardAndFillsTheSingleRecipientFields) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kJohnOffice);
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "John Smith\r\nAcme\r\nSales\r\n555 1234\r\n");
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 1);
    EXPECT_STREQ(record.Slot(0).name, "John Smith");
    EXPECT_STREQ(record.Slot(0).faxNumber, "555 1234");
    EXPECT_STREQ(record.Slot(0).company, "Acme");
    EXPECT_STREQ(record.info.recipientNames, "John Smith");
    EXPECT_STREQ(record.info.recipientFaxNumber, "555 1234");
    EXPECT_STREQ(record.info.recipientCompany, "Acme");
    EXPECT_EQ(Settings()["NewRecipient"], "False");
}

TEST_F(FaxDialogScenario, TwoLinesOfOnePersonGiveTwoSlotsAndTheTabbedNames) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kJohnOffice);
        SelectLine(d, IDC_FAX_RECIPIENTS, kJohnHome);
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS),
                  "John Smith\t555 1234\r\nJohn Smith\t555 9999\r\n");
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 2);
    EXPECT_STREQ(record.Slot(0).faxNumber, "555 1234");
    EXPECT_STREQ(record.Slot(1).faxNumber, "555 9999");
    EXPECT_STREQ(record.info.recipientNames, "\tJohn Smith\tJohn Smith");
    EXPECT_STREQ(record.info.recipientFaxNumber, "");
    EXPECT_STREQ(record.info.recipientCompany, "");
    EXPECT_EQ(Settings()["Resolution"], "Ultrafine");
}

// A person without names is listed by company; in the cover names the
// blank between the two empty names stays.
TEST_F(FaxDialogScenario, APersonWithoutNamesIsShownByCompany) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
        SelectLine(d, IDC_FAX_RECIPIENTS, kSolo);
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS), "Ann Lee\t0049 30 111\r\nSolo Ltd\t777\r\n");
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 2);
    EXPECT_STREQ(record.Slot(1).name, " ");
    EXPECT_STREQ(record.Slot(1).company, "Solo Ltd");
    EXPECT_STREQ(record.info.recipientNames, "\tAnn Lee\t ");
    EXPECT_TRUE(faxtest::FileExists(directory.File("orvixfax.ini")));
}

TEST_F(FaxDialogScenario, APersonSelectedOnItsLineAndThroughAGroupIsSentTwice) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kJohnOffice);
        SelectLine(d, IDC_FAX_RECIPIENTS, kTeam);
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NUMBERS),
                  "John Smith\t555 1234\r\nAnn Lee\t0049 30 111\r\nJohn Smith\t555 1234\r\n");
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 3);
    EXPECT_STREQ(record.Slot(0).faxNumber, "555 1234");
    EXPECT_STREQ(record.Slot(1).faxNumber, "0049 30 111");
    EXPECT_STREQ(record.Slot(2).faxNumber, "555 1234");
    EXPECT_STREQ(record.info.recipientNames, "\tJohn Smith\tAnn Lee\tJohn Smith");
    EXPECT_EQ(Settings()["CoverPage"], "False");
}

TEST_F(FaxDialogScenario, NamesBeyondTheRoomOfTheCoverNamesAreSkippedOneByOne) {
    WriteBook(faxtest::Book(
        {faxtest::PersonLine("Bartholomew", "Featherstonehaugh-Smythe", "", {{"1", ""}}),
         faxtest::PersonLine("Maximilian", "Longname-Abcdefghijklmno", "", {{"2", ""}}),
         faxtest::PersonLine("Christopher", "Wellington", "", {{"3", ""}}),
         faxtest::PersonLine("Al", "Zu", "", {{"4", ""}})},
        {}));
    hands.Then([](HWND d) {
        for (int i = 0; i < 4; ++i) a::ClickLine(d, IDC_FAX_RECIPIENTS, i);
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 4);
    EXPECT_STREQ(record.Slot(2).name, "Christopher Wellington");  // every slot keeps its name
    EXPECT_STREQ(record.info.recipientNames,
                 "\tBartholomew Featherstonehaugh-Smythe\tMaximilian Longname-Abcdefghijklmno\tAl Zu");
    EXPECT_EQ(Settings()["RecipNameTrue"], "1");
}

TEST_F(FaxDialogScenario, KanjiModeWritesEveryNameLastNameFirst) {
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

TEST_F(FaxDialogScenario, EscapeLeavesTheDialogOpenAndChangesNothing) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
        a::PressEscape(d);
        EXPECT_FALSE(a::HasEnded(d));
        a::Close(d);  // there is no close box either
        EXPECT_FALSE(a::HasEnded(d));
        EXPECT_EQ(a::SelectedLines(d, IDC_FAX_RECIPIENTS).size(), 1u);
        EXPECT_TRUE(a::IsEnabled(d, IDOK));
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    EXPECT_EQ(record.info.status, 1u);
    EXPECT_EQ(record.info.recipientCount, 1);
    EXPECT_EQ(Settings()["RecipNumberTrue"], "1");
}

TEST_F(FaxDialogScenario, PrintMakesNoTicketButStillSavesTheChoices) {
    WriteBook(faxtest::SmallBook());
    WriteIni("Resolution=FINE\r\nSenderName=Max Sender\r\nSenderNameTrue=1\r\nRecipCompanyTrue=0\r\n");
    hands.Then([](HWND d) {
        EXPECT_TRUE(a::IsChecked(d, IDC_FAX_FINE));
        SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
        a::Click(d, IDC_FAX_USE_COVER);
        EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_EDIT_COVER));
        a::Click(d, IDC_FAX_NEW_RECIPIENT);
        a::Type(d, IDC_FAX_NEW_NAME, "Jane Roe");
        a::Click(d, IDC_FAX_PRINT);
    });
    faxtest::Ticket ticket = RunPcl();
    EXPECT_FALSE(ticket.made);
    EXPECT_EQ(ticket.length, 0u);

    auto s = Settings();
    EXPECT_EQ(s["NewRecipient"], "True");
    EXPECT_EQ(s["CurrentSelection"], "Jane Roe");
    EXPECT_EQ(s["Resolution"], "Fine");
    EXPECT_EQ(s["CoverPage"], "True");
    EXPECT_EQ(s["SenderName"], "Max Sender");
    EXPECT_EQ(s["SenderNameTrue"], "1");
    EXPECT_EQ(s["RecipCompanyTrue"], "0");
}

TEST_F(FaxDialogScenario, PrintLeavesACallersRecordAsItWas) {
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

TEST_F(FaxDialogScenario, ARunThatEndedInNewRecipientModeOpensInItAgain) {
    WriteBook(faxtest::SmallBook());
    hands.Then([](HWND d) {
        a::Click(d, IDC_FAX_NEW_RECIPIENT);
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_RECIPIENTS));
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_NUMBERS));
        EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_NEW_NAME));
        EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_NEW_NUMBER));
        EXPECT_FALSE(a::IsEnabled(d, IDOK));
        a::Type(d, IDC_FAX_NEW_NAME, "Jane Roe");
        a::Type(d, IDC_FAX_NEW_NUMBER, "   ");
        EXPECT_FALSE(a::IsEnabled(d, IDOK));  // blanks are no number
        a::Type(d, IDC_FAX_NEW_NUMBER, "555-0100 ");
        EXPECT_TRUE(a::IsEnabled(d, IDOK));
        a::Click(d, IDOK);
    });
    CallerRecord first;
    RunEx(first);
    ASSERT_EQ(first.info.recipientCount, 1);
    EXPECT_STREQ(first.Slot(0).name, "Jane Roe");
    EXPECT_STREQ(first.Slot(0).faxNumber, "   555-0100 ");  // as typed
    EXPECT_STREQ(first.Slot(0).company, "");
    EXPECT_STREQ(first.info.recipientNames, "");
    EXPECT_STREQ(first.info.recipientFaxNumber, "");
    EXPECT_EQ(Settings()["NewRecipient"], "True");
    EXPECT_EQ(Settings()["CurrentSelection"], "Jane Roe");

    hands.Then([](HWND d) {
        EXPECT_TRUE(a::IsChecked(d, IDC_FAX_NEW_RECIPIENT));
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NEW_NAME), "");
        EXPECT_EQ(a::ControlText(d, IDC_FAX_NEW_NUMBER), "");
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_RECIPIENTS));
        EXPECT_FALSE(a::IsEnabled(d, IDOK));
        // Back to the list: nothing selected, so no "F&ax".
        a::Click(d, IDC_FAX_NEW_RECIPIENT);
        EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_RECIPIENTS));
        EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_NEW_NUMBER));
        EXPECT_FALSE(a::IsEnabled(d, IDOK));
        SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
        EXPECT_TRUE(a::IsEnabled(d, IDOK));
        // Into the typed mode and out again: the selection is still there.
        a::Click(d, IDC_FAX_NEW_RECIPIENT);
        EXPECT_FALSE(a::IsEnabled(d, IDOK));
        a::Click(d, IDC_FAX_NEW_RECIPIENT);
        EXPECT_TRUE(a::IsEnabled(d, IDOK));
        a::Click(d, IDOK);
    });
    CallerRecord second;
    RunEx(second);
    ASSERT_EQ(second.info.recipientCount, 1);
    EXPECT_STREQ(second.Slot(0).name, "Ann Lee");
    EXPECT_EQ(Settings()["NewRecipient"], "False");
    EXPECT_EQ(Settings()["CurrentSelection"], "");
}

// A book of `persons` people with one number each ("P", "000" ...), and
// groups over consecutive people.
std::string NumberedBook(int persons, const std::vector<std::pair<std::string, std::pair<int, int>>> &groups) {
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

TEST_F(FaxDialogScenario, AGroupOf150PlusAGroupOf60IsRefusedWithTheMessage) {
    WriteBook(NumberedBook(210, {{"Big", {0, 150}}, {"Small", {150, 210}}}));
    hands.Then([this](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, "[Big]");
        EXPECT_EQ(CountLines(a::ControlText(d, IDC_FAX_NUMBERS)), 150);
        SelectLine(d, IDC_FAX_RECIPIENTS, "[Small]");
        ASSERT_EQ(hands.boxes.size(), 1u);
        EXPECT_EQ(hands.boxes[0].text, "Maximum number of recipients is 200 ");
        EXPECT_EQ(hands.boxes[0].caption, "Error");
        EXPECT_EQ(hands.boxes[0].type, static_cast<UINT>(MB_OK));
        std::vector<int> selected = a::SelectedLines(d, IDC_FAX_RECIPIENTS);
        ASSERT_EQ(selected.size(), 1u);
        EXPECT_EQ(a::LineText(d, IDC_FAX_RECIPIENTS, selected[0]), "[Big]");
        EXPECT_EQ(CountLines(a::ControlText(d, IDC_FAX_NUMBERS)), 150);
        EXPECT_TRUE(a::IsEnabled(d, IDOK));
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 150);
    EXPECT_STREQ(record.Slot(0).faxNumber, "10000");
    EXPECT_STREQ(record.Slot(149).faxNumber, "10149");
    // Eleven tab-led names of seven characters fill 77 of the 81 places.
    std::string names = record.info.recipientNames;
    EXPECT_EQ(names.size(), 11u * 7);
    EXPECT_EQ(names.substr(0, 16), "\tP 0000\tP 0001\tP");
    EXPECT_EQ(Settings()["NewRecipient"], "False");
}

TEST_F(FaxDialogScenario, ExactlyTwoHundredIsAcceptedAndOneMoreRefused) {
    WriteBook(NumberedBook(201, {{"Big", {0, 150}}, {"Fifty", {150, 200}}}));
    hands.Then([this](HWND d) {
        SelectLine(d, IDC_FAX_RECIPIENTS, "[Big]");
        SelectLine(d, IDC_FAX_RECIPIENTS, "[Fifty]");
        EXPECT_TRUE(hands.boxes.empty());
        EXPECT_EQ(CountLines(a::ControlText(d, IDC_FAX_NUMBERS)), 200);
        SelectLine(d, IDC_FAX_RECIPIENTS, "0200, P\t10200");
        EXPECT_EQ(hands.boxes.size(), 1u);
        EXPECT_EQ(a::SelectedLines(d, IDC_FAX_RECIPIENTS).size(), 2u);
        a::Click(d, IDOK);
    });
    CallerRecord record;
    RunEx(record);
    ASSERT_EQ(record.info.recipientCount, 200);
    EXPECT_STREQ(record.Slot(199).faxNumber, "10199");
    EXPECT_EQ(Settings()["CoverPage"], "False");
}

}  // namespace
