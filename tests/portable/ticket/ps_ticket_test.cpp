// The PostScript ticket, byte for byte, with its escaping and its block.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/portable/host.h"
#include "ticket/ps_ticket.h"
#include "ticket_fixture.h"

namespace {

class PsTicketTest : public TicketTest {
protected:
    std::string Write() {
        uint32_t length = 12345;
        char *text = WritePsTicket(info, &length);
        EXPECT_NE(text, nullptr);
        if (text == nullptr) return {};
        blockSize = GlobalSize(GlobalHandle(text));
        EXPECT_GE(blockSize, size_t{length});
        zeroBehind = blockSize > length && text[length] == '\0';
        return Take(text, length);
    }
    size_t blockSize = 0;
    bool zeroBehind = false;
};

const char kHeaderTwoNumbers[] =
    "%%   @@MJB=SRT\r\n"
    "%%   @@DEV=FAX\r\n"
    "%%   @@FXM=FIN\r\n"
    "%%   @@FXN=0305550100\r\n"
    "%%   @@FXN=5550199\r\n"
    "%%   @@FXN=END\r\n"
    "%%   @@MJB=END\r\n";

TEST_F(PsTicketTest, NoCoverSheetGivesTheHeaderAlone) {
    FillSender();
    FillNotes();
    AllFlags(1, 1, 1);
    AddRecipient("Carl Dahl", "(030) 555-0100", "Dahl GmbH");
    AddRecipient("Ida Jung", "FAXME", "Jung KG");
    AddRecipient("Eva Falk", "555 0199", "");
    EXPECT_EQ(Write(), kHeaderTwoNumbers);
    EXPECT_TRUE(zeroBehind);
    EXPECT_STREQ(info->recipients[0].faxNumber, "0305550100");
    EXPECT_STREQ(info->recipients[1].faxNumber, "");
}

TEST_F(PsTicketTest, FullCoverSheetFollowsTheHeaderWithItsEscapes) {
    info->coverSheet = 1;
    FillSender();
    std::strcpy(info->senderName, "Anna (Berg) [HQ] \\ 1");
    FillNotes();
    std::strcpy(info->noteLines[1], "50% off (today)");
    AllFlags(1, 1, 1);
    AddRecipient("Carl Dahl", "(030) 555-0100", "Dahl GmbH");
    AddRecipient("Eva Falk", "555 0199", "");
    EXPECT_EQ(Write(), std::string(kHeaderTwoNumbers) +
                           "%% ZQT-FAX coversheet data \r\n"
                           "% localized FAX string\r\n"
                           "/FaxStr (FAX) def\r\n"
                           "% to section\r\n"
                           "/LocalizedTo (To:) def\r\n"
                           "/FaxDataList[(Carl Dahl 0305550100 Dahl GmbH)(Eva Falk 5550199 )] def\r\n"
                           "% from section\r\n"
                           "/LocalizedFrom (From:) def\r\n"
                           "/FromStr (Anna \\(Berg\\) \\[HQ\\] \\\\ 1) def\r\n"
                           "/LocalizedFromFaxNumber (Fax Number:) def\r\n"
                           "/FromFaxNumberStr (+49 30 1234-567) def\r\n"
                           "/LocalizedFromBusPhone (Business Phone:) def\r\n"
                           "/FromBusPhoneStr (030 1234-0) def\r\n"
                           "/LocalizedFromHomePhone (Home Phone:) def\r\n"
                           "/FromHomePhoneStr (030 987 65) def\r\n"
                           "% Content Section\r\n"
                           "/ContentStringArray[\r\n"
                           "(Note one)\r\n"
                           "(50% off \\(today\\))\r\n"
                           "(Note three)\r\n"
                           "(Note four)\r\n"
                           "(Note five)\r\n"
                           "(Note six)\r\n"
                           "(Note seven)\r\n"
                           "(Note eight)\r\n"
                           "(Note nine)\r\n"
                           "] def\r\n"
                           "% Date\r\n"
                           "/LocalizedFromDateTime (Date & Time:) def\r\n"
                           "/DateTimeStr (Sun 6 Dec 1998 9:5:7) def\r\n"
                           "(/scsi0/pspages/faxtemplate.ps) run\r\n");
    EXPECT_TRUE(zeroBehind);
}

TEST_F(PsTicketTest, ZeroRecipientsAndEmptyFieldsGiveEmptyListAndStrings) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    AddRecipient("Ida Jung", "FAXME", "Jung KG");  // no digits: no recipient at all
    std::string ticket = Write();
    EXPECT_EQ(ticket.substr(0, 80),
              "%%   @@MJB=SRT\r\n%%   @@DEV=FAX\r\n%%   @@FXM=FIN\r\n%%   @@FXN=END\r\n"
              "%%   @@MJB=END\r\n");
    EXPECT_NE(ticket.find("\r\n/FaxDataList[] def\r\n"), std::string::npos);
    EXPECT_NE(ticket.find("\r\n/FromStr () def\r\n/LocalizedFromFaxNumber (Fax Number:) def\r\n"
                          "/FromFaxNumberStr () def\r\n"),
              std::string::npos);
    EXPECT_NE(ticket.find("/ContentStringArray[\r\n()\r\n()\r\n()\r\n()\r\n()\r\n()\r\n()\r\n()\r\n()"
                          "\r\n] def\r\n"),
              std::string::npos);
}

