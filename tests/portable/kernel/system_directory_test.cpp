// The system directory the host sets, read with Windows' buffer rules.
#include "platform/portable/host.h"
#include "platform/win32api.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

class SystemDirectory : public ::testing::Test {
protected:
    void TearDown() override { portable::SetSystemDirectory(saved_); }
    std::string saved_ = [] {
        char buffer[MAX_PATH] = "";
        GetSystemDirectoryA(buffer, sizeof buffer);
        return std::string(buffer);
    }();
};

TEST_F(SystemDirectory, GivesWhatTheHostSetWithoutTrailingSeparator) {
    portable::SetSystemDirectory("/tmp/orvix-system/");
    char buffer[MAX_PATH];
    EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof buffer), std::strlen("/tmp/orvix-system"));
    EXPECT_STREQ(buffer, "/tmp/orvix-system");
}

TEST_F(SystemDirectory, SmallBufferGetsNothingAndTheSizeNeeded) {
    portable::SetSystemDirectory("/abc");
    char buffer[4] = "xyz";
    EXPECT_EQ(GetSystemDirectoryA(buffer, 4), 5u);  // four characters and the terminator
    EXPECT_STREQ(buffer, "xyz");
    char exact[5];
    EXPECT_EQ(GetSystemDirectoryA(exact, 5), 4u);
    EXPECT_STREQ(exact, "/abc");
}

TEST_F(SystemDirectory, UnsetDirectoryIsAFailure) {
    portable::SetSystemDirectory("");
    char buffer[MAX_PATH];
    EXPECT_EQ(GetSystemDirectoryA(buffer, sizeof buffer), 0u);
}

TEST(ModuleInstance, IsFixedAndNotNull) {
    EXPECT_NE(portable::ModuleInstance(), nullptr);
    EXPECT_EQ(portable::ModuleInstance(), portable::ModuleInstance());
}

}  // namespace
