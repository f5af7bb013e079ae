// The PJL ticket, byte for byte.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/portable/host.h"
#include "ticket/pjl_ticket.h"
#include "ticket_fixture.h"

namespace {

class PjlTicketTest : public TicketTest {
protected:
    std::string Write() {
        uint32_t length = 12345;
        char *text = WritePjlTicket(info, &length);
        EXPECT_NE(text, nullptr);
        if (text == nullptr) return {};
        // A zero-terminated text in a block of the fixed size.
        EXPECT_EQ(GlobalSize(GlobalHandle(text)), size_t{PJL_TICKET_SIZE});
        EXPECT_EQ(std::strlen(text), length);
        // Zeros all the way behind the text, whatever the writer did there.
        EXPECT_EQ(std::string(text + length, PJL_TICKET_SIZE - length),
                  std::string(PJL_TICKET_SIZE - length, '\0'));
        return Take(text, length);
    }
};

const char kCoverLabels[] =
    "@PJL COMMENT @@CVS=SRT\n"
    "@PJL COMMENT @@LFX=FAX\n"
    "@PJL COMMENT @@LTO=To:\n"
    "@PJL COMMENT @@LFR=From:\n"
    "@PJL COMMENT @@LFF=Fax Number:\n"
    "@PJL COMMENT @@LFB=Business Phone:\n"
    "@PJL COMMENT @@LHP=Home Phone:\n"
    "@PJL COMMENT @@LDT=Date & Time:\n";

TEST_F(PjlTicketTest, NoCoverSheetGivesTheFrameAndTheNumbersOnly) {
    FillSender();
    FillNotes();
    AllFlags(1, 1, 1);
    AddRecipient("Carl Dahl", "(030) 555-0100", "Dahl GmbH");
    AddRecipient("Eva Falk", "555 0199", "");
    EXPECT_EQ(Write(),
              "@PJL COMMENT @@MJB=SRT\n"
              "@PJL COMMENT @@DEV=FAX\n"
              "@PJL COMMENT @@FXM=FIN\n"
              "@PJL COMMENT @@FXN=0305550100\n"
              "@PJL COMMENT @@FXN=5550199\n"
              "@PJL COMMENT @@FXN=END\n"
              "@PJL COMMENT @@MJB=END\n");
}

TEST_F(PjlTicketTest, FullCoverSheet) {
    info->coverSheet = 1;
    FillSender();
    FillNotes();
    AllFlags(1, 1, 1);
    AddRecipient("Carl Dahl", "(030) 555-0100", "Dahl GmbH");
    AddRecipient("Eva Falk", "555 0199", "");
    EXPECT_EQ(Write(), std::string("@PJL COMMENT @@MJB=SRT\n"
                                   "@PJL COMMENT @@DEV=FAX\n") +
                           kCoverLabels +
                           "@PJL COMMENT @@EFR=Anna Berg\n"
                           "@PJL COMMENT @@EFF=+49 30 1234-567\n"
                           "@PJL COMMENT @@EBP=030 1234-0\n"
                           "@PJL COMMENT @@EHP=030 987 65\n"
                           "@PJL COMMENT @@EDT=Sun 6 Dec 1998 9:5:7\n"
                           "@PJL COMMENT @@EN1=Note one\n"
                           "@PJL COMMENT @@EN2=Note two\n"
                           "@PJL COMMENT @@EN3=Note three\n"
                           "@PJL COMMENT @@EN4=Note four\n"
                           "@PJL COMMENT @@EN5=Note five\n"
                           "@PJL COMMENT @@EN6=Note six\n"
                           "@PJL COMMENT @@EN7=Note seven\n"
                           "@PJL COMMENT @@EN8=Note eight\n"
                           "@PJL COMMENT @@EN9=Note nine\n"
                           "@PJL COMMENT @@FXP=Carl Dahl 0305550100 Dahl GmbH\n"
                           "@PJL COMMENT @@FXP=Eva Falk 5550199 \n"
                           "@PJL COMMENT @@CVS=END\n"
                           "@PJL COMMENT @@FXM=FIN\n"
                           "@PJL COMMENT @@FXN=0305550100\n"
                           "@PJL COMMENT @@FXN=5550199\n"
                           "@PJL COMMENT @@FXN=END\n"
                           "@PJL COMMENT @@MJB=END\n");
}

TEST_F(PjlTicketTest, NumbersKeepOnlyTheirDigitsAndLetterNumbersDisappear) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    AddRecipient("Gus Holm", "(0 30) 12-34 56", "Holm AG");
    AddRecipient("Ida Jung", "FAXME", "Jung KG");
    AddRecipient("Kai Lind", "+1 (555) 010-9999 ext", "");
    std::string ticket = Write();
    EXPECT_NE(ticket.find("@PJL COMMENT @@EN9=\n"
                          "@PJL COMMENT @@FXP=Gus Holm 030123456 Holm AG\n"
                          "@PJL COMMENT @@FXP=Kai Lind 15550109999 \n"
                          "@PJL COMMENT @@CVS=END\n"
                          "@PJL COMMENT @@FXM=FIN\n"
                          "@PJL COMMENT @@FXN=030123456\n"
                          "@PJL COMMENT @@FXN=15550109999\n"
                          "@PJL COMMENT @@FXN=END\n"),
              std::string::npos)
        << ticket;
    EXPECT_EQ(ticket.find("Ida Jung"), std::string::npos);
    // The record itself carries the reduced numbers afterwards.
    EXPECT_STREQ(info->recipients[0].faxNumber, "030123456");
    EXPECT_STREQ(info->recipients[1].faxNumber, "");
    EXPECT_STREQ(info->recipients[1].name, "Ida Jung");
}

