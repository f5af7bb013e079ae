// The cover sheet inside a fax job: the cover page dialog, the note and how
// both reach the job record, the ticket and the settings file.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editors/cover_page_dialog.h"
#include "fax_job_harness.h"
#include "res/resource.h"
#include "ticket/ticket_clock.h"

namespace {

namespace a = portable::automation;
using faxtest::CallerRecord;
using faxtest::SelectLine;
using faxtest::kAnn;
using faxtest::kSolo;
using faxtest::kTeam;

class CoverSheetScenario : public faxtest::FaxJobTest {
protected:
    void TearDown() override {
        SetTicketTime(nullptr);
        FaxJobTest::TearDown();
    }
};

std::string TrimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

TEST_F(CoverSheetScenario, AGroupAPersonAndANoteMakeTheWholePjlTicket) {
    WriteBook(faxtest::SmallBook());
    WriteIni("SenderName=Max Sender\r\nSenderFaxNumber=+49 30 1234\r\nSenderHomeNumber=555 0\r\n");
    hands
        .Then([](HWND d) {
            SelectLine(d, IDC_FAX_RECIPIENTS, kTeam);
            SelectLine(d, IDC_FAX_RECIPIENTS, kSolo);
            a::Click(d, IDC_FAX_USE_COVER);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDOK);
        })
        .Then([](HWND c) {
            EXPECT_EQ(a::Caption(c), "Cover Page");
            EXPECT_EQ(a::ControlText(c, IDC_COVER_NAME), "Max Sender");
            EXPECT_EQ(a::ControlText(c, IDC_COVER_FAX), "+49 30 1234");
            EXPECT_FALSE(a::IsChecked(c, IDC_COVER_SENDER_NAME));
            EXPECT_TRUE(a::IsChecked(c, IDC_COVER_RECIP_NAME));
            a::Click(c, IDC_COVER_SENDER_NAME);
            a::Click(c, IDC_COVER_SENDER_FAX);
            a::Type(c, IDC_COVER_NOTE, "Please call back.");
            a::Click(c, IDOK);
        });
    std::tm moment{};
    moment.tm_year = 98;
    moment.tm_mon = 11;
    moment.tm_mday = 6;
    moment.tm_hour = 9;
    moment.tm_min = 5;
    moment.tm_sec = 7;
    SetTicketTime(&moment);
    faxtest::Ticket ticket = RunPcl();
    ASSERT_TRUE(ticket.made);

    const std::string p = "@PJL COMMENT ";
    std::string expected = p + "@@MJB=SRT\n" + p + "@@DEV=FAX\n" + p + "@@CVS=SRT\n" + p +
                           "@@LFX=FAX\n" + p + "@@LTO=To:\n" + p + "@@LFR=From:\n" + p +
                           "@@LFF=Fax Number:\n" + p + "@@LFB=Business Phone:\n" + p +
                           "@@LHP=Home Phone:\n" + p + "@@LDT=Date & Time:\n" + p +
                           "@@EFR=Max Sender\n" + p + "@@EFF=+49 30 1234\n" + p + "@@EBP=\n" + p +
                           "@@EHP=\n" + p + "@@EDT=Sun 6 Dec 1998 9:5:7\n" + p +
                           "@@EN1=Please call back.\n";
    for (int line = 2; line <= 9; ++line) expected += p + "@@EN" + std::to_string(line) + "=\n";
    expected += p + "@@FXP=John Smith 5551234 Acme\n" + p + "@@FXP=Ann Lee 004930111 Beta GmbH\n" +
                p + "@@FXP=  777 Solo Ltd\n" + p + "@@CVS=END\n" + p + "@@FXM=FIN\n" + p +
                "@@FXN=5551234\n" + p + "@@FXN=004930111\n" + p + "@@FXN=777\n" + p +
                "@@FXN=END\n" + p + "@@MJB=END\n";
    EXPECT_EQ(ticket.text, expected);
    EXPECT_EQ(ticket.length, expected.size());

