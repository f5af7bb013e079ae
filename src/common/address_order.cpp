#include "common/address_order.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kDigitBits = 11;
constexpr size_t kBuckets = size_t{1} << kDigitBits;

uintptr_t ValueOf(const void *address) { return reinterpret_cast<uintptr_t>(address); }

}  // namespace

void SortAddresses(void **addresses, void **scratch, size_t count) {
    if (count < 2) return;
    // Only the bits in which the addresses differ are sorted on: the high
    // bits one heap shares and the low bits of the blocks' alignment take
    // no pass, so a few hundred thousand blocks take two.
    uintptr_t low = ValueOf(addresses[0]);
    uintptr_t high = low;
    uintptr_t varying = 0;
    for (size_t i = 1; i < count; ++i) {
        uintptr_t value = ValueOf(addresses[i]);
        if (value < low) low = value;
        if (value > high) high = value;
        varying |= value ^ ValueOf(addresses[0]);
    }
    if (varying == 0) return;
    const int shift = std::countr_zero(varying);
    const uintptr_t span = (high - low) >> shift;

    void **from = addresses;
    void **to = scratch;
    size_t starts[kBuckets];
    constexpr int kAddressBits = static_cast<int>(sizeof(uintptr_t) * 8);  // 32 in the drivers' 32-bit module
    for (int digit = 0; digit < kAddressBits && (span >> digit) != 0; digit += kDigitBits) {
        auto bucketOf = [&](const void *address) {
            return static_cast<size_t>(((ValueOf(address) - low) >> shift >> digit) & (kBuckets - 1));
        };
        std::memset(starts, 0, sizeof starts);
        for (size_t i = 0; i < count; ++i) ++starts[bucketOf(from[i])];
        // Where each digit's addresses start; each pass keeps the order the
        // lower digits gave.
        size_t start = 0;
        for (size_t bucket = 0; bucket < kBuckets; ++bucket) {
            size_t size = starts[bucket];
            starts[bucket] = start;
            start += size;
        }
        for (size_t i = 0; i < count; ++i) to[starts[bucketOf(from[i])]++] = from[i];
        void **done = to;
        to = from;
        from = done;
    }
    if (from != addresses) std::memcpy(addresses, from, count * sizeof(void *));
}