TEST_F(PjlTicketTest, EmptyFieldsStillGiveTheirLinesAndZeroRecipientsGiveNone) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    EXPECT_EQ(Write(), std::string("@PJL COMMENT @@MJB=SRT\n"
                                   "@PJL COMMENT @@DEV=FAX\n") +
                           kCoverLabels +
                           "@PJL COMMENT @@EFR=\n"
                           "@PJL COMMENT @@EFF=\n"
                           "@PJL COMMENT @@EBP=\n"
                           "@PJL COMMENT @@EHP=\n"
                           "@PJL COMMENT @@EDT=Sun 6 Dec 1998 9:5:7\n"
                           "@PJL COMMENT @@EN1=\n"
                           "@PJL COMMENT @@EN2=\n"
                           "@PJL COMMENT @@EN3=\n"
                           "@PJL COMMENT @@EN4=\n"
                           "@PJL COMMENT @@EN5=\n"
                           "@PJL COMMENT @@EN6=\n"
                           "@PJL COMMENT @@EN7=\n"
                           "@PJL COMMENT @@EN8=\n"
                           "@PJL COMMENT @@EN9=\n"
                           "@PJL COMMENT @@CVS=END\n"
                           "@PJL COMMENT @@FXM=FIN\n"
                           "@PJL COMMENT @@FXN=END\n"
                           "@PJL COMMENT @@MJB=END\n");
}

TEST_F(PjlTicketTest, RecipientTextFollowsTheThreeFlags) {
    info->coverSheet = 1;
    AddRecipient("Carl Dahl", "555-0100", "Dahl GmbH");
    struct Case {
        uint32_t name, number, company;
        const char *line;
    };
    const Case cases[] = {
        {0, 0, 0, "@PJL COMMENT @@FXP=\n"},
        {1, 1, 0, "@PJL COMMENT @@FXP=Carl Dahl 5550100 \n"},
        {0, 0, 1, "@PJL COMMENT @@FXP=Dahl GmbH\n"},
        {1, 0, 1, "@PJL COMMENT @@FXP=Carl Dahl Dahl GmbH\n"},
        {0, 7, 0, "@PJL COMMENT @@FXP=5550100 \n"},  // any non-zero value counts
    };
    for (const Case &c : cases) {
        AllFlags(c.name, c.number, c.company);
        std::string ticket = Write();
        EXPECT_NE(ticket.find(std::string("@PJL COMMENT @@EN9=\n") + c.line +
                              "@PJL COMMENT @@CVS=END\n"),
                  std::string::npos)
            << c.name << c.number << c.company << "\n" << ticket;
    }
}

TEST_F(PjlTicketTest, KanjiModeLeavesThePjlTicketAlone) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    AddRecipient("Carl Dahl", "555-0100", "Dahl GmbH");
    std::string english = Write();
    portable::OverrideString(1045, "Kanji");
    EXPECT_EQ(Write(), english);
}

TEST_F(PjlTicketTest, LabelsAndNamesComeFromTheStringTableWithEnglishFallbacks) {
    info->coverSheet = 1;
    portable::OverrideString(18, "TELEFAX");
    portable::OverrideString(28, "Datum:");
    portable::RemoveString(19);
    portable::OverrideString(124, "So");
    portable::OverrideString(136, "Dez");
    std::string ticket = Write();
    EXPECT_NE(ticket.find("@@LFX=TELEFAX\n"), std::string::npos);
    EXPECT_NE(ticket.find("@@LTO=To:\n"), std::string::npos);
    EXPECT_NE(ticket.find("@@LDT=Datum:\n"), std::string::npos);
    EXPECT_NE(ticket.find("@@EDT=So 6 Dez 1998 9:5:7\n"), std::string::npos);
}

