// The code page's converters and the naming of book entries, where their
// edges are: bytes without a character, input that is not UTF-8, case in
// the code page, exact names before names that differ only in case.
#include <gtest/gtest.h>

#include <string>

#include "orvixfax/book_lookup.h"
#include "orvixfax/code_page.h"
#include "portable/addrbook/book_fixture.h"  // BookTest

namespace {

CodePage &Windows1252() {
    static CodePage codePage;
    static bool opened = [] {
        std::string error;
        return codePage.Open(1252, error);
    }();
    EXPECT_TRUE(opened);
    return codePage;
}

TEST(CodePageTest, EveryByteOf1252RoundTripsAndOtherCharactersAreRefused) {
    CodePage &codePage = Windows1252();
    for (int byte = 1; byte < 256; ++byte) {
        const std::string bytes(1, static_cast<char>(byte));
        std::string back;
        TextFault fault;
        ASSERT_TRUE(codePage.FromUtf8(codePage.ToUtf8(bytes), back, fault)) << byte << ": " << fault.what;
        EXPECT_EQ(back, bytes) << byte;
    }
    EXPECT_EQ(codePage.ToUtf8("\x80\x93\x94\x81"), "\xe2\x82\xac\xe2\x80\x9c\xe2\x80\x9d\xc2\x81");
    // Plain texts are told eight bytes at a time: one character that is
    // not, at every place of a longer text, is still converted.
    for (size_t place = 0; place <= 17; ++place) {
        std::string bytes = "Hofmann-Schroeder", back;
        bytes.insert(place, "\xe9");
        TextFault fault;
        ASSERT_TRUE(codePage.FromUtf8(codePage.ToUtf8(bytes), back, fault)) << place;
        EXPECT_EQ(back, bytes) << place;
        EXPECT_EQ(codePage.ToUtf8(bytes).size(), bytes.size() + 1) << place;
    }

    std::string bytes;
    TextFault fault;
    EXPECT_FALSE(codePage.FromUtf8("ab\xce\xa9", bytes, fault));
    EXPECT_EQ(fault.offset, 2u);
    EXPECT_EQ(UnmappableMessage("lastName", fault, 1252), "lastName: the character U+03A9 has no byte in code page 1252");
    EXPECT_FALSE(codePage.FromUtf8("a\xe9z", bytes, fault)) << "Latin-1 bytes are no UTF-8";
    EXPECT_EQ(fault.what, "the byte 0xE9");
    EXPECT_FALSE(codePage.FromUtf8("\xf0\x9f\x98\x80", bytes, fault));
    EXPECT_EQ(fault.what, "U+1F600");

    CodePage unknown;
    std::string error;
    EXPECT_FALSE(unknown.Open(99999, error));
    EXPECT_NE(error.find("--codepage: 99999"), std::string::npos);
}

// Code pages of one byte a character convert byte by byte, both ways; 932,
// and those whose letters combine with the marks after them (1255, 1258),
// through iconv whole: each gives what iconv gives for the whole text.
TEST(CodePageTest, ToUtf8AgreesWithIconvOnWholeTexts) {
    for (int number : {1250, 1251, 1252, 1253, 1255, 1258, 437, 850, 932}) {
        CodePage codePage;
        std::string error;
        ASSERT_TRUE(codePage.Open(number, error)) << error;
        std::string text = "a,b ", utf8;
        TextFault fault;
        bool known = false;
        for (int byte = 0x80; byte < 0x100; ++byte) {
            const std::string one(1, static_cast<char>(byte));
            if (number != 932 && EncodingToUtf8("CP" + std::to_string(number), one, utf8, fault, known)) text += one;
        }
        if (number == 932) text += "\x93\xfa\x96\x7b \xb1\xb2";  // two Kanji, two half-width Katakana
        ASSERT_TRUE(EncodingToUtf8("CP" + std::to_string(number), text, utf8, fault, known)) << number;
        EXPECT_EQ(codePage.ToUtf8(text), utf8) << number;
        std::string back;
        ASSERT_TRUE(codePage.FromUtf8(utf8, back, fault)) << number << ": " << fault.what;
        EXPECT_EQ(back, text) << number;
        // A character of no byte, met after characters that have one.
        EXPECT_FALSE(codePage.FromUtf8(utf8 + "\xe2\x99\xa5", back, fault)) << number;
        EXPECT_EQ(fault.offset, utf8.size()) << number;
        EXPECT_EQ(fault.what, "U+2665") << number;
    }
}

TEST(CodePageTest, FoldingIgnoresCaseBeyondAscii) {
    CodePage &codePage = Windows1252();
    EXPECT_EQ(codePage.Folded("\xd8" "DEG\xc5RD"), codePage.Folded("\xf8" "deg\xe5rd"));
    EXPECT_EQ(codePage.Folded("CAF\xc9"), codePage.Folded("caf\xe9"));
    EXPECT_NE(codePage.Folded("caf\xe9"), codePage.Folded("cafe"));

    std::string text;
    TextFault fault;
    bool known = false;
    EXPECT_TRUE(EncodingToUtf8("latin1", "\xe9", text, fault, known));
    EXPECT_EQ(text, "\xc3\xa9");
    EXPECT_FALSE(EncodingToUtf8("no-such-encoding", "x", text, fault, known));
    EXPECT_FALSE(known);
    EXPECT_FALSE(Utf8ToEncoding("ISO-8859-1", "a\nb \xe2\x82\xac", text, fault, known));
    EXPECT_TRUE(known);
    EXPECT_EQ(fault.offset, 4u);
    // UTF-8 input: well-formed text as it is (a byte-order mark, the last
    // character), each kind of malformed text refused at its first byte.
    const std::string wellFormed = "\xef\xbb\xbf" "a\xc3\xa9\xe2\x82\xac\xf4\x8f\xbf\xbf";
    EXPECT_TRUE(EncodingToUtf8("utf8", wellFormed, text, fault, known));
    EXPECT_EQ(text, wellFormed);
    for (const std::string bad : {"ab\xe2\x82", "ab\x80z", "ab\xffz", "ab\xc3"}) {
        fault = TextFault{};
        EXPECT_FALSE(EncodingToUtf8("UTF-8", bad, text, fault, known)) << bad;
        EXPECT_TRUE(known);
        EXPECT_EQ(fault.offset, 2u) << bad;
    }
}

class BookLookupTest : public BookTest {};

TEST_F(BookLookupTest, ExactNamesComeBeforeNamesDifferingInCase) {
    WorkingContext *context = Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme", {{"555-1", ""}});
    PersonRecord *colon = AddPerson("", "", "Dr: Who", {{"9", ""}, {"10", ""}});
    AddGroup("Team", {{ann, NumberAt(ann, 0)}});
    AddGroup("team", {{colon, NumberAt(colon, 0)}});
    CodePage &codePage = Windows1252();
    auto found = [&](const std::string &who, WhoMeans means) {
        std::string texts;
        for (const BookItem &item : FindWho(context, codePage, who, means))
            texts += (texts.empty() ? "" : " ") + WhoText(codePage, item);
        return texts;
    };
    EXPECT_EQ(found("Team", WhoMeans::Recipients), "[Team]");
    EXPECT_EQ(found("[team]", WhoMeans::Recipients), "[team]");
    EXPECT_EQ(found("TEAM", WhoMeans::Recipients), "[Team] [team]") << "without an exact match, both";
    EXPECT_EQ(found("lee, ann", WhoMeans::Anything), "Ann Lee");
    EXPECT_EQ(found("Ann Lee", WhoMeans::Members), "Ann Lee:555-1");
    // A colon in a name: every split is tried.
    EXPECT_EQ(found("Dr: Who:10", WhoMeans::Recipients), "Dr: Who:10");
    EXPECT_EQ(found("Dr: Who", WhoMeans::Recipients), "Dr: Who:9 Dr: Who:10");
    EXPECT_EQ(found("  ", WhoMeans::Anything), "");
}

}  // namespace
