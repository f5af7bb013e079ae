// Global memory: handles, locks, zero-fill and the failure switch.
#include "platform/portable/host.h"
#include "platform/win32api.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

class GlobalMemory : public ::testing::Test {
protected:
    void SetUp() override { live_ = portable::LiveGlobalBlocks(); }
    void TearDown() override {
        portable::ClearKernelFaults();
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

// The block made or found last is the one the next call most likely
// names; it is still told apart from a handle of the other kind, and once
// freed it is no block, small or large.
TEST_F(GlobalMemory, TheBlockFoundLastIsStillCheckedByKindAndRelease) {
    for (size_t size : {24u, 20000u}) {
        HGLOBAL fixed = GlobalAlloc(GPTR, size);
        ASSERT_NE(fixed, nullptr);
        auto *data = static_cast<char *>(fixed);
        // Its header's address as a moveable handle names nothing.
        EXPECT_EQ(GlobalLock(reinterpret_cast<HGLOBAL>(data - 4)), nullptr) << size;
        EXPECT_EQ(GlobalHandle(data), fixed);
        EXPECT_EQ(GlobalFree(fixed), nullptr);
        EXPECT_EQ(GlobalHandle(data), nullptr) << size;
        EXPECT_EQ(GlobalSize(fixed), 0u) << size;

        HGLOBAL moveable = GlobalAlloc(GHND, size);
        ASSERT_NE(moveable, nullptr);
        void *locked = GlobalLock(moveable);
        ASSERT_NE(locked, nullptr);
        EXPECT_EQ(GlobalHandle(locked), moveable);
        EXPECT_EQ(GlobalFree(moveable), nullptr);
        EXPECT_EQ(GlobalUnlock(moveable), FALSE);
        EXPECT_EQ(GlobalLock(moveable), nullptr) << size;
        EXPECT_EQ(GlobalFree(moveable), moveable) << size;
    }
}

// Blocks of every size class and of the C heap side by side: each keeps
// its own bytes and size, finds its handle from its address, and a freed
// slot given out again belongs to the new block alone.
TEST_F(GlobalMemory, BlocksOfEverySizeStayApartThroughFreeAndReuse) {
    std::vector<size_t> sizes;
    for (size_t size = 0; size <= 1100; size += 7) sizes.push_back(size);
    // Past the slots, the C heap's blocks; past 1 MB, blocks of a mapping
    // of their own, at the edges of its pages.
    for (size_t size : {8176u, 8183u, 8184u, 8185u, 8192u, 20000u, 102400u, 1048576u, 1048577u, 2097136u, 2097137u,
                        5000000u})
        sizes.push_back(size);
    std::vector<HGLOBAL> handles;
    for (size_t i = 0; i < sizes.size(); ++i) {
        HGLOBAL handle = GlobalAlloc(i % 2 ? GPTR : GHND, sizes[i]);
        ASSERT_NE(handle, nullptr) << sizes[i];
        handles.push_back(handle);
        if (sizes[i] == 0) continue;
        auto *data = static_cast<unsigned char *>(GlobalLock(handle));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(data) % 8, 0u);
        EXPECT_EQ(GlobalHandle(data), handle);
        EXPECT_EQ(GlobalSize(handle), sizes[i]);
        std::memset(data, static_cast<int>(i & 0xFF), sizes[i]);
        // Inside a block or just past it is no block's address.
        EXPECT_EQ(GlobalHandle(data + 8), nullptr);
        EXPECT_EQ(GlobalHandle(data + sizes[i] + 8), nullptr);
        EXPECT_EQ(GlobalLock(reinterpret_cast<HGLOBAL>(data + 8)), nullptr);
    }
    // Free every other block, then take the same sizes again.
    std::vector<void *> freedData(sizes.size(), nullptr);
    for (size_t i = 0; i < sizes.size(); i += 2) {
        freedData[i] = sizes[i] ? GlobalLock(handles[i]) : nullptr;
        EXPECT_EQ(GlobalFree(handles[i]), nullptr);
        EXPECT_EQ(GlobalSize(handles[i]), 0u);
        if (freedData[i]) {
            EXPECT_EQ(GlobalHandle(freedData[i]), nullptr);
        }
    }
    for (size_t i = 0; i < sizes.size(); i += 2) {
        handles[i] = GlobalAlloc(GHND, sizes[i]);
        ASSERT_NE(handles[i], nullptr);
        EXPECT_EQ(GlobalSize(handles[i]), sizes[i]);
        if (sizes[i] == 0) continue;
        auto *data = static_cast<unsigned char *>(GlobalLock(handles[i]));
        for (size_t b = 0; b < sizes[i]; ++b) ASSERT_EQ(data[b], 0) << "size " << sizes[i];
        std::memset(data, static_cast<int>(i & 0xFF), sizes[i]);
    }
    for (size_t i = 0; i < sizes.size(); ++i) {
        if (sizes[i] == 0) {
            GlobalFree(handles[i]);
            continue;
        }
        auto *data = static_cast<unsigned char *>(GlobalLock(handles[i]));
        for (size_t b = 0; b < sizes[i]; ++b) ASSERT_EQ(data[b], i & 0xFF) << "size " << sizes[i];
        EXPECT_EQ(GlobalFree(handles[i]), nullptr);
    }
}

// A slot given out again is a new block whatever its last block was:
// no locks, its own size and kind, its handle found from its data; asked
// zeroed it reads zero, else it may keep the old bytes.
TEST_F(GlobalMemory, AReusedSlotStartsAsANewBlockOfItsOwnKind) {
    for (UINT again : {UINT(GMEM_MOVEABLE), UINT(GMEM_FIXED), UINT(GHND), UINT(GPTR)}) {
        SCOPED_TRACE(again);
        HGLOBAL old = GlobalAlloc(GHND, 40);
        auto *oldData = static_cast<unsigned char *>(GlobalLock(old));
        GlobalLock(old);
        GlobalLock(old);
        std::memset(oldData, 0xEE, 40);
        ASSERT_EQ(GlobalFree(old), nullptr);

        HGLOBAL handle = GlobalAlloc(again, 36);
        ASSERT_NE(handle, nullptr);
        EXPECT_EQ(GlobalFlags(handle), 0u) << "no lock count left from the last block";
        EXPECT_EQ(GlobalSize(handle), 36u);
        auto *data = static_cast<unsigned char *>(GlobalLock(handle));
        ASSERT_EQ(data, oldData) << "the freed slot comes first";
        EXPECT_EQ(GlobalHandle(data), handle);
        const bool moveable = (again & GMEM_MOVEABLE) != 0;
        EXPECT_EQ(static_cast<void *>(handle) == static_cast<void *>(data), !moveable);
        EXPECT_EQ(GlobalFlags(handle), moveable ? 1u : 0u);
        if (again & GMEM_ZEROINIT) {
            for (int b = 0; b < 36; ++b) ASSERT_EQ(data[b], 0) << b;
        }
        if (moveable) {
            EXPECT_EQ(GlobalUnlock(handle), FALSE) << "its one lock was the last";
        }
        EXPECT_EQ(GlobalFree(handle), nullptr);
        EXPECT_EQ(GlobalHandle(data), nullptr);
    }
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

DWORD RefuseAccess(portable::KernelCall, const char *) { return ERROR_ACCESS_DENIED; }

// A switch that runs out leaves a fault of the same or another entry in
// force; clearing the table lets every call through again.
TEST_F(GlobalMemory, FaultOutlivesASwitchThatRunsOut) {
    portable::FailAllocations(1);
    portable::FailFileWrites(5);
    portable::SetKernelFault(portable::KERNEL_GLOBAL_ALLOC, RefuseAccess);
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(portable::SetKernelFault(portable::KERNEL_GLOBAL_ALLOC, nullptr), RefuseAccess);
    HGLOBAL made = GlobalAlloc(GHND, 8);
    EXPECT_NE(made, nullptr);
    GlobalFree(made);

    portable::FailAllocations(1);
    portable::FailKernelCalls(portable::KERNEL_FILE_WRITE, 0, 0, 0);
    EXPECT_EQ(GlobalAlloc(GHND, 8), nullptr) << "the other entry's switch went off, not this one";
    portable::FailAllocations(3);
    portable::ClearKernelFaults();
    made = GlobalAlloc(GHND, 8);
    EXPECT_NE(made, nullptr);
    GlobalFree(made);
}

}  // namespace