TEST_F(PjlTicketTest, StatusZeroGivesNoTicket) {
    info->status = 0;
    info->coverSheet = 1;
    AddRecipient("Carl Dahl", "(030) 555-0100", "");
    uint32_t length = 99;
    EXPECT_EQ(WritePjlTicket(info, &length), nullptr);
    EXPECT_EQ(length, 0u);
}

TEST_F(PjlTicketTest, OutOfMemoryGivesNoTicket) {
    info->coverSheet = 1;
    AddRecipient("Carl Dahl", "555-0100", "");
    portable::FailAllocations(1);
    uint32_t length = 99;
    EXPECT_EQ(WritePjlTicket(info, &length), nullptr);
    EXPECT_EQ(length, 0u);
    portable::FailAllocations(0);
}

// A CR or LF in a value (a name from the address book can hold one) must
// not start a PJL line: it would let the name add a number to the job.
TEST_F(PjlTicketTest, LineBreaksInValuesBecomeSpaces) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    std::strcpy(info->senderName, "Eve\r\n@PJL COMMENT @@FXN=0900666");
    std::strcpy(info->noteLines[0], "a\nb\rc");
    AddRecipient("Mal\n@PJL COMMENT @@FXN=0900777", "555-0100", "Evil\rCorp");
    std::string ticket = Write();
    EXPECT_NE(ticket.find("@PJL COMMENT @@EFR=Eve  @PJL COMMENT @@FXN=0900666\n"),
              std::string::npos);
    EXPECT_NE(ticket.find("@PJL COMMENT @@EN1=a b c\n"), std::string::npos);
    EXPECT_NE(ticket.find("@PJL COMMENT @@FXP=Mal @PJL COMMENT @@FXN=0900777 5550100 Evil Corp\n"),
              std::string::npos);
    EXPECT_EQ(ticket.find('\r'), std::string::npos);
    // Every line still begins with the opening, and only the real number is dialled.
    size_t start = 0;
    int numbers = 0;
    while (start < ticket.size()) {
        size_t end = ticket.find('\n', start);
        ASSERT_NE(end, std::string::npos);
        std::string line = ticket.substr(start, end - start);
        EXPECT_EQ(line.rfind("@PJL COMMENT @@", 0), 0u) << line;
        if (line.rfind("@PJL COMMENT @@FXN=", 0) == 0 && line != "@PJL COMMENT @@FXN=END")
            ++numbers;
        start = end + 1;
    }
    EXPECT_EQ(numbers, 1);
    // The record keeps its values as they were.
    EXPECT_STREQ(info->senderName, "Eve\r\n@PJL COMMENT @@FXN=0900666");
}

// Any other control byte could end the job itself (ESC starts the
// printer's universal exit): every C0 byte but TAB, and DEL, is a blank,
// in values long enough to pass the writer's sixteen-byte scan too.
TEST_F(PjlTicketTest, ControlBytesInValuesBecomeSpaces) {
    info->coverSheet = 1;
    std::strcpy(info->senderName, "\x1b%-12345X@PJL SET COPIES=99");
    std::string every, expected;
    for (int byte = 1; byte < 256; ++byte) {
        every += static_cast<char>(byte);
        bool control = (byte < 0x20 && byte != '\t') || byte == 0x7F;
        expected += control ? ' ' : static_cast<char>(byte);
    }
    std::strcpy(info->noteLines[0], every.substr(0, 127).c_str());
    std::strcpy(info->noteLines[1], every.substr(127).c_str());
    std::string ticket = Write();
    EXPECT_NE(ticket.find("@PJL COMMENT @@EFR= %-12345X@PJL SET COPIES=99\n"), std::string::npos);
    EXPECT_NE(ticket.find("@@EN1=" + expected.substr(0, 127) + "\n"), std::string::npos);
    EXPECT_NE(ticket.find("@@EN2=" + expected.substr(127) + "\n"), std::string::npos);
    EXPECT_EQ(ticket.find('\x1b'), std::string::npos);
}

