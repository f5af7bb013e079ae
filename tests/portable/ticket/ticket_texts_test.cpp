// The pieces both tickets share: numbers reduced to digits, the date text
// and its clock, the labels, Kanji mode.
#include <string>

#include "common/kanji_mode.h"
#include "platform/portable/host.h"
#include "ticket/ticket_texts.h"
#include "ticket_fixture.h"

namespace {

std::string Reduced(std::string number, size_t size = 80) {
    char field[80] = {};
    std::memcpy(field, number.data(), number.size() < size ? number.size() : size);
    ReduceToDigits(field, size);
    return field;
}

TEST(ReduceToDigits, KeepsDigitsInOrderAndDropsEverythingElse) {
    EXPECT_EQ(Reduced("(030) 555-0100"), "0305550100");
    EXPECT_EQ(Reduced("+1 555 010\t9999 ext. 12"), "1555010999912");
    EXPECT_EQ(Reduced("FAXME"), "");
    EXPECT_EQ(Reduced(""), "");
    EXPECT_EQ(Reduced("\xb9\xb2\xb3 4"), "4");  // superscript digits are not digits
}

TEST(ReduceToDigits, StaysInsideAnUnterminatedField) {
    // 80 digits with no zero byte: the field's last byte becomes the end.
    EXPECT_EQ(Reduced(std::string(80, '7'), 80), std::string(79, '7'));
    EXPECT_EQ(Reduced(std::string(40, '-') + std::string(40, '1'), 80), std::string(40, '1'));
}

// Numbers are read sixteen bytes at a time and reduced where they are:
// wherever the number ends, the digits before its end are kept, and the
// bytes behind its zero byte (digits among them) stay as they were.
TEST(ReduceToDigits, EndsWhereTheNumberEndsAndLeavesWhatLiesBehind) {
    for (size_t length = 0; length <= 80; ++length) {
        char field[80];
        std::string typed, digits;
        for (size_t i = 0; i < length; ++i) typed += "(0)1-2 3x45/"[i % 12];
        for (char c : typed) {
            if (c >= '0' && c <= '9') digits += c;
        }
        if (length == 80 && digits.size() == 80) digits.pop_back();
        std::memcpy(field, typed.data(), length);
        for (size_t i = length; i < 80; ++i) field[i] = i == length ? '\0' : '7';
        char before[80];
        std::memcpy(before, field, sizeof field);
        size_t kept = ReduceToDigits(field, sizeof field);
        EXPECT_EQ(kept, digits.size()) << length;
        EXPECT_EQ(std::string(field), digits) << length;
        EXPECT_EQ(std::string(field + length, 80 - length), std::string(before + length, 80 - length))
            << length;
    }
}

class TicketDateTest : public TicketTest {
protected:
    std::string Date() {
        char date[TICKET_DATE_SIZE];
        size_t length = FormatTicketDate(date, sizeof date);
        EXPECT_EQ(length, std::strlen(date));
        return date;
    }
};

TEST_F(TicketDateTest, NumbersHaveNoLeadingZerosAndTheWeekStartsOnSunday) {
    EXPECT_EQ(Date(), "Sun 6 Dec 1998 9:5:7");
    SetMoment(1998, 12, 7, 0, 0, 0);
    EXPECT_EQ(Date(), "Mon 7 Dec 1998 0:0:0");
    SetMoment(2000, 2, 29, 23, 59, 59);  // leap day of a leap century
    EXPECT_EQ(Date(), "Tue 29 Feb 2000 23:59:59");
    SetMoment(2026, 1, 1, 12, 30, 0);
    EXPECT_EQ(Date(), "Thu 1 Jan 2026 12:30:0");
    SetMoment(2100, 3, 1, 8, 0, 10);  // 2100 is no leap year
    EXPECT_EQ(Date(), "Mon 1 Mar 2100 8:0:10");
    SetMoment(1999, 7, 31, 1, 2, 3);
    EXPECT_EQ(Date(), "Sat 31 Jul 1999 1:2:3");
}

TEST_F(TicketDateTest, NamesComeFromTheTableAndFallBackToEnglish) {
    portable::OverrideString(124, "Sonntag");
    portable::OverrideString(136, "Dezember");
    EXPECT_EQ(Date(), "Sonntag 6 Dezember 1998 9:5:7");
    portable::RemoveString(124);
    portable::RemoveString(136);
    EXPECT_EQ(Date(), "Sun 6 Dec 1998 9:5:7");
    // A name is loaded with room for 31 characters.
    portable::OverrideString(124, std::string(40, 'S'));
    EXPECT_EQ(Date(), std::string(31, 'S') + " 6 Dec 1998 9:5:7");
}

TEST_F(TicketDateTest, TheSystemClockIsUsedWhenNothingIsFixed) {
    SetTicketTime(nullptr);
    std::time_t before = std::time(nullptr);
    std::tm moment = TicketTime();
    std::time_t after = std::time(nullptr);
    std::tm first = *std::localtime(&before);
    std::tm last = *std::localtime(&after);
    EXPECT_GE(moment.tm_year, first.tm_year);
    EXPECT_LE(moment.tm_year, last.tm_year);
    EXPECT_GE(moment.tm_yday + 366 * moment.tm_year, first.tm_yday + 366 * first.tm_year);
    EXPECT_LE(moment.tm_yday + 366 * moment.tm_year, last.tm_yday + 366 * last.tm_year);
}

TEST_F(TicketDateTest, LabelsComeFromTheTableWithEnglishFallbacks) {
    TicketLabels labels;
    LoadTicketLabels(&labels);
    EXPECT_STREQ(labels.text[LABEL_FAX], "FAX");
    EXPECT_STREQ(labels.text[LABEL_TO], "To:");
    EXPECT_STREQ(labels.text[LABEL_FROM], "From:");
    EXPECT_STREQ(labels.text[LABEL_FAX_NUMBER], "Fax Number:");
    EXPECT_STREQ(labels.text[LABEL_BUSINESS_PHONE], "Business Phone:");
    EXPECT_STREQ(labels.text[LABEL_HOME_PHONE], "Home Phone:");
    EXPECT_STREQ(labels.text[LABEL_DATE_TIME], "Date & Time:");

    for (UINT id : {18u, 19u, 24u, 25u, 26u, 27u, 28u}) portable::RemoveString(id);
    portable::OverrideString(26, std::string(200, 'B'));
    LoadTicketLabels(&labels);
    EXPECT_STREQ(labels.text[LABEL_FAX], "FAX");
    EXPECT_STREQ(labels.text[LABEL_TO], "To:");
    EXPECT_STREQ(labels.text[LABEL_FROM], "From:");
    EXPECT_STREQ(labels.text[LABEL_FAX_NUMBER], "Fax Number:");
    EXPECT_EQ(std::string(labels.text[LABEL_BUSINESS_PHONE]), std::string(126, 'B'));
    EXPECT_STREQ(labels.text[LABEL_HOME_PHONE], "Home Phone:");
    EXPECT_STREQ(labels.text[LABEL_DATE_TIME], "Date & Time:");
}

TEST_F(TicketDateTest, KanjiModeIsTheExactWordAndIsReadAfreshEachTime) {
    EXPECT_FALSE(IsKanjiMode());  // the shipped table says "English"
    portable::OverrideString(1045, "Kanji");
    EXPECT_TRUE(IsKanjiMode());
    portable::OverrideString(1045, "KANJI");
    EXPECT_FALSE(IsKanjiMode());
    portable::OverrideString(1045, "Kanji!");
    EXPECT_FALSE(IsKanjiMode());
    portable::RemoveString(1045);
    EXPECT_FALSE(IsKanjiMode());
}

}  // namespace
