// LoadStringA over the generated string table of the test dialogs'
// script, with the run's overrides.
#include "platform/portable/host.h"
#include "platform/win32api.h"
#include "support/resources/test_dialogs.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class LoadString : public ::testing::Test {
protected:
    void TearDown() override { portable::ClearStringOverrides(); }
    HINSTANCE module_ = portable::ModuleInstance();
};

TEST_F(LoadString, CopiesTheEntryAndReturnsItsLength) {
    char buffer[64];
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_GROUP, buffer, sizeof buffer), 9);
    EXPECT_STREQ(buffer, "New Group");
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_LANGUAGE, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "English");
}

TEST_F(LoadString, EscapesOfTheScriptAreDecoded) {
    char buffer[128];
    LoadStringA(module_, IDS_TEST_QUESTION, buffer, sizeof buffer);
    EXPECT_NE(std::strchr(buffer, '\n'), nullptr);
    EXPECT_EQ(std::strstr(buffer, "\\n"), nullptr);
}

TEST_F(LoadString, TruncatesToSizeLessOneAndTerminates) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_PERSON, buffer, 5), 4);
    EXPECT_STREQ(buffer, "New ");
    EXPECT_EQ(buffer[5], '#');  // nothing written past the given size
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_PERSON, buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
}

TEST_F(LoadString, ExactFitKeepsEveryCharacter) {
    char buffer[10];
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_GROUP, buffer, 10), 9);
    EXPECT_STREQ(buffer, "New Group");
}

TEST_F(LoadString, MissingEntryOrForeignInstanceGivesZero) {
    char buffer[16] = "untouched";
    EXPECT_EQ(LoadStringA(module_, 2, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(LoadStringA(nullptr, IDS_TEST_GROUP, buffer, sizeof buffer), 0);
    EXPECT_EQ(LoadStringA(reinterpret_cast<HINSTANCE>(0x1234), IDS_TEST_GROUP, buffer, sizeof buffer), 0);
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_GROUP, nullptr, 16), 0);
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_GROUP, buffer, 0), 0);
}

TEST_F(LoadString, OverrideReplacesAndRemoveHidesUntilCleared) {
    char buffer[16];
    portable::OverrideString(IDS_TEST_LANGUAGE, "Kanji");
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_LANGUAGE, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "Kanji");
    portable::RemoveString(IDS_TEST_LANGUAGE);
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_LANGUAGE, buffer, sizeof buffer), 0);
    portable::ClearStringOverrides();
    EXPECT_EQ(LoadStringA(module_, IDS_TEST_LANGUAGE, buffer, sizeof buffer), 7);
}

TEST_F(LoadString, OverrideCanAddAnEntryTheTableLacks) {
    char buffer[16];
    portable::OverrideString(4000, "extra");
    EXPECT_EQ(LoadStringA(module_, 4000, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "extra");
}

TEST(StringLength, CountsBytesAndTakesNull) {
    EXPECT_EQ(lstrlenA("fax"), 3);
    EXPECT_EQ(lstrlenA(""), 0);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

}  // namespace