// Values are read and copied in chunks of sixteen bytes: wherever a
// field's text ends in its chunk, and in an unterminated field, the line
// holds that text alone, blanked, and nothing of what lies behind it.
TEST_F(PjlTicketTest, ValuesEndWhereverTheirTextEnds) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    AddRecipient("", "12", "");
    auto blanked = [](std::string text) {
        for (char &c : text) {
            unsigned char byte = static_cast<unsigned char>(c);
            if ((byte < 0x20 && byte != '\t') || byte == 0x7F) c = ' ';
        }
        return text;
    };
    for (size_t length = 0; length <= sizeof info->noteLines[0]; ++length) {
        auto fill = [&](auto &field) {
            return blanked(FillEndingAt(field, sizeof field, std::min(length, sizeof field)));
        };
        std::string sender = fill(info->senderName);
        std::string note = fill(info->noteLines[0]);
        std::string name = fill(info->recipients[0].name);
        std::string company = fill(info->recipients[0].company);
        std::strcpy(info->recipients[0].faxNumber, "12");
        std::string ticket = Write();
        EXPECT_NE(ticket.find("\n@PJL COMMENT @@EFR=" + sender + "\n@PJL COMMENT @@EFF=\n"),
                  std::string::npos)
            << length;
        EXPECT_NE(ticket.find("\n@PJL COMMENT @@EN1=" + note + "\n@PJL COMMENT @@EN2=\n"),
                  std::string::npos)
            << length;
        EXPECT_NE(ticket.find("\n@PJL COMMENT @@FXP=" + name + " 12 " + company +
                              "\n@PJL COMMENT @@CVS=END\n"),
                  std::string::npos)
            << length;
    }
}

// The largest record the fields allow (every text full, long labels and
// day names) must not meet the block's limit: no line may go missing.
TEST_F(PjlTicketTest, TheLargestRecordFitsTheBlock) {
    info->coverSheet = 1;
    AllFlags(1, 1, 1);
    for (UINT id : {18u, 19u, 24u, 25u, 26u, 27u, 28u}) portable::OverrideString(id, std::string(126, 'L'));
    for (UINT id = 118; id <= 136; ++id) portable::OverrideString(id, std::string(31, 'D'));
    SetMoment(2026, 12, 31, 23, 59, 59);
    std::memset(info->senderName, 'S', sizeof info->senderName - 1);
    std::memset(info->senderFaxNumber, 'F', sizeof info->senderFaxNumber - 1);
    std::memset(info->senderBusinessNumber, 'B', sizeof info->senderBusinessNumber - 1);
    std::memset(info->senderHomeNumber, 'H', sizeof info->senderHomeNumber - 1);
    for (auto &line : info->noteLines) std::memset(line, 'N', sizeof line - 1);
    for (int i = 0; i < FAX_MAX_RECIPIENTS; ++i) {
        RecipientEntry &slot = info->recipients[i];
        std::memset(slot.name, 'n', sizeof slot.name - 1);
        std::memset(slot.faxNumber, '9', sizeof slot.faxNumber - 1);
        std::memset(slot.company, 'c', sizeof slot.company - 1);
    }
    info->recipientCount = FAX_MAX_RECIPIENTS;
    std::string ticket = Write();
    EXPECT_LT(ticket.size(), size_t{PJL_TICKET_SIZE});
    size_t lines = 0;
    for (char c : ticket) lines += c == '\n';
    // 2 frame + 8 labels + 4 sender + date + 9 notes + 200 FXP + CVS=END
    // + FXM + 200 FXN + FXN=END + MJB=END
    EXPECT_EQ(lines, 2u + 8 + 4 + 1 + 9 + 200 + 1 + 1 + 200 + 1 + 1);
    EXPECT_EQ(ticket.substr(ticket.size() - 46),
              "@PJL COMMENT @@FXN=END\n@PJL COMMENT @@MJB=END\n");
}

// The append rule at the block's end: a line is added only while the text
// stays below the block size, so the terminator always fits.
TEST(PjlAppendRule, LinesThatWouldReachTheBlockSizeAreLeftOut) {
    std::vector<char> block(PJL_TICKET_SIZE, '\0');
    const std::string line = "@PJL COMMENT @@FXN=END\n";  // 23 bytes
    PjlText text{block.data(), PJL_TICKET_SIZE - 24};
    std::memset(block.data(), 'x', text.length);
    EXPECT_TRUE(AppendPjlLine(&text, line.data(), line.size()));  // ends at 102399
    EXPECT_EQ(text.length, size_t{PJL_TICKET_SIZE - 1});
    EXPECT_FALSE(AppendPjlLine(&text, line.data(), line.size()));
    EXPECT_FALSE(AppendPjlLine(&text, "\n", 1));  // even one byte would take the terminator's place
    EXPECT_EQ(text.length, size_t{PJL_TICKET_SIZE - 1});
    EXPECT_EQ(block[PJL_TICKET_SIZE - 1], '\0');

    // A long line left out does not stop a shorter one after it.
    PjlText room{block.data(), PJL_TICKET_SIZE - 30};
    std::string longLine(40, 'y');
    EXPECT_FALSE(AppendPjlLine(&room, longLine.data(), longLine.size()));
    EXPECT_TRUE(AppendPjlLine(&room, line.data(), line.size()));
    EXPECT_EQ(room.length, size_t{PJL_TICKET_SIZE - 7});
}

}  // namespace
