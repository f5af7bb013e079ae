// Global memory: handles, locks, zero-fill and the failure switch.
#include "platform/portable/host.h"
#include "platform/win32api.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class GlobalMemory : public ::testing::Test {
protected:
    void SetUp() override { live_ = portable::LiveGlobalBlocks(); }
    void TearDown() override {
        portable::FailAllocations(0, 0);
        EXPECT_EQ(portable::LiveGlobalBlocks(), live_) << "a test leaked a block";
    }
    int live_ = 0;
};

TEST_F(GlobalMemory, FreeWhileLockedReleasesTheBlock) {
    HGLOBAL handle = GlobalAlloc(GHND, 32);
    void *data = GlobalLock(handle);
    EXPECT_EQ(GlobalFree(handle), nullptr);
    EXPECT_EQ(GlobalHandle(data), nullptr);
    EXPECT_EQ(GlobalLock(handle), nullptr);
}

TEST_F(GlobalMemory, UnknownHandlesFailCleanly) {
    int local = 0;
    HGLOBAL bogus = reinterpret_cast<HGLOBAL>(&local);
    EXPECT_EQ(GlobalLock(bogus), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(GlobalUnlock(bogus));
    EXPECT_EQ(GlobalSize(bogus), 0u);
    EXPECT_EQ(GlobalHandle(&local), nullptr);
    EXPECT_EQ(GlobalFree(bogus), bogus);  // failure gives the handle back
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST_F(GlobalMemory, DoubleFreeIsRefused) {
    HGLOBAL handle = GlobalAlloc(GHND, 8);
    EXPECT_EQ(GlobalFree(handle), nullptr);
    EXPECT_EQ(GlobalFree(handle), handle);
}

TEST_F(GlobalMemory, FailureSwitchSkipsThenFailsThenRecovers) {
    portable::FailAllocations(2, 1);
    HGLOBAL first = GlobalAlloc(GHND, 8);  // skipped: succeeds
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalAlloc(GPTR, 8), nullptr);
    HGLOBAL after = GlobalAlloc(GHND, 8);  // the switch has run out
    EXPECT_NE(after, nullptr);
    GlobalFree(first);
    GlobalFree(after);
}

TEST_F(GlobalMemory, FailureSwitchOffAgain) {
    portable::FailAllocations(5);
    portable::FailAllocations(0, 0);
    HGLOBAL handle = GlobalAlloc(GHND, 8);
    EXPECT_NE(handle, nullptr);
    GlobalFree(handle);
}

}  // namespace
