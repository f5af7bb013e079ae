// The _l* file functions, moving and deleting, over real files.
#include "platform/portable/host.h"
#include "platform/win32api.h"
#include "temp_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

class Files : public ::testing::Test {
protected:
    void TearDown() override { portable::FailFileWrites(0, 0); }
    TempDirectory dir_;
};

TEST_F(Files, CreateWriteSeekReadRoundTrip) {
    std::string path = dir_.WindowsPath("book.adb");
    HFILE file = _lcreat(path.c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    EXPECT_EQ(_lwrite(file, "hello, fax", 10), 10u);
    EXPECT_EQ(_llseek(file, 0, FILE_END), 10);
    EXPECT_EQ(_llseek(file, 7, FILE_BEGIN), 7);
    char buffer[16] = {};
    EXPECT_EQ(_lread(file, buffer, sizeof buffer), 3u);  // short read at the end
    EXPECT_STREQ(buffer, "fax");
    EXPECT_EQ(_lread(file, buffer, sizeof buffer), 0u);
    EXPECT_EQ(_llseek(file, -3, FILE_CURRENT), 7);
    EXPECT_EQ(_lclose(file), 0);
    EXPECT_EQ(dir_.Read("book.adb"), "hello, fax");
}

TEST_F(Files, CreateTruncatesAnExistingFile) {
    dir_.Write("book.adb", "old contents that must go");
    HFILE file = _lcreat(dir_.WindowsPath("book.adb").c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    _lwrite(file, "new", 3);
    _lclose(file);
    EXPECT_EQ(dir_.Read("book.adb"), "new");
}

TEST_F(Files, OpenModesAllowOnlyWhatTheyName) {
    dir_.Write("data", "abc");
    std::string path = dir_.WindowsPath("data");
    HFILE reading = _lopen(path.c_str(), OF_READ);
    ASSERT_NE(reading, HFILE_ERROR);
    EXPECT_EQ(_lwrite(reading, "x", 1), static_cast<UINT>(HFILE_ERROR));
    _lclose(reading);
    HFILE writing = _lopen(path.c_str(), OF_WRITE);
    ASSERT_NE(writing, HFILE_ERROR);
    char c;
    EXPECT_EQ(_lread(writing, &c, 1), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(_lwrite(writing, "X", 1), 1u);  // overwrites in place, no truncation
    _lclose(writing);
    EXPECT_EQ(dir_.Read("data"), "Xbc");
    HFILE both = _lopen(path.c_str(), OF_READWRITE);
    ASSERT_NE(both, HFILE_ERROR);
    EXPECT_EQ(_lread(both, &c, 1), 1u);
    EXPECT_EQ(_lwrite(both, "Y", 1), 1u);
    _lclose(both);
    EXPECT_EQ(dir_.Read("data"), "XYc");
}

TEST_F(Files, ZeroByteWriteEndsTheFileAtThePosition) {
    dir_.Write("data", "0123456789");
    HFILE file = _lopen(dir_.WindowsPath("data").c_str(), OF_READWRITE);
    _llseek(file, 4, FILE_BEGIN);
    EXPECT_EQ(_lwrite(file, "", 0), 0u);
    _lclose(file);
    EXPECT_EQ(dir_.Read("data"), "0123");
}

TEST_F(Files, FailuresGiveHfileErrorAndACode) {
    EXPECT_EQ(_lopen(dir_.WindowsPath("missing").c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(_lcreat(dir_.WindowsPath("no\\such\\dir").c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(_lopen(dir_.path().c_str(), OF_READ), HFILE_ERROR);  // a directory is no file
    EXPECT_EQ(_lopen(nullptr, OF_READ), HFILE_ERROR);
    EXPECT_EQ(_lclose(HFILE_ERROR), HFILE_ERROR);
    HFILE file = _lcreat(dir_.WindowsPath("f").c_str(), 0);
    EXPECT_EQ(_llseek(file, -1, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(_llseek(file, 0, 7), HFILE_ERROR);
    _lclose(file);
}

TEST_F(Files, UnwritableDirectoryRefusesCreation) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(_lcreat(dir_.WindowsPath("book.adb").c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Files, WriteFailureSwitchActsAsAFullDisk) {
    HFILE file = _lcreat(dir_.WindowsPath("f").c_str(), 0);
    portable::FailFileWrites(1, 1);
    EXPECT_EQ(_lwrite(file, "ab", 2), 2u);
    EXPECT_EQ(_lwrite(file, "cd", 2), static_cast<UINT>(HFILE_ERROR));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(_lwrite(file, "ef", 2), 2u);
    _lclose(file);
    EXPECT_EQ(dir_.Read("f"), "abef");
}

TEST_F(Files, MoveReplacesOnlyWhenAsked) {
    dir_.Write("new", "fresh");
    dir_.Write("old", "stale");
    EXPECT_FALSE(MoveFileExA(dir_.WindowsPath("new").c_str(), dir_.WindowsPath("old").c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(dir_.Read("old"), "stale");
    EXPECT_TRUE(MoveFileExA(dir_.WindowsPath("new").c_str(), dir_.WindowsPath("old").c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(dir_.Read("old"), "fresh");
    EXPECT_FALSE(std::filesystem::exists(dir_.HostPath("new")));
    EXPECT_FALSE(MoveFileExA(dir_.WindowsPath("gone").c_str(), dir_.WindowsPath("old").c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, DeleteRemovesFilesOnly) {
    dir_.Write("f", "x");
    EXPECT_TRUE(DeleteFileA(dir_.WindowsPath("f").c_str()));
    EXPECT_FALSE(std::filesystem::exists(dir_.HostPath("f")));
    EXPECT_FALSE(DeleteFileA(dir_.WindowsPath("f").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(dir_.path().c_str()));
}

}  // namespace
