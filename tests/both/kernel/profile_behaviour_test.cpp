// Initialisation files: Windows' reading rules and edits that keep the rest.
#include "support/kernel_harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

// Wine rewrites an initialisation file from its parsed sections and loses
// the blank lines between them; Windows edits the text and keeps them, and
// so does the portable layer. Under Wine the tests expect Wine's text.
std::string AsWritten(std::string text) {
    if (!kernel::OnWine()) return text;
    for (size_t at; (at = text.find("\r\n\r\n")) != std::string::npos;) text.erase(at, 2);
    return text;
}

class Profile : public ::testing::Test {
protected:
    std::string Get(const char *section, const char *key, const char *fallback = "none", DWORD size = 128) {
        char buffer[256];
        std::memset(buffer, '#', sizeof buffer);
        DWORD length = GetPrivateProfileStringA(section, key, fallback, buffer, size, path_.c_str());
        EXPECT_EQ(length, std::strlen(buffer));
        return buffer;
    }
    UINT Int(const char *key, INT fallback = 77) {
        return GetPrivateProfileIntA("User Fax Info", key, fallback, path_.c_str());
    }
    kernel::ScratchDirectory dir_;
    std::string path_ = dir_.Path("orvixfax.ini");
};

TEST_F(Profile, NamesMatchWithoutCaseAndBlanksAreTrimmed) {
    dir_.Write("orvixfax.ini", "[User Fax Info]\r\n  SenderName =  Ann Smith  \r\nother=1\r\n");
    EXPECT_EQ(Get("user fax info", "SENDERNAME"), "Ann Smith");
    EXPECT_EQ(Get("USER FAX INFO", "Other"), "1");
}

TEST_F(Profile, OnePairOfQuotesIsRemoved) {
    dir_.Write("orvixfax.ini", "[s]\r\na=\"  padded  \"\r\nb='x'\r\nc=\"unbalanced\r\nd=\"\"\"\"\r\ne=\"a\" \"b\"\r\n");
    EXPECT_EQ(Get("s", "a"), "  padded  ");
    EXPECT_EQ(Get("s", "b"), "x");
    EXPECT_EQ(Get("s", "c"), "\"unbalanced");
    EXPECT_EQ(Get("s", "d"), "\"\"");
    EXPECT_EQ(Get("s", "e"), "a\" \"b");
}

TEST_F(Profile, AbsentKeyGivesTheDefaultWithoutTrailingBlanks) {
    dir_.Write("orvixfax.ini", "[s]\r\na=1\r\n");
    EXPECT_EQ(Get("s", "missing", "dflt   "), "dflt");
    EXPECT_EQ(Get("other", "a", "  lead"), "  lead");
    EXPECT_EQ(Get("s", "missing", nullptr), "");
    path_ = dir_.Path("no-such.ini");
    EXPECT_EQ(Get("s", "a", "from default"), "from default");
    EXPECT_FALSE(dir_.Exists("no-such.ini"));  // reading creates nothing
}

TEST_F(Profile, ValueTruncatesToSizeLessOne) {
    dir_.Write("orvixfax.ini", "[s]\r\nname=abcdefghij\r\n");
    EXPECT_EQ(Get("s", "name", "", 5), "abcd");
    EXPECT_EQ(Get("s", "name", "", 11), "abcdefghij");
    EXPECT_EQ(Get("s", "missing", "0123456789", 4), "012");
}

TEST_F(Profile, EmptyValueIsPresent) {
    dir_.Write("orvixfax.ini", "[User Fax Info]\r\nSenderName=\r\n");
    EXPECT_EQ(Get("User Fax Info", "SenderName", "dflt"), "");
}

