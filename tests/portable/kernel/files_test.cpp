// The _l* file functions, moving and deleting, over real files.
#include "platform/portable/host.h"
#include "platform/win32api.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class Files : public ::testing::Test {
protected:
    void TearDown() override { portable::FailFileWrites(0, 0); }
    TempDirectory dir_;
};

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
    namespace fs = std::filesystem;
    fs::permissions(dir_.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                     fs::perms::others_exec);
    // Root writes into any directory: a child that gives root up tries.
    pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        HFILE file = _lcreat(dir_.WindowsPath("book.adb").c_str(), 0);
        HANDLE handle = CreateFileA(dir_.WindowsPath("book.adb").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        _exit(file == HFILE_ERROR && handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
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

}  // namespace