    auto s = Settings();
    EXPECT_EQ(s["CoverPage"], "True");
    EXPECT_EQ(s["SenderName"], "Max Sender");
    EXPECT_EQ(s["SenderNameTrue"], "1");
    EXPECT_EQ(s["SenderFaxNumberTrue"], "1");
    EXPECT_EQ(s["SenderHomeNumberTrue"], "0");
    EXPECT_EQ(s["SenderHomeNumber"], "555 0");  // kept although not on the sheet
}

TEST_F(CoverSheetScenario, CoverSheetOffAtFaxStillCarriesSenderFieldsAndNote) {
    WriteBook(faxtest::SmallBook());
    WriteIni("CoverPage=True\r\nSenderName=Max Sender\r\nSenderFaxNumber=999\r\n"
             "SenderNameTrue=1\r\nSenderFaxNumberTrue=0\r\n");
    hands
        .Then([](HWND d) {
            EXPECT_TRUE(a::IsChecked(d, IDC_FAX_USE_COVER));
            EXPECT_TRUE(a::IsEnabled(d, IDC_FAX_EDIT_COVER));
            SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDC_FAX_USE_COVER);
            EXPECT_FALSE(a::IsEnabled(d, IDC_FAX_EDIT_COVER));
            a::Click(d, IDOK);
        })
        .Then([](HWND c) {
            a::Type(c, IDC_COVER_NOTE, "Line one\r\n\r\nLine three");
            a::Click(c, IDOK);
        });
    CallerRecord record;
    RunEx(record);
    EXPECT_EQ(record.info.status, 1u);
    EXPECT_EQ(record.info.coverSheet, 0);
    EXPECT_STREQ(record.info.senderName, "Max Sender");
    EXPECT_STREQ(record.info.senderFaxNumber, "");  // its box is off
    EXPECT_STREQ(record.info.noteLines[0], "Line one");
    EXPECT_STREQ(record.info.noteLines[1], "");
    EXPECT_STREQ(record.info.noteLines[2], "Line three");
    EXPECT_STREQ(record.info.noteLines[3], "");
    EXPECT_EQ(Settings()["CoverPage"], "False");
    EXPECT_EQ(Settings()["SenderFaxNumber"], "999");
}

TEST_F(CoverSheetScenario, ANoteThatWrapsIsStoredByDisplayLineAndShownAgainJoined) {
    WriteBook(faxtest::SmallBook());
    // Twenty-four words of four letters: ten words and their blanks fill
    // the 50 places of a display line.
    std::string paragraph;
    for (int word = 1; word <= 24; ++word) {
        char text[8];
        std::snprintf(text, sizeof text, "w%02da", word);
        if (!paragraph.empty()) paragraph += ' ';
        paragraph += text;
    }
    std::string shownAgain;
    hands
        .Then([](HWND d) {
            SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
            a::Click(d, IDC_FAX_USE_COVER);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDOK);
        })
        .Then([&paragraph](HWND c) {
            a::Type(c, IDC_COVER_NOTE, paragraph);
            a::Click(c, IDOK);
        })
        .Then([&shownAgain](HWND c) {
            shownAgain = a::ControlText(c, IDC_COVER_NOTE);
            a::Click(c, IDCANCEL);
        });
    CallerRecord record;
    RunEx(record);

    EXPECT_EQ(TrimRight(record.info.noteLines[0]), paragraph.substr(0, 49));
    EXPECT_EQ(TrimRight(record.info.noteLines[1]), paragraph.substr(50, 49));
    EXPECT_EQ(TrimRight(record.info.noteLines[2]), paragraph.substr(100));
    for (int line = 3; line < 10; ++line) EXPECT_STREQ(record.info.noteLines[line], "");
    for (int line = 0; line < 3; ++line) EXPECT_LE(std::strlen(record.info.noteLines[line]), 50u);
    // Reopened, the field shows the stored lines with line breaks between.
    EXPECT_EQ(shownAgain, std::string(record.info.noteLines[0]) + "\r\n" + record.info.noteLines[1] +
                              "\r\n" + record.info.noteLines[2]);
    EXPECT_EQ(Settings()["CoverPage"], "True");
}

