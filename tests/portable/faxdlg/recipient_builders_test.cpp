// The pieces "F&ax" builds the job record with, and the cover note joining.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "editors/cover_page_dialog.h"
#include "faxdlg/recipient_list.h"
#include "fax_test_support.h"
#include "res/resource.h"

namespace {

class RecipientBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        faxtest::AttachModule();
        portable::ClearStringOverrides();
        std::memset(&info, 0, sizeof info);
        // One slot more than a record has, to see that nothing lands there.
        slots.assign(FAX_MAX_RECIPIENTS + 1, RecipientEntry{});
        std::memset(&slots[FAX_MAX_RECIPIENTS], 0x7E, sizeof(RecipientEntry));
        info.recipients = slots.data();
        context = std::make_unique<WorkingContext>();
        std::memset(context.get(), 0, sizeof(WorkingContext));
        context->faxInfo = &info;
    }
    void TearDown() override { portable::ClearStringOverrides(); }

    FaxInfo info;
    std::vector<RecipientEntry> slots;
    std::unique_ptr<WorkingContext> context;
};

TEST_F(RecipientBuilderTest, EntryNameIsFirstBlankLastAndTheBlankAlwaysStays) {
    EXPECT_TRUE(AddRecipientEntry(&info, "John", "Smith", "555 1234", "Acme"));
    EXPECT_TRUE(AddRecipientEntry(&info, "Ann", "", "1", ""));
    EXPECT_TRUE(AddRecipientEntry(&info, "", "", "2", "Solo Ltd"));
    ASSERT_EQ(info.recipientCount, 3);
    EXPECT_STREQ(slots[0].name, "John Smith");
    EXPECT_STREQ(slots[0].faxNumber, "555 1234");
    EXPECT_STREQ(slots[0].company, "Acme");
    EXPECT_STREQ(slots[1].name, "Ann ");
    EXPECT_STREQ(slots[2].name, " ");
    EXPECT_STREQ(slots[2].company, "Solo Ltd");
}

TEST_F(RecipientBuilderTest, KanjiModeWritesTheLastNameFirst) {
    portable::OverrideString(IDS_LANGUAGE, "Kanji");
    AddRecipientEntry(&info, "Taro", "Yamada", "03", "");
    AppendCoverRecipientName(context.get(), "Taro", "Yamada");
    char name[64];
    FormatRecipientName("Taro", "Yamada", name, sizeof name);
    EXPECT_STREQ(slots[0].name, "Yamada Taro");
    EXPECT_STREQ(info.recipientNames, "\tYamada Taro");
    EXPECT_STREQ(name, "Yamada Taro");

    portable::OverrideString(IDS_LANGUAGE, "kanji");  // case matters
    FormatRecipientName("Taro", "Yamada", name, sizeof name);
    EXPECT_STREQ(name, "Taro Yamada");
}

TEST_F(RecipientBuilderTest, TheRecordTakesNoTwoHundredAndFirstSlot) {
    for (int i = 0; i < FAX_MAX_RECIPIENTS; ++i)
        ASSERT_TRUE(AddRecipientEntry(&info, "A", "B", "1", "C"));
    EXPECT_FALSE(AddRecipientEntry(&info, "Too", "Many", "2", "X"));
    EXPECT_EQ(info.recipientCount, FAX_MAX_RECIPIENTS);
    for (size_t i = 0; i < sizeof(RecipientEntry); ++i)
        ASSERT_EQ(reinterpret_cast<unsigned char *>(&slots[FAX_MAX_RECIPIENTS])[i], 0x7E);

    info.recipientCount = -1;  // a damaged count is no position either
    EXPECT_FALSE(AddRecipientEntry(&info, "A", "B", "1", "C"));
    info.recipients = nullptr;
    info.recipientCount = 0;
    EXPECT_FALSE(AddRecipientEntry(&info, "A", "B", "1", "C"));
}

TEST_F(RecipientBuilderTest, EntryFieldsAreCutToTheirWidths) {
    const std::string longText(300, 'z');
    AddRecipientEntry(&info, longText.c_str(), longText.c_str(), longText.c_str(), longText.c_str());
    EXPECT_EQ(std::strlen(slots[0].name), 249u);
    EXPECT_EQ(std::strlen(slots[0].faxNumber), 79u);
    EXPECT_EQ(std::strlen(slots[0].company), 39u);
}

// recipientNames has room for 81 characters in its tab-led form: a name
// that would reach 82 is left out, and later shorter names still get in.
TEST_F(RecipientBuilderTest, CoverNamesSkipWhatDoesNotFitAndTakeLaterShortNames) {
    const std::string first(40, 'F'), last(39, 'L');  // tab + 40 + blank + 39 = 81
    AppendCoverRecipientName(context.get(), first.c_str(), last.c_str());
    EXPECT_EQ(std::strlen(info.recipientNames), 81u);
    AppendCoverRecipientName(context.get(), "", "");  // 81 + 2 would reach 83
    EXPECT_EQ(std::strlen(info.recipientNames), 81u);

    std::memset(info.recipientNames, 0, sizeof info.recipientNames);
    AppendCoverRecipientName(context.get(), std::string(41, 'F').c_str(), last.c_str());  // 82
    EXPECT_STREQ(info.recipientNames, "");
    AppendCoverRecipientName(context.get(), "Jo", "Ng");
    AppendCoverRecipientName(context.get(), std::string(70, 'x').c_str(), "y");  // 6+73 = 79: fits
    AppendCoverRecipientName(context.get(), "A", "B");                            // 79+4 = 83: no
    AppendCoverRecipientName(context.get(), "", "");                              // 79+2 = 81: fits
    EXPECT_EQ(std::string(info.recipientNames),
              "\tJo Ng\t" + std::string(70, 'x') + " y\t ");
    EXPECT_EQ(std::strlen(info.recipientNames), 81u);
}

// Joining the note for the cover page's note field.
class NoteJoinTest : public ::testing::Test {
protected:
    std::string Join() {
        char text[10 * 257 + 1];
        JoinNoteLines(lines, text, sizeof text);
        return text;
    }
    char lines[10][256] = {};
};

TEST_F(NoteJoinTest, EmptyNoteGivesAnEmptyField) { EXPECT_EQ(Join(), ""); }

TEST_F(NoteJoinTest, TrailingEmptyLinesGoAndInnerOnesStay) {
    std::strcpy(lines[0], "first");
    std::strcpy(lines[2], "third");
    EXPECT_EQ(Join(), "first\r\n\r\nthird");
}

TEST_F(NoteJoinTest, TenFullLinesGiveNineLineBreaks) {
    for (int i = 0; i < 10; ++i) std::memset(lines[i], 'a' + i, 255);
    std::string joined = Join();
    EXPECT_EQ(joined.size(), 10u * 255 + 9 * 2);
    EXPECT_EQ(joined.substr(255, 2), "\r\n");
    EXPECT_NE(joined.substr(joined.size() - 2), "\r\n");
}

TEST_F(NoteJoinTest, OnlyTheLastLineSetStillGetsItsLeadingBreaks) {
    std::strcpy(lines[9], "end");
    EXPECT_EQ(Join(), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nend");
}

}  // namespace
