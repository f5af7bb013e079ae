// wsprintfA at the edge of its 1024-byte output.
#include "platform/win32api.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Wsprintf, ExactlyFullOutputIsNotCut) {
    std::string text(1023, 'b');
    static char out[2048];
    EXPECT_EQ(wsprintfA(out, "%s", text.c_str()), 1023);
    EXPECT_EQ(std::string(out), text);
    text += 'c';
    EXPECT_EQ(wsprintfA(out, "%s", text.c_str()), 1024);  // cut by one
    EXPECT_EQ(std::string(out), std::string(1023, 'b'));
}

TEST(Wsprintf, PaddingAndLiteralTextAreCutAtTheSamePlace) {
    static char out[2048];
    EXPECT_EQ(wsprintfA(out, "%2000d", 1), 1024);
    EXPECT_EQ(std::string(out), std::string(1023, ' '));
    std::string format(1500, 'x');
    EXPECT_EQ(wsprintfA(out, format.c_str()), 1024);
    EXPECT_EQ(std::string(out), std::string(1023, 'x'));
}

TEST(Wsprintf, NullFormatGivesEmptyText) {
    char out[8] = "junk";
    EXPECT_EQ(wsprintfA(out, nullptr), 0);
    EXPECT_STREQ(out, "");
}

}  // namespace
