// The user's application-data folder as the host names it, and the call
// table's entries for new names and for the folder itself.
#include "platform/portable/host.h"
#include "platform/win32api.h"
#include "support/temp_directory.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class AppDataFolder : public ::testing::Test {
protected:
    void TearDown() override {
        portable::SetAppDataDirectory("");
        portable::ClearKernelFaults();
    }
    TempDirectory dir_;
};

TEST_F(AppDataFolder, IsWhatTheHostNamedMadeOnlyWhenAsked) {
    char path[MAX_PATH] = "x";
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), E_FAIL)
        << "a host that names none has none, as a process without a user profile";
    EXPECT_STREQ(path, "");

    const std::string roaming = dir_.HostPath("Users/ann/AppData/Roaming");
    portable::SetAppDataDirectory(roaming + "/");
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), S_FALSE);
    EXPECT_FALSE(std::filesystem::exists(roaming));
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::string(path), roaming);
    EXPECT_TRUE(std::filesystem::is_directory(roaming));
    EXPECT_EQ(SHGetFolderPathA(nullptr, 0x0005 /* CSIDL_PERSONAL */, nullptr, SHGFP_TYPE_CURRENT, path), E_INVALIDARG);

    portable::FailKernelCalls(portable::KERNEL_FOLDER_PATH, 1, 0, ERROR_ACCESS_DENIED);
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path),
              HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
}

// "File create" stops only what would make a new name: an existing file
// still opens, for reading and for writing, as in a directory its user
// may not add to.
TEST_F(AppDataFolder, RefusedCreationsLeaveExistingFilesOpen) {
    dir_.Write("there", "x");
    portable::FailKernelCalls(portable::KERNEL_FILE_CREATE, 100, 0, ERROR_ACCESS_DENIED);
    HANDLE file = CreateFileA(dir_.WindowsPath("there").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    for (DWORD disposition : {CREATE_NEW, OPEN_ALWAYS}) {
        SetLastError(0);
        EXPECT_EQ(CreateFileA(dir_.WindowsPath("new").c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_FALSE(CreateDirectoryA(dir_.WindowsPath("folder").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(std::filesystem::exists(dir_.HostPath("new")));
}

}  // namespace
