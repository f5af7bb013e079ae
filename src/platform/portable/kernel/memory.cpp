// Global memory with real handles, in a heap of the portable layer's own so
// that every call takes the same few steps however many blocks there are.
//
// Every block has an 8-byte header right in front of its data: its size,
// lock count, size class and state. A moveable block's handle is the
// header's address with bit 2 set, so handle and header find each other by
// arithmetic, and a handle is never a data address (data is 8-byte aligned,
// as 32-bit Windows gives it; a handle is not). A fixed block's handle is
// its address.
//
// Blocks of up to 8 KB live in one reserved address range, carved from
// 16 KB slabs that each hold slots of one size; freed slots go on a list
// per size and are used again first. Larger blocks, which are few, come
// from the C heap, or above 1 MB from a mapping of their own, and are kept
// in an ordered set. So whether a value names a live block is told without
// reading memory that is not the heap's: a small block's header lies in
// the range on a slot boundary of its slab, a large block's header is in
// the set.
//
// GlobalAlloc passes the kernel call table, so tests reach every
// out-of-memory path.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"
#include "platform/portable/made_on_first_use.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define ORVIX_HEAP_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORVIX_HEAP_ASAN 1
#endif
#endif

#ifdef ORVIX_HEAP_ASAN
// Headers, slack and free slots are poisoned, so a record written past its
// end or used after it was freed is caught as with the C heap; only the
// heap's own functions, which are not instrumented, touch them.
#include <sanitizer/asan_interface.h>
#define HEAP_INTERNAL __attribute__((no_sanitize_address))
#else
#define HEAP_INTERNAL
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace portable {

namespace {

enum : uint8_t { kFreeSlot = 0x3C, kLiveMoveable = 0xA5, kLiveFixed = 0x5A };
enum : uint8_t { kLargeClass = 0xFF };

struct BlockHeader {
    uint32_t size;      // as asked for
    uint16_t locks;     // moveable blocks only
    uint8_t sizeClass;  // kLargeClass for a block of the C heap
    uint8_t state;
};
static_assert(sizeof(BlockHeader) == 8, "the header keeps the data 8-byte aligned");

constexpr size_t kHeaderSize = sizeof(BlockHeader);
constexpr size_t kSlabSize = 16 * 1024;
constexpr size_t kCommitStep = 4 * 1024 * 1024;
// Slot sizes, header included: 16 to 1024 bytes in steps of 8 (records
// waste at most 7 bytes), then up to 8192 in steps of 128.
constexpr size_t kFineClasses = 127;
constexpr size_t kClassCount = kFineClasses + 56;
constexpr size_t kLargestSmallBlock = 8192 - kHeaderSize;
static_assert(kClassCount < kLargeClass, "a size class fits the header's byte");

size_t SizeClassOf(size_t bytes) {
    size_t slot = bytes + kHeaderSize;
    if (slot <= 1024) return slot <= 16 ? 0 : (slot + 7) / 8 - 2;
    return kFineClasses - 1 + (slot - 1024 + 127) / 128;
}

size_t SlotSize(size_t sizeClass) {
    if (sizeClass < kFineClasses) return (sizeClass + 2) * 8;
    return 1024 + (sizeClass - (kFineClasses - 1)) * 128;
}

// What a slab holds, kept apart from it so that telling whether a value
// names a slot reads no more than this and the header.
struct SlabSlots {
    uint16_t slotSize;
    uint8_t sizeClass;
};

struct SizeClass {
    char *freeSlots = nullptr;  // slot addresses; each free slot holds the next
    char *carve = nullptr;      // the next never-used slot of the newest slab
    char *carveEnd = nullptr;
};

// A freed large block kept for the next one of about its size. Tickets
// are written into fresh blocks of some hundred kilobytes, which the C
// heap would give back to the system and take again page fault by page
// fault; a few such blocks stay with the heap instead, as they would in a
// Windows process heap.
struct KeptBlock {
    char *memory;
    size_t room;  // data bytes it holds
};
constexpr size_t kKeptCount = 4;
constexpr size_t kKeptLargest = 1024 * 1024;

// Pages are made ready a batch at a time, in one call each, rather than
// one page fault at a time as they are first written: a large book's
// records take some 100 MB. They are not asked for as huge pages. A
// virtual machine that hands its free memory back to its host hands back
// whole 2 MB blocks, the very ones a huge page is made of, and the host
// then makes each of them again page by page: there a command run after a
// few idle seconds took 0.6 to 1.1 s in place of 0.14. Small pages come
// from memory freed lately, which the host still holds.
constexpr size_t kReadyStep = 256 * 1024;

void MakePagesReady(void *start, size_t length) {
#ifdef MADV_POPULATE_WRITE
    // Older systems refuse it; their pages are then made as they are written.
    madvise(start, length, MADV_POPULATE_WRITE);
#else
    (void)start, (void)length;
#endif
}

struct GlobalHeap {
    KeptBlock kept[kKeptCount] = {};
    size_t keptCount = 0;
    char *base = nullptr;  // the reserved range
    size_t reserved = 0;
    size_t committed = 0;  // readable and writable from the start
    size_t ready = 0;      // pages made ready from the start
    size_t used = 0;       // handed out as slabs
    bool reserveTried = false;
    std::vector<SlabSlots> slabs;  // per slab, in address order
    SizeClass classes[kClassCount];
    std::set<uintptr_t> largeHeaders;
    int liveBlocks = 0;
    // The header of the block made or found last, and its handle. The
    // calls on one block come in a row (made and locked; its handle found
    // and freed), and it stays live until it is released, so the next call
    // on it is spared the checks. Both are null when there is none.
    uintptr_t lastFound = 0;
    HGLOBAL lastHandle = nullptr;
};

constinit MadeOnFirstUse<GlobalHeap> heapMade;

inline GlobalHeap &Heap() { return heapMade.Get(); }

// Address space only: pages are made usable as slabs are needed, so the
// reservation costs no memory. Smaller ranges are tried when the system
// limits address space.
bool Reserve(GlobalHeap &heap) {
    if (heap.reserveTried) return heap.base != nullptr;
    heap.reserveTried = true;
    for (size_t size = size_t(64) << 30; size >= (size_t(256) << 20); size /= 2) {
        void *range = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (range == MAP_FAILED) continue;
        heap.base = static_cast<char *>(range);
        heap.reserved = size;
        return true;
    }
    return false;
}

char *NewSlab(GlobalHeap &heap, size_t sizeClass) {
    if (!Reserve(heap) || heap.used + kSlabSize > heap.reserved) return nullptr;
    if (heap.used + kSlabSize > heap.committed) {
        size_t step = kCommitStep < heap.reserved - heap.committed ? kCommitStep : heap.reserved - heap.committed;
        if (mprotect(heap.base + heap.committed, step, PROT_READ | PROT_WRITE) != 0) return nullptr;
        heap.committed += step;
    }
    if (heap.used + kSlabSize > heap.ready) {
        // A commit step is a whole number of these.
        MakePagesReady(heap.base + heap.ready, kReadyStep);
        heap.ready += kReadyStep;
    }
    try {
        heap.slabs.push_back(SlabSlots{static_cast<uint16_t>(SlotSize(sizeClass)), static_cast<uint8_t>(sizeClass)});
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
    char *slab = heap.base + heap.used;
    heap.used += kSlabSize;
    // Fresh pages read as zero, which no live header does.
    ASAN_POISON_MEMORY_REGION(slab, kSlabSize);
    return slab;
}

// Where a new block goes, and whether it reads zero already. A slot
// carved from a slab has never been written, so it reads zero as the
// system gave its pages; one from the free list holds what its last block
// left in it. A large block of a mapping of its own reads zero; one asked
// zeroed of the C heap comes from calloc, which clears only what the
// system did not give it cleared.
struct Slot {
    char *address;
    bool zeroed;
};

// Once per 16 KB of slots, so out of line: the calls on the many small
// blocks then save no more registers than they use.
__attribute__((noinline)) char *SlotOfNewSlab(GlobalHeap &heap, size_t sizeClass) {
    char *slab = NewSlab(heap, sizeClass);
    if (slab == nullptr) return nullptr;
    SizeClass &slots = heap.classes[sizeClass];
    slots.carve = slab + SlotSize(sizeClass);
    slots.carveEnd = slab + kSlabSize;
    return slab;
}

HEAP_INTERNAL Slot TakeSlot(GlobalHeap &heap, size_t sizeClass) {
    SizeClass &slots = heap.classes[sizeClass];
    if (slots.freeSlots != nullptr) {
        char *slot = slots.freeSlots;
        std::memcpy(&slots.freeSlots, slot + kHeaderSize, sizeof(char *));
        return Slot{slot, false};
    }
    size_t slotSize = SlotSize(sizeClass);
    if (slots.carve == nullptr || slots.carve + slotSize > slots.carveEnd) return Slot{SlotOfNewSlab(heap, sizeClass), true};
    char *slot = slots.carve;
    slots.carve += slotSize;
    return Slot{slot, true};
}

HEAP_INTERNAL char *DataOf(BlockHeader *header) { return reinterpret_cast<char *>(header) + kHeaderSize; }

// A moveable block's handle: its header's address with bit 2 set.
HEAP_INTERNAL HGLOBAL HandleOf(BlockHeader *header) {
    if (header->state == kLiveFixed) return DataOf(header);
    return reinterpret_cast<HGLOBAL>(reinterpret_cast<uintptr_t>(header) | 4);
}

HEAP_INTERNAL void NoteFound(GlobalHeap &heap, BlockHeader *header) {
    heap.lastFound = reinterpret_cast<uintptr_t>(header);
    heap.lastHandle = HandleOf(header);
}

// Out of line: the set is looked at only for addresses outside the range.
HEAP_INTERNAL __attribute__((noinline)) bool IsLargeHeader(GlobalHeap &heap, uintptr_t address) {
    return heap.largeHeaders.count(address) != 0;
}

// Whether `header`, `offset` bytes into the range, is on a slot boundary
// of its slab and names a live block of the slab's size class.
HEAP_INTERNAL inline bool IsLiveSlot(const GlobalHeap &heap, const BlockHeader *header, size_t offset) {
    const SlabSlots &slab = heap.slabs[offset / kSlabSize];
    // Both below 16 KB: the narrower division is the quicker one.
    auto inSlab = static_cast<uint32_t>(offset % kSlabSize);
    if (inSlab % slab.slotSize != 0 || inSlab + slab.slotSize > kSlabSize) return false;
    if (header->sizeClass != slab.sizeClass) return false;
    return header->state == kLiveMoveable || header->state == kLiveFixed;
}

// The header at `address` when it is the header of a live block, else null.
HEAP_INTERNAL BlockHeader *LiveHeader(GlobalHeap &heap, uintptr_t address) {
    uintptr_t base = reinterpret_cast<uintptr_t>(heap.base);
    BlockHeader *header = reinterpret_cast<BlockHeader *>(address);
    if (address == heap.lastFound && address != 0) return header;
    // Below the range, the difference wraps round to a value past its end.
    if (address - base < heap.used) {
        if (!IsLiveSlot(heap, header, address - base)) return nullptr;
    } else if (!IsLargeHeader(heap, address) || (header->state != kLiveMoveable && header->state != kLiveFixed)) {
        return nullptr;
    }
    NoteFound(heap, header);
    return header;
}

// The checks of FindBlock for any handle but the last one found.
HEAP_INTERNAL __attribute__((noinline)) BlockHeader *CheckedBlock(GlobalHeap &heap, HGLOBAL memory) {
    uintptr_t value = reinterpret_cast<uintptr_t>(memory);
    BlockHeader *header = nullptr;
    if ((value & 7) == 4) {
        header = LiveHeader(heap, value - 4);
        if (header != nullptr && header->state != kLiveMoveable) header = nullptr;
    } else if ((value & 7) == 0 && value >= kHeaderSize) {
        header = LiveHeader(heap, value - kHeaderSize);
        if (header != nullptr && header->state != kLiveFixed) header = nullptr;
    }
    if (header == nullptr) SetLastErrorCode(ERROR_INVALID_HANDLE);
    return header;
}

// The live block a handle names; null, with ERROR_INVALID_HANDLE as the
// last error, for any other handle. The last handle found names its block
// exactly, kind included, so it needs no more than the comparison.
HEAP_INTERNAL inline BlockHeader *FindBlock(GlobalHeap &heap, HGLOBAL memory) {
    if (memory == heap.lastHandle && memory != nullptr) return reinterpret_cast<BlockHeader *>(heap.lastFound);
    return CheckedBlock(heap, memory);
}

// A block of more than 1 MB has a mapping of its own, its pages made
// ready at once: the C heap would leave each 4 KB page to a fault of its
// own. Fresh pages read zero, and the pages go back to the system when
// the block is freed.
constexpr size_t kPage = 4096;
size_t MappedLength(size_t bytes) { return (bytes + 2 * kHeaderSize + kPage - 1) & ~(kPage - 1); }

char *MapLargeBlock(size_t bytes) {
    const size_t length = MappedLength(bytes);
    void *range = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (range == MAP_FAILED) return nullptr;
    MakePagesReady(range, length);
    return static_cast<char *>(range);
}

// The room of a large block that is not kept, to the system or the C heap
// it came from; its first word holds the data bytes it was made for.
// Unpoisoned first: the address may be given out again.
HEAP_INTERNAL void ReturnLargeRoom(char *memory) {
    size_t room;
    std::memcpy(&room, memory, sizeof room);
    if (room > kKeptLargest) {
        ASAN_UNPOISON_MEMORY_REGION(memory, MappedLength(room));
        munmap(memory, MappedLength(room));
    } else {
        ASAN_UNPOISON_MEMORY_REGION(memory, room + 2 * kHeaderSize);
        std::free(memory);
    }
}

// Large blocks are few: out of line, as a new slab is.
HEAP_INTERNAL __attribute__((noinline)) Slot NewLargeBlock(GlobalHeap &heap, size_t bytes, bool zeroInit) {
    // The block's room first, then the header in front of the data,
    // which stays as aligned as the C heap's.
    char *memory = nullptr;
    bool zeroed = false;
    for (size_t i = 0; i < heap.keptCount && memory == nullptr; ++i) {
        KeptBlock &kept = heap.kept[i];
        if (kept.room < bytes || kept.room / 2 > bytes) continue;
        memory = kept.memory;
        kept = heap.kept[--heap.keptCount];
    }
    if (memory == nullptr && bytes > kKeptLargest) {
        memory = MapLargeBlock(bytes);
        if (memory == nullptr) return Slot{nullptr, false};
        std::memcpy(memory, &bytes, sizeof bytes);
        // The bytes behind the block's end on its last page as well, as
        // the C heap's redzone.
        ASAN_POISON_MEMORY_REGION(memory, MappedLength(bytes));
        zeroed = true;
    }
    if (memory == nullptr) {
        size_t room = bytes + 2 * kHeaderSize;
        memory = static_cast<char *>(zeroInit ? std::calloc(1, room) : std::malloc(room));
        if (memory == nullptr) return Slot{nullptr, false};
        std::memcpy(memory, &bytes, sizeof bytes);
        zeroed = zeroInit;
    }
    ASAN_POISON_MEMORY_REGION(memory, 2 * kHeaderSize);
    auto *header = reinterpret_cast<BlockHeader *>(memory + kHeaderSize);
    // Windows answers a full heap with null, never with an exception.
    try {
        heap.largeHeaders.insert(reinterpret_cast<uintptr_t>(header));
    } catch (const std::bad_alloc &) {
        ReturnLargeRoom(memory);
        return Slot{nullptr, false};
    }
    return Slot{reinterpret_cast<char *>(header), zeroed};
}

HEAP_INTERNAL __attribute__((noinline)) void ReleaseLargeBlock(GlobalHeap &heap, BlockHeader *header) {
    heap.largeHeaders.erase(reinterpret_cast<uintptr_t>(header));
    char *memory = reinterpret_cast<char *>(header) - kHeaderSize;
    size_t room;
    std::memcpy(&room, memory, sizeof room);
    if (room <= kKeptLargest && heap.keptCount < kKeptCount) {
        header->state = kFreeSlot;
        heap.kept[heap.keptCount++] = KeptBlock{memory, room};
        ASAN_POISON_MEMORY_REGION(memory, room + 2 * kHeaderSize);
        return;
    }
    ReturnLargeRoom(memory);
}

HEAP_INTERNAL inline void WriteHeader(BlockHeader *header, size_t bytes, size_t sizeClass, UINT flags) {
    header->sizeClass = static_cast<uint8_t>(sizeClass);
    header->size = static_cast<uint32_t>(bytes);
    header->locks = 0;
    header->state = (flags & GMEM_MOVEABLE) ? kLiveMoveable : kLiveFixed;
    ASAN_UNPOISON_MEMORY_REGION(DataOf(header), bytes);
}

HEAP_INTERNAL BlockHeader *NewBlock(GlobalHeap &heap, size_t bytes, UINT flags) {
    Slot slot;
    size_t sizeClass = kLargeClass;
    if (bytes <= kLargestSmallBlock) {
        sizeClass = SizeClassOf(bytes);
        slot = TakeSlot(heap, sizeClass);
    } else {
        slot = NewLargeBlock(heap, bytes, (flags & GMEM_ZEROINIT) != 0);
    }
    if (slot.address == nullptr) return nullptr;
    auto *header = reinterpret_cast<BlockHeader *>(slot.address);
    WriteHeader(header, bytes, sizeClass, flags);
    if ((flags & GMEM_ZEROINIT) && !slot.zeroed) std::memset(DataOf(header), 0, bytes);
    return header;
}

HEAP_INTERNAL inline void ReleaseSlot(GlobalHeap &heap, BlockHeader *header) {
    header->state = kFreeSlot;
    char *slot = reinterpret_cast<char *>(header);
    SizeClass &slots = heap.classes[header->sizeClass];
    std::memcpy(slot + kHeaderSize, &slots.freeSlots, sizeof(char *));
    slots.freeSlots = slot;
    ASAN_POISON_MEMORY_REGION(slot, SlotSize(header->sizeClass));
}

HEAP_INTERNAL inline void ReleaseBlock(GlobalHeap &heap, BlockHeader *header) {
    if (heap.lastFound == reinterpret_cast<uintptr_t>(header)) {
        heap.lastFound = 0;
        heap.lastHandle = nullptr;
    }
    if (header->sizeClass == kLargeClass) {
        ReleaseLargeBlock(heap, header);
        return;
    }
    ReleaseSlot(heap, header);
}

// The calls take a few steps for the common case: a small block's slot
// at hand that needs no clearing, the block made or found last, a small
// block's header found from its data. Everything else goes the checked
// way, out of line and with the whole of each call's rules, so that the
// few steps save no registers and call nothing.

// A slot of the class that needs no clearing: a fresh one, or a used one
// for a block that need not read zero. Null when the checked way is to
// find one (a new slab, or a used slot to clear).
HEAP_INTERNAL inline char *QuickSlot(SizeClass &slots, size_t slotSize, UINT flags) {
    char *slot = slots.freeSlots;
    if (slot != nullptr) {
        if (flags & GMEM_ZEROINIT) return nullptr;
        std::memcpy(&slots.freeSlots, slot + kHeaderSize, sizeof(char *));
        return slot;
    }
    // Both null before the class's first slab.
    if (slots.carveEnd - slots.carve < static_cast<ptrdiff_t>(slotSize)) return nullptr;
    slot = slots.carve;
    slots.carve += slotSize;
    return slot;
}

// Whether the handle is the last one made or found, whose block is then
// the last found; any other handle takes the checked way.
HEAP_INTERNAL inline bool IsLastHandle(const GlobalHeap *heap, HGLOBAL memory) {
    return heap != nullptr && memory == heap->lastHandle && memory != nullptr;
}

HEAP_INTERNAL inline BlockHeader *LastBlock(const GlobalHeap *heap) {
    return reinterpret_cast<BlockHeader *>(heap->lastFound);
}

// The header of the live small block whose data starts at `data`, else
// null: GlobalHandle's common case, for every block a record's owner frees.
HEAP_INTERNAL inline BlockHeader *SmallBlockAt(GlobalHeap &heap, uintptr_t data) {
    auto *header = reinterpret_cast<BlockHeader *>(data - kHeaderSize);
    size_t offset = data - kHeaderSize - reinterpret_cast<uintptr_t>(heap.base);
    if ((data & 7) != 0 || offset >= heap.used || !IsLiveSlot(heap, header, offset)) return nullptr;
    return header;
}

HEAP_INTERNAL inline LPVOID LockFound(BlockHeader *block) {
    if (block->state == kLiveFixed) return DataOf(block);
    // Windows gives no address for a zero-sized moveable block.
    if (block->size == 0) return nullptr;
    if (block->locks < UINT16_MAX) ++block->locks;
    return DataOf(block);
}

HEAP_INTERNAL inline BOOL UnlockFound(BlockHeader *block) {
    if (block->state == kLiveFixed) return TRUE;
    if (block->locks == 0) {
        SetLastErrorCode(ERROR_NOT_LOCKED);
        return FALSE;
    }
    --block->locks;
    if (block->locks == 0) {
        SetLastErrorCode(NO_ERROR);
        return FALSE;
    }
    return TRUE;
}

// A block just made: counted, and known as the last one found.
HEAP_INTERNAL inline HGLOBAL NoteMade(GlobalHeap &heap, BlockHeader *header) {
    ++heap.liveBlocks;
    NoteFound(heap, header);
    return heap.lastHandle;
}

// Windows frees a block even while it is locked.
HEAP_INTERNAL inline HGLOBAL FreeFound(GlobalHeap &heap, BlockHeader *block) {
    ReleaseBlock(heap, block);
    --heap.liveBlocks;
    return nullptr;
}

HEAP_INTERNAL __attribute__((noinline)) HGLOBAL AllocateChecked(UINT flags, size_t bytes) {
    if (KernelCallFails(KERNEL_GLOBAL_ALLOC)) return nullptr;
    GlobalHeap &heap = Heap();
    BlockHeader *header = nullptr;
    if (bytes <= UINT32_MAX - 4 * kHeaderSize) header = NewBlock(heap, bytes, flags);
    if (header == nullptr) {
        SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return NoteMade(heap, header);
}

HEAP_INTERNAL __attribute__((noinline)) LPVOID LockChecked(HGLOBAL memory) {
    BlockHeader *block = FindBlock(Heap(), memory);
    return block != nullptr ? LockFound(block) : nullptr;
}

HEAP_INTERNAL __attribute__((noinline)) BOOL UnlockChecked(HGLOBAL memory) {
    BlockHeader *block = FindBlock(Heap(), memory);
    return block != nullptr ? UnlockFound(block) : FALSE;
}

HEAP_INTERNAL __attribute__((noinline)) HGLOBAL HandleChecked(uintptr_t value) {
    BlockHeader *block = nullptr;
    GlobalHeap &heap = Heap();
    if ((value & 7) == 0 && value >= kHeaderSize) block = LiveHeader(heap, value - kHeaderSize);
    if (block == nullptr) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return HandleOf(block);
}

HEAP_INTERNAL __attribute__((noinline)) HGLOBAL FreeChecked(HGLOBAL memory) {
    if (memory == nullptr) return nullptr;
    GlobalHeap &heap = Heap();
    BlockHeader *block = FindBlock(heap, memory);
    if (block == nullptr) return memory;
    return FreeFound(heap, block);
}

}  // namespace

int LiveGlobalBlocks() { return Heap().liveBlocks; }

}  // namespace portable

using portable::Heap;
using portable::heapMade;

HEAP_INTERNAL HGLOBAL WINAPI GlobalAlloc(UINT flags, size_t bytes) {
    portable::GlobalHeap *heap = heapMade.IfMade();
    // The table armed, the first block or a large one: the checked way.
    if (portable::g_kernelCallsArmed || heap == nullptr || bytes > portable::kLargestSmallBlock)
        return portable::AllocateChecked(flags, bytes);
    size_t sizeClass = portable::SizeClassOf(bytes);
    char *slot = portable::QuickSlot(heap->classes[sizeClass], portable::SlotSize(sizeClass), flags);
    if (slot == nullptr) return portable::AllocateChecked(flags, bytes);
    auto *header = reinterpret_cast<portable::BlockHeader *>(slot);
    portable::WriteHeader(header, bytes, sizeClass, flags);
    return portable::NoteMade(*heap, header);
}

HEAP_INTERNAL LPVOID WINAPI GlobalLock(HGLOBAL memory) {
    const portable::GlobalHeap *heap = heapMade.IfMade();
    if (!portable::IsLastHandle(heap, memory)) return portable::LockChecked(memory);
    return portable::LockFound(portable::LastBlock(heap));
}

HEAP_INTERNAL BOOL WINAPI GlobalUnlock(HGLOBAL memory) {
    const portable::GlobalHeap *heap = heapMade.IfMade();
    if (!portable::IsLastHandle(heap, memory)) return portable::UnlockChecked(memory);
    return portable::UnlockFound(portable::LastBlock(heap));
}

HEAP_INTERNAL HGLOBAL WINAPI GlobalHandle(LPCVOID pointer) {
    uintptr_t value = reinterpret_cast<uintptr_t>(pointer);
    portable::GlobalHeap *heap = heapMade.IfMade();
    portable::BlockHeader *block = heap != nullptr ? portable::SmallBlockAt(*heap, value) : nullptr;
    if (block == nullptr) return portable::HandleChecked(value);
    portable::NoteFound(*heap, block);
    return heap->lastHandle;
}

HEAP_INTERNAL HGLOBAL WINAPI GlobalFree(HGLOBAL memory) {
    portable::GlobalHeap *heap = heapMade.IfMade();
    if (!portable::IsLastHandle(heap, memory)) return portable::FreeChecked(memory);
    return portable::FreeFound(*heap, portable::LastBlock(heap));
}

HEAP_INTERNAL size_t WINAPI GlobalSize(HGLOBAL memory) {
    portable::BlockHeader *block = portable::FindBlock(Heap(), memory);
    if (block == nullptr) return 0;
    return block->size;
}

HEAP_INTERNAL UINT WINAPI GlobalFlags(HGLOBAL memory) {
    portable::BlockHeader *block = portable::FindBlock(Heap(), memory);
    if (block == nullptr) return GMEM_INVALID_HANDLE;
    return block->locks & GMEM_LOCKCOUNT;
}
