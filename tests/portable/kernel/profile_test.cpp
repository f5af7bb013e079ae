// Initialisation files on the portable layer: what Windows leaves open (line
// ends of an LF file, an empty number, cut-short lists, unreadable files).
#include "platform/portable/host.h"
#include "platform/win32api.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
    TempDirectory dir_;
    std::string path_ = dir_.WindowsPath("orvixfax.ini");
};

TEST_F(Profile, ValueTruncatesToSizeLessOne) {
    dir_.Write("orvixfax.ini", "[s]\nname=abcdefghij\n");
    EXPECT_EQ(Get("s", "name", "", 5), "abcd");
    EXPECT_EQ(Get("s", "name", "", 11), "abcdefghij");
    EXPECT_EQ(Get("s", "missing", "0123456789", 4), "012");
    char buffer[4] = "xyz";
    EXPECT_EQ(GetPrivateProfileStringA("s", "name", "", buffer, 0, path_.c_str()), 0u);
    EXPECT_STREQ(buffer, "xyz");
}

TEST_F(Profile, EmptyValueIsPresentAndReadsAsZero) {
    dir_.Write("orvixfax.ini", "[User Fax Info]\nSenderName=\nFlag=\n");
    EXPECT_EQ(Get("User Fax Info", "SenderName", "dflt"), "");
    EXPECT_EQ(Int("Flag"), 0u);
}

TEST_F(Profile, IntReadsSignDigitsAndHexFromTheStart) {
    dir_.Write("orvixfax.ini",
               "[User Fax Info]\na=42\nb=-7\nc=+5\nd=12abc\ne=abc\nf=0x1F\ng=\"9\"\nh= 3 \ni=0X\nj=-0x10\n");
    EXPECT_EQ(Int("a"), 42u);
    EXPECT_EQ(static_cast<int>(Int("b")), -7);
    EXPECT_EQ(Int("c"), 5u);
    EXPECT_EQ(Int("d"), 12u);
    EXPECT_EQ(Int("e"), 0u);  // present but not a number: 0, not the default
    EXPECT_EQ(Int("f"), 31u);
    EXPECT_EQ(Int("g"), 9u);
    EXPECT_EQ(Int("h"), 3u);
    EXPECT_EQ(Int("i"), 0u);
    EXPECT_EQ(static_cast<int>(Int("j")), -16);
    EXPECT_EQ(Int("absent"), 77u);
    EXPECT_EQ(static_cast<int>(Int("absent", -3)), -3);
}

