// The program's operator new, able to throw std::bad_alloc at a chosen
// allocation, as memory running out would: what the standard library in
// the portable layer and the command line then does.
#include "throwing_new.h"

#include <cstdlib>
#include <new>

namespace {

long g_left = -1;     // allocations still to go through; -1: never throw
bool g_thrown = false;

void *Allocate(std::size_t size) {
    if (g_left == 0) {
        g_left = -1;
        g_thrown = true;
        return nullptr;
    }
    if (g_left > 0) --g_left;
    return std::malloc(size != 0 ? size : 1);
}

}  // namespace

namespace faults {

void ThrowOnAllocation(long after) {
    g_left = after;
    if (after >= 0) g_thrown = false;
}

bool AllocationThrew() { return g_thrown; }

}  // namespace faults

void *operator new(std::size_t size) {
    void *block = Allocate(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void *operator new[](std::size_t size) { return operator new(size); }

void *operator new(std::size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }

void *operator new[](std::size_t size, const std::nothrow_t &) noexcept { return Allocate(size); }

void operator delete(void *block) noexcept { std::free(block); }
void operator delete[](void *block) noexcept { std::free(block); }
void operator delete(void *block, std::size_t) noexcept { std::free(block); }
void operator delete[](void *block, std::size_t) noexcept { std::free(block); }