TEST_F(CoverSheetScenario, CancelForgetsTheBoxesAndOkStoresThemAll) {
    WriteBook(faxtest::SmallBook());
    const std::string longName(70, 'N');
    WriteIni("CoverPage=True\r\nSenderName=" + longName +
             "\r\nSenderNameTrue=1\r\nSenderHomeNumberTrue=1\r\n");
    hands
        .Then([](HWND d) {
            SelectLine(d, IDC_FAX_RECIPIENTS, kAnn);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDC_FAX_EDIT_COVER);
            a::Click(d, IDOK);
        })
        .Then([&longName](HWND c) {
            // A long name from the settings is shown whole, though typing
            // stops at 40 characters.
            EXPECT_EQ(a::ControlText(c, IDC_COVER_NAME), longName);
            EXPECT_TRUE(a::IsChecked(c, IDC_COVER_SENDER_NAME));
            for (int id : {IDC_COVER_SENDER_NAME, IDC_COVER_SENDER_HOME, IDC_COVER_RECIP_NAME,
                           IDC_COVER_RECIP_NUMBER, IDC_COVER_RECIP_COMPANY})
                a::Click(c, id);
            a::ClearText(c, IDC_COVER_FAX);
            a::Type(c, IDC_COVER_FAX, std::string(45, '7'));
            EXPECT_EQ(a::ControlText(c, IDC_COVER_FAX), std::string(40, '7'));
            a::Click(c, IDCANCEL);
        })
        .Then([&longName](HWND c) {
            EXPECT_TRUE(a::IsChecked(c, IDC_COVER_SENDER_NAME));  // Cancel kept nothing
            EXPECT_TRUE(a::IsChecked(c, IDC_COVER_RECIP_COMPANY));
            EXPECT_EQ(a::ControlText(c, IDC_COVER_FAX), "");
            for (int id : {IDC_COVER_SENDER_HOME, IDC_COVER_RECIP_NAME, IDC_COVER_RECIP_NUMBER,
                           IDC_COVER_RECIP_COMPANY})
                a::Click(c, id);
            a::Click(c, IDC_COVER_SENDER_FAX);
            a::Type(c, IDC_COVER_FAX, "12");
            a::Click(c, IDOK);
        });
    CallerRecord record;
    RunEx(record);
    EXPECT_EQ(record.info.coverSheet, 1);
    EXPECT_EQ(std::string(record.info.senderName), longName);  // stored back whole
    EXPECT_STREQ(record.info.senderFaxNumber, "12");
    EXPECT_STREQ(record.info.senderHomeNumber, "");
    EXPECT_EQ(record.info.includeRecipName, 0u);
    EXPECT_EQ(record.info.includeRecipNumber, 0u);
    EXPECT_EQ(record.info.includeRecipCompany, 0u);
    auto s = Settings();
    EXPECT_EQ(s["SenderName"], longName);
    EXPECT_EQ(s["SenderFaxNumber"], "12");
    EXPECT_EQ(s["SenderNameTrue"], "1");
    EXPECT_EQ(s["SenderFaxNumberTrue"], "1");
    EXPECT_EQ(s["SenderHomeNumberTrue"], "0");
    EXPECT_EQ(s["RecipNameTrue"], "0");
    EXPECT_EQ(s["RecipNumberTrue"], "0");
    EXPECT_EQ(s["RecipCompanyTrue"], "0");
}

// The note field is made 50 characters of the note font wide and eight
// (double-led) lines high; the dialog follows its width.
TEST_F(CoverSheetScenario, TheNoteFieldAndTheDialogAreSizedByTheNoteFont) {
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

}  // namespace
