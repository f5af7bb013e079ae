// The allocation layer: every record is a zero-filled block of moveable
// global memory, locked for its whole life, so a pointer to it stays valid
// and the handle behind it can always be found again with GlobalHandle.
#include <cstring>

#include "addrbook/records.h"
#include "platform/win32api.h"

uint16_t CreatePtr(void **block, size_t size) {
    *block = nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (memory == nullptr) return ERR_NO_MEMORY;
    void *address = GlobalLock(memory);
    if (address == nullptr) {
        GlobalFree(memory);
        return ERR_NO_MEMORY;
    }
    // GMEM_ZEROINIT already clears it; the records rely on it, so make sure.
    std::memset(address, 0, size);
    *block = address;
    return ERR_NONE;
}

uint16_t DisposePtr(void **block) {
    if (block == nullptr || *block == nullptr) return ERR_NONE;
    HGLOBAL memory = GlobalHandle(*block);
    if (memory != nullptr) {
        GlobalUnlock(memory);
        GlobalFree(memory);
    }
    *block = nullptr;
    return ERR_NONE;
}
