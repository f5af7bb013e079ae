#include "common/locked_block.h"

void *NewLockedBlock(size_t bytes, UINT flags) {
    HGLOBAL handle = GlobalAlloc(flags, bytes);
    if (handle == nullptr) return nullptr;
    void *block = GlobalLock(handle);
    if (block == nullptr) GlobalFree(handle);
    return block;
}

void FreeLockedBlock(const void *block) {
    if (block == nullptr) return;
    HGLOBAL handle = GlobalHandle(block);
    if (handle == nullptr) return;
    GlobalUnlock(handle);
    GlobalFree(handle);
}
