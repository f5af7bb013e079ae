// Directories and what stands at a path, as the module looks for the
// user's own copy and makes its folder.
#include "support/kernel_harness.h"

#include <gtest/gtest.h>

namespace {

class Folders : public ::testing::Test {
protected:
    kernel::ScratchDirectory dir_;
};

TEST_F(Folders, ADirectoryIsMadeOnceAndAnyNameTakenIsAlreadyThere) {
    const std::string folder = dir_.Path("OrvixFax");
    EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    DWORD attributes = GetFileAttributesA(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(CreateDirectoryA(folder.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    dir_.Write("file", "x");
    EXPECT_FALSE(GetFileAttributesA(dir_.Path("file").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(CreateDirectoryA(dir_.Path("file").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST_F(Folders, AMissingDirectoryOnTheWayIsAPathNotFound) {
    const std::string deep = dir_.Path("missing\\OrvixFax");
    EXPECT_FALSE(CreateDirectoryA(deep.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA((deep + "\\OrvixFax.adb").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

}  // namespace