TEST_F(PsTicketTest, RecipientStringsFollowTheFlagsAndNumbersHaveTheirDigits) {
    info->coverSheet = 1;
    AddRecipient("Gus Holm", "(0 30) 12-34 56", "Holm AG");
    AddRecipient("Kai Lind", "+1 (555) 010-9999", "");
    AllFlags(0, 0, 0);
    EXPECT_NE(Write().find("\r\n/FaxDataList[()()] def\r\n"), std::string::npos);
    AllFlags(1, 1, 0);
    EXPECT_NE(Write().find("\r\n/FaxDataList[(Gus Holm 030123456 )(Kai Lind 15550109999 )] def\r\n"),
              std::string::npos);
}

TEST_F(PsTicketTest, KanjiModeWritesEveryByteOfEveryStringInOctal) {
    portable::OverrideString(1045, "Kanji");
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    std::strcpy(info->senderName, "Ab(\t\377");
    std::strcpy(info->noteLines[0], "x\001");
    AddRecipient("Li", "1-2", "Co");
    EXPECT_EQ(Write(),
              "%%   @@MJB=SRT\r\n"
              "%%   @@DEV=FAX\r\n"
              "%%   @@FXM=FIN\r\n"
              "%%   @@FXN=12\r\n"
              "%%   @@FXN=END\r\n"
              "%%   @@MJB=END\r\n"
              "%% ZQT-FAX coversheet data \r\n"
              "% localized FAX string\r\n"
              "/FaxStr (\\106\\101\\130) def\r\n"
              "% to section\r\n"
              "/LocalizedTo (\\124\\157\\72) def\r\n"
              "/FaxDataList[(\\114\\151\\40\\61\\62\\40\\103\\157)] def\r\n"
              "% from section\r\n"
              "/LocalizedFrom (\\106\\162\\157\\155\\72) def\r\n"
              "/FromStr (\\101\\142\\50\\11\\377) def\r\n"
              "/LocalizedFromFaxNumber (\\106\\141\\170\\40\\116\\165\\155\\142\\145\\162\\72) def\r\n"
              "/FromFaxNumberStr () def\r\n"
              "/LocalizedFromBusPhone (\\102\\165\\163\\151\\156\\145\\163\\163\\40\\120\\150\\157"
              "\\156\\145\\72) def\r\n"
              "/FromBusPhoneStr () def\r\n"
              "/LocalizedFromHomePhone (\\110\\157\\155\\145\\40\\120\\150\\157\\156\\145\\72) def\r\n"
              "/FromHomePhoneStr () def\r\n"
              "% Content Section\r\n"
              "/ContentStringArray[\r\n"
              "(\\170\\1)\r\n"
              "()\r\n()\r\n()\r\n()\r\n()\r\n()\r\n()\r\n()\r\n"
              "] def\r\n"
              "% Date\r\n"
              "/LocalizedFromDateTime (\\104\\141\\164\\145\\40\\46\\40\\124\\151\\155\\145\\72) def\r\n"
              "/DateTimeStr (\\123\\165\\156\\40\\66\\40\\104\\145\\143\\40\\61\\71\\71\\70\\40\\71\\72"
              "\\65\\72\\67) def\r\n"
              "(/scsi0/pspages/faxtemplate.ps) run\r\n");
}

