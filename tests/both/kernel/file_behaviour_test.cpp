// The _l* file functions, moving and deleting, over real files.
#include "support/kernel_harness.h"

#include <gtest/gtest.h>

namespace {

class Files : public ::testing::Test {
protected:
    kernel::ScratchDirectory dir_;
};

TEST_F(Files, CreateWriteSeekReadRoundTrip) {
    HFILE file = _lcreat(dir_.Path("book.adb").c_str(), 0);
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
    HFILE file = _lcreat(dir_.Path("book.adb").c_str(), 0);
    ASSERT_NE(file, HFILE_ERROR);
    _lwrite(file, "new", 3);
    _lclose(file);
    EXPECT_EQ(dir_.Read("book.adb"), "new");
}

TEST_F(Files, OpenModesAllowOnlyWhatTheyName) {
    dir_.Write("data", "abc");
    std::string path = dir_.Path("data");
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
    HFILE file = _lopen(dir_.Path("data").c_str(), OF_READWRITE);
    ASSERT_NE(file, HFILE_ERROR);
    _llseek(file, 4, FILE_BEGIN);
    EXPECT_EQ(_lwrite(file, "", 0), 0u);
    _lclose(file);
    EXPECT_EQ(dir_.Read("data"), "0123");
}

TEST_F(Files, FailuresGiveHfileError) {
    EXPECT_EQ(_lopen(dir_.Path("missing").c_str(), OF_READ), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(_lcreat(dir_.Path("no\\such\\dir").c_str(), 0), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(_lopen(dir_.Directory().c_str(), OF_READ), HFILE_ERROR);  // a directory is no file
    HFILE file = _lcreat(dir_.Path("f").c_str(), 0);
    EXPECT_EQ(_llseek(file, -1, FILE_BEGIN), HFILE_ERROR);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    _lclose(file);
}

TEST_F(Files, MoveReplacesOnlyWhenAsked) {
    dir_.Write("new", "fresh");
    dir_.Write("old", "stale");
    EXPECT_FALSE(MoveFileExA(dir_.Path("new").c_str(), dir_.Path("old").c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(dir_.Read("old"), "stale");
    EXPECT_TRUE(MoveFileExA(dir_.Path("new").c_str(), dir_.Path("old").c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    EXPECT_EQ(dir_.Read("old"), "fresh");
    EXPECT_FALSE(dir_.Exists("new"));
    EXPECT_FALSE(MoveFileExA(dir_.Path("gone").c_str(), dir_.Path("old").c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, DeleteRemovesFilesOnly) {
    dir_.Write("f", "x");
    EXPECT_TRUE(DeleteFileA(dir_.Path("f").c_str()));
    EXPECT_FALSE(dir_.Exists("f"));
    EXPECT_FALSE(DeleteFileA(dir_.Path("f").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFileA(dir_.Directory().c_str()));
}

}  // namespace
