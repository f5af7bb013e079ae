// The allocation layer: every record is a zero-filled block of moveable
// global memory, locked for its whole life, so a pointer to it stays valid
// and the handle behind it can always be found again with GlobalHandle.
#include "addrbook/records.h"
#include "common/locked_block.h"

uint16_t CreatePtr(void **block, size_t size) {
    *block = nullptr;
    // The records rely on GMEM_ZEROINIT: a new record's fields and next
    // pointer start empty.
    void *address = NewLockedBlock(size, GMEM_MOVEABLE | GMEM_ZEROINIT);
    if (address == nullptr) return ERR_NO_MEMORY;
    *block = address;
    return ERR_NONE;
}

uint16_t DisposePtr(void **block) {
    if (block == nullptr || *block == nullptr) return ERR_NONE;
    FreeLockedBlock(*block);
    *block = nullptr;
    return ERR_NONE;
}
