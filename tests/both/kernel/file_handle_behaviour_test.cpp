// Files by handle, replacing a file by another and locking, over real files.
#include "support/kernel_harness.h"

#include <gtest/gtest.h>

namespace {

class FileHandles : public ::testing::Test {
protected:
    HANDLE Open(const std::string &name, DWORD access, DWORD disposition) {
        return CreateFileA(dir_.Path(name).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    kernel::ScratchDirectory dir_;
};

TEST_F(FileHandles, CreateNewMakesOnlyANameThatIsFree) {
    HANDLE file = Open("book", GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD count = 0;
    EXPECT_TRUE(WriteFile(file, "hello, fax", 10, &count, nullptr));
    EXPECT_EQ(count, 10u);
    EXPECT_TRUE(FlushFileBuffers(file));
    char byte;
    EXPECT_FALSE(ReadFile(file, &byte, 1, &count, nullptr)) << "a handle that may only write";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(Open("book", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(dir_.Read("book"), "hello, fax");
}

TEST_F(FileHandles, ReadingGivesTheSizeAndTheBytesToTheEnd) {
    dir_.Write("book", std::string(5000, 'b'));
    HANDLE file = Open("book", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 5000u);
    EXPECT_EQ(high, 0u);
    char buffer[4096];
    DWORD count = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(count, 4096u);
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(count, 904u);
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(count, 0u) << "the end is no failure";
    EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FileHandles, OpeningWhatIsNotThereOrNotAFileSaysWhy) {
    EXPECT_EQ(Open("missing", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Open("no\\such", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(std::filesystem::create_directory(dir_.NativePath("folder")));
    EXPECT_EQ(Open("folder", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE made = Open("made", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    EXPECT_NE(made, INVALID_HANDLE_VALUE) << "open always makes what is missing";
    CloseHandle(made);
    EXPECT_TRUE(dir_.Exists("made"));
}

TEST_F(FileHandles, ReplaceGivesTheReplacementTheName) {
    dir_.Write("book", "old");
    dir_.Write("book.new", "new");
    EXPECT_TRUE(ReplaceFileA(dir_.Path("book").c_str(), dir_.Path("book.new").c_str(), nullptr,
                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
    EXPECT_EQ(dir_.Read("book"), "new");
    EXPECT_FALSE(dir_.Exists("book.new"));
    // Nothing to replace: the caller moves the file there instead.
    dir_.Write("book.new", "first");
    EXPECT_FALSE(ReplaceFileA(dir_.Path("absent").c_str(), dir_.Path("book.new").c_str(), nullptr,
                              REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(dir_.Read("book.new"), "first");
}

TEST_F(FileHandles, AnExclusiveLockKeepsOtherHandlesOut) {
    HANDLE first = Open("lock", GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    HANDLE second = Open("lock", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    OVERLAPPED at{};
    EXPECT_TRUE(LockFileEx(first, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at));
    EXPECT_FALSE(LockFileEx(second, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LOCK_VIOLATION));
    EXPECT_TRUE(UnlockFileEx(first, 0, 1, 0, &at));
    EXPECT_TRUE(LockFileEx(second, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at))
        << "a handle that may only read locks too";
    EXPECT_FALSE(LockFileEx(first, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at));
    CloseHandle(second);  // closing releases the lock
    EXPECT_TRUE(LockFileEx(first, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at));
    CloseHandle(first);
}

}  // namespace