TEST_F(Profile, NewKeysInAnLfFileKeepItsLineEnds) {
    dir_.Write("orvixfax.ini", "[A]\nx=1\n\n[B]\ny=2\n");
    ASSERT_TRUE(WritePrivateProfileStringA("A", "added", "3", path_.c_str()));
    ASSERT_TRUE(WritePrivateProfileStringA("B", "more", "4", path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[A]\nx=1\nadded=3\n\n[B]\ny=2\nmore=4\n");
}

// A value written again as it stands leaves the file alone (the fax
// dialog writes every key at each job); a changed one replaces the file.
TEST_F(Profile, WritingTheSameValueAgainLeavesTheFileAlone) {
    dir_.Write("orvixfax.ini", "[A]\nx=1\n");
    std::string file = dir_.HostPath("orvixfax.ini");
    auto inode = [&file] {
        struct stat info {};
        ::stat(file.c_str(), &info);
        return info.st_ino;
    };
    ino_t before = inode();
    ASSERT_TRUE(WritePrivateProfileStringA("a", "X", "1", path_.c_str()));
    EXPECT_EQ(inode(), before);
    ASSERT_TRUE(WritePrivateProfileStringA("A", "x", "2", path_.c_str()));
    EXPECT_NE(inode(), before);
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[A]\nx=2\n");
}

TEST_F(Profile, DeletionsInAnLfFileKeepItsLineEnds) {
    dir_.Write("orvixfax.ini", "[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", "X", nullptr, path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[A]\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    ASSERT_TRUE(WritePrivateProfileStringA("b", nullptr, nullptr, path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[A]\ny=2\n[C]\nw=4\n");
    EXPECT_TRUE(WritePrivateProfileStringA("absent", nullptr, nullptr, path_.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA("A", "absent", nullptr, path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[A]\ny=2\n[C]\nw=4\n");
}

TEST_F(Profile, SectionAndKeyLists) {
    dir_.Write("orvixfax.ini", "[One]\na=1\n; note\nb=2\n[Two]\n");
    char buffer[64];
    DWORD length = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, path_.c_str());
    EXPECT_EQ(std::string(buffer, length + 1), std::string("One\0Two\0\0", 9));
    length = GetPrivateProfileStringA("one", nullptr, "", buffer, sizeof buffer, path_.c_str());
    EXPECT_EQ(std::string(buffer, length + 1), std::string("a\0b\0\0", 5));
    length = GetPrivateProfileStringA("One", nullptr, "", buffer, 4, path_.c_str());
    EXPECT_EQ(length, 2u);  // cut short: size - 2, both terminators kept
    EXPECT_EQ(std::string(buffer, 4), std::string("a\0\0\0", 4));
}

TEST_F(Profile, FirstOfDuplicateSectionsAndKeysWins) {
    dir_.Write("orvixfax.ini", "[s]\nk=first\nk=second\n[s]\nk=third\n");
    EXPECT_EQ(Get("s", "k"), "first");
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "new", path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[s]\nk=new\nk=second\n[s]\nk=third\n");
}

// A file that cannot be read (here its open is refused, as permissions
// would refuse it to a user but not to root) is never replaced; and a
// write whose new file cannot be made or written leaves the old one whole,
// never rewriting it in place.
TEST_F(Profile, WritesNeverLoseTheOldFile) {
    const std::string old = "[s]\nk=precious\n[other]\nx=" + std::string(32768, 'x') + "\n";
    dir_.Write("orvixfax.ini", old);
    const struct {
        portable::KernelCall call;
        int skip;
        DWORD error;
    } failures[] = {
        {portable::KERNEL_FILE_OPEN, 0, ERROR_ACCESS_DENIED},  // reading the old file
        {portable::KERNEL_FILE_READ, 0, ERROR_IO_DEVICE},
        {portable::KERNEL_FILE_OPEN, 1, ERROR_DISK_FULL},      // making the new file
        {portable::KERNEL_FILE_WRITE, 0, ERROR_DISK_FULL},
    };
    for (const auto &failure : failures) {
        portable::FailKernelCalls(failure.call, 1, failure.skip, failure.error);
        EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", path_.c_str()));
        EXPECT_EQ(GetLastError(), failure.error);
        portable::ClearKernelFaults();
        EXPECT_EQ(dir_.Read("orvixfax.ini"), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1) << "nothing beside it";
    }
    EXPECT_TRUE(WritePrivateProfileStringA("s", "k", "new", path_.c_str()));
    EXPECT_EQ(dir_.Read("orvixfax.ini"), "[s]\nk=new\n[other]\nx=" + std::string(32768, 'x') + "\n");
}

TEST_F(Profile, BareFileNameLivesInTheSystemDirectory) {
    char saved[MAX_PATH] = "";
    GetSystemDirectoryA(saved, sizeof saved);
    portable::SetSystemDirectory(dir_.path());
    EXPECT_TRUE(WritePrivateProfileStringA("s", "k", "v", "bare.ini"));
    char buffer[8] = "";
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, "bare.ini"), 1u);
    portable::SetSystemDirectory(saved);
    EXPECT_STREQ(buffer, "v");
    EXPECT_EQ(dir_.Read("bare.ini"), "[s]\r\nk=v\r\n");
}

TEST_F(Profile, MissingDirectoryFailsTheWrite) {
    std::string path = dir_.WindowsPath("absent\\orvixfax.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", path.c_str()));
    EXPECT_FALSE(WritePrivateProfileStringA(nullptr, "k", "v", path_.c_str()));
    EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, path_.c_str()));
}

}  // namespace
