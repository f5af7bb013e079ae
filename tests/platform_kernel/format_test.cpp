// wsprintfA: the formats the module writes with, and the 1024-byte limit.
#include "platform/win32api.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Wsprintf, IntegersInEveryBaseAndSign) {
    char out[64];
    EXPECT_EQ(wsprintfA(out, "%d|%i|%u", -42, 7, 3000000000u), 16);
    EXPECT_STREQ(out, "-42|7|3000000000");
    wsprintfA(out, "%x %X %lx %ld %lu", 0xBEEFu, 0xBEEFu, 255u, static_cast<LONG>(-2147483647 - 1), static_cast<DWORD>(4294967295u));
    EXPECT_STREQ(out, "beef BEEF ff -2147483648 4294967295");
    wsprintfA(out, "%u", -1);
    EXPECT_STREQ(out, "4294967295");
    wsprintfA(out, "%hd", 70000);
    EXPECT_STREQ(out, "4464");
}

TEST(Wsprintf, WidthFlagsAndPrecision) {
    char out[64];
    wsprintfA(out, "[%5d][%-5d][%05d][%-05d]", 42, 42, -42, 7);
    EXPECT_STREQ(out, "[   42][42   ][-0042][7    ]");
    wsprintfA(out, "[%.3d][%6.3d][%#x][%#X][%#x]", 5, -5, 255, 255, 0);
    EXPECT_STREQ(out, "[005][  -005][0xff][0XFF][0]");
    wsprintfA(out, "[%08x]", 0xABCu);
    EXPECT_STREQ(out, "[00000abc]");
}

TEST(Wsprintf, StringsAndCharacters) {
    char out[64];
    wsprintfA(out, "[%s][%8s][%-8s][%.2s][%c%c]", "fax", "fax", "fax", "fax", 'O', 'k');
    EXPECT_STREQ(out, "[fax][     fax][fax     ][fa][Ok]");
    wsprintfA(out, "%s", static_cast<const char *>(nullptr));
    EXPECT_STREQ(out, "(null)");
    wsprintfA(out, "%s", "");
    EXPECT_STREQ(out, "");
}

TEST(Wsprintf, PercentSignsAndOddSpecs) {
    char out[64];
    EXPECT_EQ(wsprintfA(out, "100%%"), 4);
    EXPECT_STREQ(out, "100%");
    wsprintfA(out, "%y%");  // an unknown type prints itself; a trailing % nothing
    EXPECT_STREQ(out, "y");
    wsprintfA(out, "no specs");
    EXPECT_STREQ(out, "no specs");
}

TEST(Wsprintf, OutputStopsAt1024BytesWithTerminator) {
    std::string longText(2000, 'a');
    char out[2048];
    out[1023] = 'x';
    out[1024] = '#';
    EXPECT_EQ(wsprintfA(out, "%s", longText.c_str()), 1023);
    EXPECT_EQ(out[1023], '\0');
    EXPECT_EQ(out[1024], '#');
    EXPECT_EQ(std::string(out), longText.substr(0, 1023));
    // Padding is cut at the same place.
    EXPECT_EQ(wsprintfA(out, "%2000d", 1), 1023);
    EXPECT_EQ(std::string(out), std::string(1023, ' '));
}

}  // namespace