TEST_F(PsTicketTest, OnlyTheExactWordKanjiSwitchesTheMode) {
    info->coverSheet = 1;
    for (const char *language : {"kanji", "Kanji ", "English", "Kanj"}) {
        portable::OverrideString(1045, language);
        EXPECT_NE(Write().find("/FaxStr (FAX) def\r\n"), std::string::npos) << language;
    }
    portable::RemoveString(1045);
    EXPECT_NE(Write().find("/FaxStr (FAX) def\r\n"), std::string::npos);
}

// CR and LF inside a string are written as PostScript's own escapes: the
// string keeps its bytes, and no value can put a line of its own (such as
// a fax number comment) into the ticket.
TEST_F(PsTicketTest, LineBreaksInStringsAreEscaped) {
    info->coverSheet = 1;
    AllFlags(1, 0, 0);
    std::strcpy(info->noteLines[0], "x\r\n%%   @@FXN=0900666");
    AddRecipient("Mal\n%%   @@FXN=0900777", "555", "");
    std::string ticket = Write();
    EXPECT_NE(ticket.find("\r\n(x\\r\\n%%   @@FXN=0900666)\r\n"), std::string::npos);
    EXPECT_NE(ticket.find("/FaxDataList[(Mal\\n%%   @@FXN=0900777 )] def"), std::string::npos);
    size_t start = 0;
    while (start < ticket.size()) {
        size_t end = ticket.find("\r\n", start);
        ASSERT_NE(end, std::string::npos);
        std::string line = ticket.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
        EXPECT_TRUE(line.rfind("%%   @@FXN=", 0) != 0 || line == "%%   @@FXN=555" ||
                    line == "%%   @@FXN=END")
            << line;
        start = end + 2;
    }
}

// Plain escaping reads fields in chunks of sixteen bytes: wherever a
// field's text ends in its chunk, and in an unterminated field, its string
// holds that text alone, escaped, and nothing of what lies behind it.
TEST_F(PsTicketTest, StringsEndWhereverTheirTextEnds) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    AddRecipient("", "12", "");
    auto escaped = [](const std::string &text) {
        std::string out;
        for (char c : text) {
            if (c == '\r' || c == '\n') {
                out += c == '\r' ? "\\r" : "\\n";
                continue;
            }
            if (std::strchr("()[]\\", c) != nullptr) out += '\\';
            out += c;
        }
        return out;
    };
    for (size_t length = 0; length <= sizeof info->noteLines[0]; ++length) {
        auto fill = [&](auto &field) {
            return escaped(FillEndingAt(field, sizeof field, std::min(length, sizeof field)));
        };
        std::string sender = fill(info->senderName);
        std::string note = fill(info->noteLines[0]);
        std::string name = fill(info->recipients[0].name);
        std::string company = fill(info->recipients[0].company);
        std::strcpy(info->recipients[0].faxNumber, "12");
        std::string ticket = Write();
        EXPECT_NE(ticket.find("\r\n/FromStr (" + sender + ") def\r\n/LocalizedFromFaxNumber "),
                  std::string::npos)
            << length;
        EXPECT_NE(ticket.find("/ContentStringArray[\r\n(" + note + ")\r\n()\r\n"),
                  std::string::npos)
            << length;
        EXPECT_NE(ticket.find("\r\n/FaxDataList[(" + name + " 12 " + company + ")] def\r\n"),
                  std::string::npos)
            << length;
    }
}

