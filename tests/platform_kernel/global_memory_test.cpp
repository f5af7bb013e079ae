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

TEST_F(GlobalMemory, MoveableHandleIsNotTheAddressAndRoundTrips) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(handle, nullptr);
    char *data = static_cast<char *>(GlobalLock(handle));
    ASSERT_NE(data, nullptr);
    EXPECT_NE(static_cast<void *>(data), handle);
    EXPECT_EQ(GlobalHandle(data), handle);
    EXPECT_EQ(GlobalSize(handle), 64u);
    std::memset(data, 'x', 64);  // the whole block is usable
    EXPECT_FALSE(GlobalUnlock(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST_F(GlobalMemory, LockCountsNest) {
    HGLOBAL handle = GlobalAlloc(GHND, 8);
    void *first = GlobalLock(handle);
    void *second = GlobalLock(handle);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(handle));   // still locked once
    EXPECT_FALSE(GlobalUnlock(handle));  // now unlocked
    EXPECT_FALSE(GlobalUnlock(handle));  // was not locked
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    GlobalFree(handle);
}

TEST_F(GlobalMemory, ZeroInitFillsWithZeros) {
    // Dirty the heap first so that a missing zero-fill would show.
    for (int i = 0; i < 4; ++i) {
        HGLOBAL dirty = GlobalAlloc(GMEM_MOVEABLE, 4096);
        std::memset(GlobalLock(dirty), 0xAB, 4096);
        GlobalUnlock(dirty);
        GlobalFree(dirty);
    }
    for (UINT flags : {UINT(GHND), UINT(GPTR)}) {
        HGLOBAL handle = GlobalAlloc(flags, 4096);
        const unsigned char *data = static_cast<const unsigned char *>(GlobalLock(handle));
        ASSERT_NE(data, nullptr);
        for (int i = 0; i < 4096; ++i) ASSERT_EQ(data[i], 0) << "byte " << i << " flags " << flags;
        GlobalUnlock(handle);
        GlobalFree(handle);
    }
}

TEST_F(GlobalMemory, FixedBlockIsItsOwnHandle) {
    HGLOBAL handle = GlobalAlloc(GMEM_FIXED, 16);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalLock(handle), handle);
    EXPECT_EQ(GlobalHandle(handle), handle);
    EXPECT_TRUE(GlobalUnlock(handle));  // fixed memory has no lock count
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

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

TEST_F(GlobalMemory, ZeroSizedMoveableBlockHasNoAddress) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalLock(handle), nullptr);
    EXPECT_EQ(GlobalSize(handle), 0u);
    GlobalFree(handle);
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

TEST_F(GlobalMemory, ManyBlocksKeepDistinctHandles) {
    HGLOBAL handles[100];
    for (int i = 0; i < 100; ++i) {
        handles[i] = GlobalAlloc(GHND, 4);
        *static_cast<int *>(GlobalLock(handles[i])) = i;
        GlobalUnlock(handles[i]);
    }
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(*static_cast<int *>(GlobalLock(handles[i])), i);
        GlobalUnlock(handles[i]);
        GlobalFree(handles[i]);
    }
}

}  // namespace