TEST_F(Profile, IntReadsSignDigitsAndHexFromTheStart) {
    dir_.Write("orvixfax.ini",
               "[User Fax Info]\r\na=42\r\nb=-7\r\nc=+5\r\nd=12abc\r\ne=abc\r\nf=0x1F\r\ng=\"9\"\r\nh= 3 \r\n");
    EXPECT_EQ(Int("a"), 42u);
    EXPECT_EQ(static_cast<int>(Int("b")), -7);
    EXPECT_EQ(Int("c"), 5u);
    EXPECT_EQ(Int("d"), 12u);
    EXPECT_EQ(Int("e"), 0u);  // present but not a number: 0, not the default
    EXPECT_EQ(Int("f"), 31u);
    EXPECT_EQ(Int("g"), 9u);
    EXPECT_EQ(Int("h"), 3u);
    EXPECT_EQ(Int("absent"), 77u);
    EXPECT_EQ(static_cast<int>(Int("absent", -3)), -3);
}

TEST_F(Profile, WriteReplacesInPlaceAndKeepsEverythingElse) {
    dir_.Write("orvixfax.ini",
               "; settings\r\n[Other]\r\nkeep=me\r\n\r\n[User Fax Info]\r\nSenderName=Old\r\nResolution=1\r\n\r\n"
               "[Last]\r\nz=9\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("user fax info", "sendername", "New Name", path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"),
              AsWritten("; settings\r\n[Other]\r\nkeep=me\r\n\r\n[User Fax Info]\r\nSenderName=New Name\r\n"
                        "Resolution=1\r\n\r\n[Last]\r\nz=9\r\n"));
}

TEST_F(Profile, NewKeyGoesAtTheEndOfItsSection) {
    dir_.Write("orvixfax.ini", "[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("A", "added", "3", path_.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("B", "more", "4", path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), AsWritten("[A]\r\nx=1\r\nadded=3\r\n\r\n[B]\r\ny=2\r\nmore=4\r\n"));
}

TEST_F(Profile, WriteCreatesFileAndSection) {
    ASSERT_TRUE(WritePrivateProfileStringA("User Fax Info", "SenderName", "Ann", path_.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("User Fax Info", "Resolution", "2", path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[User Fax Info]\r\nSenderName=Ann\r\nResolution=2\r\n");
    EXPECT_EQ(Get("User Fax Info", "Resolution"), "2");
}

TEST_F(Profile, NullValueDeletesKeyAndNullKeyDeletesSection) {
    dir_.Write("orvixfax.ini", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "X", nullptr, path_.c_str()));
    EXPECT_EQ(Get("A", "x"), "none");
    EXPECT_EQ(Get("A", "y"), "2");
    ASSERT_TRUE(WritePrivateProfileStringA("b", nullptr, nullptr, path_.c_str()));
    EXPECT_EQ(Get("B", "z"), "none");
    EXPECT_EQ(Get("C", "w"), "4");
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[A]\r\ny=2\r\n[C]\r\nw=4\r\n");
}

TEST_F(Profile, WrittenValueReadsBackWithoutLeadingBlanks) {
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "  a = b ; c", path_.c_str()));
    EXPECT_EQ(Get("s", "k"), "a = b ; c");
}

TEST_F(Profile, SectionAndKeyLists) {
    dir_.Write("orvixfax.ini", "[One]\r\na=1\r\nb=2\r\n[Two]\r\n");
    char buffer[64];
    DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path_.c_str());
    EXPECT_EQ(std::string(buffer, length + 1), std::string("One\0Two\0\0", 9));
    length = GetPrivateProfileStringA("one", nullptr, "", buffer, sizeof buffer, path_.c_str());
    EXPECT_EQ(std::string(buffer, length + 1), std::string("a\0b\0\0", 5));
}

TEST_F(Profile, FirstOfDuplicateKeysWins) {
    dir_.Write("orvixfax.ini", "[s]\r\nk=first\r\nk=second\r\n");
    EXPECT_EQ(Get("s", "k"), "first");
}

TEST_F(Profile, UnreadablePathFailsWithoutTouchingIt) {
    // A directory in the file's place cannot be read, even by root.
    std::filesystem::create_directory(dir_.NativePath("orvixfax.ini"));
    EXPECT_EQ(Get("s", "k", "dflt"), "dflt");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", path_.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir_.NativePath("orvixfax.ini")));
}

TEST_F(Profile, MissingDirectoryFailsTheWrite) {
    std::string path = dir_.Path("absent\\orvixfax.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", path.c_str()));
}

}  // namespace