// The buffer grows by the appended bytes and 4096 more. A header of 45
// numbers whose lines take exactly the room of the first block fills it:
// no zero byte behind the text, and the length says where it ends.
TEST_F(PsTicketTest, TextThatFillsTheBlockExactlyHasNoZeroBehind) {
    // First append: 16 bytes, block of 16 + 4096. Fixed lines: 5 x 16 bytes.
    // A number line is 13 bytes and its digits: 45 lines, 3447 digits.
    for (int i = 0; i < 45; ++i) AddRecipient("", std::string(i < 42 ? 77 : 71, '5').c_str(), "");
    std::string ticket = Write();
    EXPECT_EQ(ticket.size(), 4112u);
    EXPECT_EQ(blockSize, 4112u);
    EXPECT_FALSE(zeroBehind);
    EXPECT_EQ(ticket.substr(ticket.size() - 16), "%%   @@MJB=END\r\n");

    // One digit more and the last line opens a new block with room behind.
    std::strcpy(info->recipients[44].faxNumber, std::string(72, '5').c_str());
    ticket = Write();
    EXPECT_EQ(ticket.size(), 4113u);
    EXPECT_EQ(blockSize, 4112u + 16 + 4096);
    EXPECT_TRUE(zeroBehind);
}

TEST_F(PsTicketTest, StatusZeroAndOutOfMemoryGiveNoTicket) {
    info->coverSheet = 1;
    AddRecipient("Carl Dahl", "555-0100", "");
    info->status = 0;
    uint32_t length = 99;
    EXPECT_EQ(WritePsTicket(info, &length), nullptr);
    EXPECT_EQ(length, 0u);

    // A growth that fails half way gives no half ticket (and leaks nothing):
    // sixty long numbers make the text outgrow its first block.
    info->status = 1;
    for (int i = 0; i < 60; ++i) AddRecipient("R", std::string(70, '3').c_str(), "");
    for (int skip = 0; skip < 2; ++skip) {
        portable::FailAllocations(1, skip);
        length = 99;
        EXPECT_EQ(WritePsTicket(info, &length), nullptr) << skip;
        EXPECT_EQ(length, 0u);
        portable::FailAllocations(0);
    }
    std::string ticket = Write();
    EXPECT_GT(blockSize, 4096u + 16);  // the second block was indeed needed
}

TEST(PsEscaping, PlainEscapesTheFiveBytesAndLineBreaksOnly) {
    const char raw[] = "a(b)c[d]e\\f\tg\x80h\xffi\rj\nk";
    const std::string text(raw, sizeof raw - 1);
    char escaped[4 * sizeof raw];
    size_t length = EscapePsText(text.data(), text.size(), escaped, PsEscaping::Plain);
    EXPECT_EQ(std::string(escaped, length),
              std::string("a\\(b\\)c\\[d\\]e\\\\f\tg\x80h\xffi\\rj\\nk"));
}

TEST(PsEscaping, OctalHasNoLeadingZerosAndCoversEveryByte) {
    const std::string text("A\t\0\377\100\77\10\7", 8);
    char escaped[4 * 8];
    size_t length = EscapePsText(text.data(), text.size(), escaped, PsEscaping::Octal);
    EXPECT_EQ(std::string(escaped, length), "\\101\\11\\0\\377\\100\\77\\10\\7");
}

TEST(PsEscaping, EscapePsStringFollowsTheCurrentMode) {
    DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
    char escaped[16];
    portable::ClearStringOverrides();
    EXPECT_EQ(std::string(escaped, EscapePsString("F(", 2, escaped)), "F\\(");
    portable::OverrideString(1045, "Kanji");
    EXPECT_EQ(std::string(escaped, EscapePsString("F(", 2, escaped)), "\\106\\50");
    portable::ClearStringOverrides();
}

}  // namespace
