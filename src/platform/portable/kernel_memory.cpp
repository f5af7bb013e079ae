// Global memory with real handles. A moveable block is known by a handle
// that is never a valid data address (it has bit 2 set, where heap
// addresses are 16-byte aligned) and is reached through GlobalLock; a fixed
// block's handle is its address. GlobalAlloc passes the kernel call table,
// so tests reach every out-of-memory path.
#include "host.h"
#include "kernel_state.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <unordered_map>

namespace portable {

namespace {

struct Block {
    void *data = nullptr;
    size_t size = 0;
    bool moveable = false;
    unsigned locks = 0;
};

struct GlobalHeap {
    std::unordered_map<HGLOBAL, Block> byHandle;
    std::unordered_map<const void *, HGLOBAL> byAddress;
    uintptr_t nextHandle = 0x10004;
};

GlobalHeap &Heap() {
    static GlobalHeap heap;
    return heap;
}

Block *FindBlock(HGLOBAL memory) {
    auto found = Heap().byHandle.find(memory);
    return found == Heap().byHandle.end() ? nullptr : &found->second;
}

}  // namespace

int LiveGlobalBlocks() { return static_cast<int>(Heap().byHandle.size()); }

}  // namespace portable

using portable::Heap;

HGLOBAL WINAPI GlobalAlloc(UINT flags, size_t bytes) {
    if (portable::KernelCallFails(portable::KERNEL_GLOBAL_ALLOC)) return nullptr;
    // At least one byte, so a zero-sized fixed block still has an address of its own.
    void *data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (data == nullptr) {
        portable::SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    portable::GlobalHeap &heap = Heap();
    bool moveable = (flags & GMEM_MOVEABLE) != 0;
    HGLOBAL handle;
    if (moveable) {
        handle = reinterpret_cast<HGLOBAL>(heap.nextHandle);
        heap.nextHandle += 8;
    } else {
        handle = data;
    }
    // Windows answers a full heap with null, never with an exception.
    try {
        heap.byHandle[handle] = portable::Block{data, bytes, moveable, 0};
        heap.byAddress[data] = handle;
    } catch (const std::bad_alloc &) {
        heap.byHandle.erase(handle);
        std::free(data);
        portable::SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return handle;
}

LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    portable::Block *block = portable::FindBlock(memory);
    if (block == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!block->moveable) return block->data;
    // Windows gives no address for a zero-sized moveable block.
    if (block->size == 0) return nullptr;
    ++block->locks;
    return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
    portable::Block *block = portable::FindBlock(memory);
    if (block == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!block->moveable) return TRUE;
    if (block->locks == 0) {
        portable::SetLastErrorCode(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --block->locks;
    if (block->locks == 0) {
        portable::SetLastErrorCode(NO_ERROR);
        return FALSE;
    }
    return TRUE;
}

HGLOBAL WINAPI GlobalHandle(LPCVOID pointer) {
    auto found = Heap().byAddress.find(pointer);
    if (found == Heap().byAddress.end()) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return found->second;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    if (memory == nullptr) return nullptr;
    portable::Block *block = portable::FindBlock(memory);
    if (block == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return memory;
    }
    // Windows frees a block even while it is locked.
    Heap().byAddress.erase(block->data);
    std::free(block->data);
    Heap().byHandle.erase(memory);
    return nullptr;
}

size_t WINAPI GlobalSize(HGLOBAL memory) {
    portable::Block *block = portable::FindBlock(memory);
    if (block == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return 0;
    }
    return block->size;
}

UINT WINAPI GlobalFlags(HGLOBAL memory) {
    portable::Block *block = portable::FindBlock(memory);
    if (block == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return GMEM_INVALID_HANDLE;
    }
    return block->locks & GMEM_LOCKCOUNT;
}
