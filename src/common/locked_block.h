// Blocks of moveable global memory kept locked for their whole life: the
// records, the job record and the tickets the module hands out. Their
// owner keeps only the pointer; the handle behind it is found again with
// GlobalHandle when the block goes, as a driver releases a ticket.
//
// Every record comes and goes this way, so both are inline: a large book
// makes and frees hundreds of thousands of them.
#ifndef ORVIXFAX_LOCKED_BLOCK_H
#define ORVIXFAX_LOCKED_BLOCK_H

#include <cstddef>

#include "platform/win32api.h"

// A locked block of `bytes`, zero-filled unless `flags` say otherwise; null
// when it cannot be had, with nothing left allocated.
inline void *NewLockedBlock(size_t bytes, UINT flags = GHND) {
    HGLOBAL handle = GlobalAlloc(flags, bytes);
    if (handle == nullptr) return nullptr;
    void *block = GlobalLock(handle);
    if (block == nullptr) GlobalFree(handle);
    return block;
}

// Unlocks and frees the block behind a locked block's pointer, as a driver
// releases what the module hands it. Null, or a pointer that is no block's,
// is left alone.
inline void FreeLockedBlock(const void *block) {
    if (block == nullptr) return;
    HGLOBAL handle = GlobalHandle(block);
    if (handle == nullptr) return;
    GlobalUnlock(handle);
    GlobalFree(handle);
}

#endif
