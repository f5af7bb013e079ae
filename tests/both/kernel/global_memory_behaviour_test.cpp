// Global memory as Windows gives it: handles, lock counts, zero-fill.
#include "support/kernel_harness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(GlobalMemory, MoveableHandleIsNotTheAddressAndRoundTrips) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 64);
    ASSERT_NE(handle, nullptr);
    char *data = static_cast<char *>(GlobalLock(handle));
    ASSERT_NE(data, nullptr);
    EXPECT_NE(static_cast<void *>(data), handle);
    EXPECT_EQ(GlobalHandle(data), handle);
    EXPECT_GE(GlobalSize(handle), 64u);
    std::memset(data, 'x', 64);  // the whole block is usable
    SetLastError(12345);
    EXPECT_FALSE(GlobalUnlock(handle));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));  // unlocked, not failed
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST(GlobalMemory, LockCountsNest) {
    HGLOBAL handle = GlobalAlloc(GHND, 8);
    void *first = GlobalLock(handle);
    void *second = GlobalLock(handle);
    EXPECT_EQ(first, second);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 2u);
    EXPECT_TRUE(GlobalUnlock(handle));   // still locked once
    EXPECT_FALSE(GlobalUnlock(handle));  // now unlocked
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 0u);
    EXPECT_FALSE(GlobalUnlock(handle));  // was not locked
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));
    GlobalFree(handle);
}

TEST(GlobalMemory, ZeroInitFillsWithZeros) {
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

TEST(GlobalMemory, FixedBlockIsItsOwnHandleWithoutLockCount) {
    HGLOBAL handle = GlobalAlloc(GMEM_FIXED, 16);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalLock(handle), handle);
    EXPECT_EQ(GlobalHandle(handle), handle);
    EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 0u);
    EXPECT_TRUE(GlobalUnlock(handle));
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST(GlobalMemory, LockedBlockCanBeFreed) {
    HGLOBAL handle = GlobalAlloc(GHND, 32);
    ASSERT_NE(GlobalLock(handle), nullptr);
    EXPECT_EQ(GlobalFree(handle), nullptr);
}

TEST(GlobalMemory, ZeroSizedMoveableBlockHasAHandleButNoAddress) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, 0);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(GlobalLock(handle), nullptr);
    EXPECT_EQ(GlobalSize(handle), 0u);
    GlobalFree(handle);
}

TEST(GlobalMemory, ManyBlocksKeepDistinctHandlesAndContents) {
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
