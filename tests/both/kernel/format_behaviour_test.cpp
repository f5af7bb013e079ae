// wsprintfA: the formats the module writes with, and the 1024-byte limit.
#include "support/kernel_harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Wsprintf, IntegersInEveryBaseAndSign) {
    char out[64];
    EXPECT_EQ(wsprintfA(out, "%d|%i|%u", -42, 7, 3000000000u), 16);
    EXPECT_STREQ(out, "-42|7|3000000000");
    wsprintfA(out, "%x %X %lx %ld %lu", 0xBEEFu, 0xBEEFu, 255u, static_cast<LONG>(-2147483647 - 1),
              static_cast<DWORD>(4294967295u));
    EXPECT_STREQ(out, "beef BEEF ff -2147483648 4294967295");
    wsprintfA(out, "%u", -1);
    EXPECT_STREQ(out, "4294967295");
    wsprintfA(out, "%d", 0);
    EXPECT_STREQ(out, "0");
}

TEST(Wsprintf, WidthFlagsAndPrecision) {
    char out[64];
    wsprintfA(out, "[%5d][%-5d][%05d][%-05d]", 42, 42, -42, 7);
    EXPECT_STREQ(out, "[   42][42   ][-0042][7    ]");
    wsprintfA(out, "[%.3d][%#x][%#X]", 5, 255, 255);
    EXPECT_STREQ(out, "[005][0xff][0XFF]");
    // USER32 counts a minus sign as one of the precision's digits, unlike C.
    wsprintfA(out, "[%6.3d][%.3d]", -5, -42);
    EXPECT_STREQ(out, "[   -05][-42]");
    // A precision of 0 still prints the digit 0.
    wsprintfA(out, "[%.0d]", 0);
    EXPECT_STREQ(out, "[0]");
    wsprintfA(out, "[%08x]", 0xABCu);
    EXPECT_STREQ(out, "[00000abc]");
}

TEST(Wsprintf, StringsAndCharacters) {
    char out[64];
    wsprintfA(out, "[%s][%8s][%-8s][%.2s][%c%c]", "fax", "fax", "fax", "fax", 'O', 'k');
    EXPECT_STREQ(out, "[fax][     fax][fax     ][fa][Ok]");
    wsprintfA(out, "%s", "");
    EXPECT_STREQ(out, "");
    wsprintfA(out, "%s", static_cast<const char *>(nullptr));
    EXPECT_STREQ(out, "(null)");
}

TEST(Wsprintf, ShortPrefixAndHexPrefixOfZero) {
    char out[64];
    // 'h' is accepted and changes nothing: the value is not cut to 16 bits.
    wsprintfA(out, "%hd %hu", 70000, 70000);
    EXPECT_STREQ(out, "70000 70000");
    wsprintfA(out, "[%#x]", 0);
    EXPECT_STREQ(out, "[0x0]");
}

TEST(Wsprintf, UnknownTypesAndATrailingPercent) {
    char out[64];
    wsprintfA(out, "a%yb");
    EXPECT_STREQ(out, "ayb");
    wsprintfA(out, "end%");
    EXPECT_STREQ(out, "end");
}

TEST(Wsprintf, PercentSigns) {
    char out[64];
    EXPECT_EQ(wsprintfA(out, "100%%"), 4);
    EXPECT_STREQ(out, "100%");
    wsprintfA(out, "plain text");
    EXPECT_STREQ(out, "plain text");
}

// A cut output keeps 1023 characters and the terminator, yet USER32 reports
// 1024: callers must not take the result as the length of a cut text.
TEST(Wsprintf, OutputStopsAt1024BytesWithTerminator) {
    std::string longText(2000, 'a');
    static char out[2048];
    out[1023] = 'x';
    out[1024] = '#';
    int length = wsprintfA(out, "%s", longText.c_str());
    EXPECT_EQ(length, 1024);
    EXPECT_EQ(out[1023], '\0');
    EXPECT_EQ(out[1024], '#');  // nothing written past the limit
    EXPECT_EQ(std::string(out), longText.substr(0, 1023));
}

}  // namespace
