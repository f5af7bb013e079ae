// Looking at sixteen bytes at once, so the ticket writers pass over long
// runs of ordinary text quickly. GCC and Clang vector types: SSE2 on x86-64,
// plain code where there is no SSE, the same results everywhere. No vector
// crosses a function boundary, so the calling convention never depends on
// the instruction set.
#ifndef ORVIXFAX_BYTE_SCAN_H
#define ORVIXFAX_BYTE_SCAN_H

#include <cstdint>
#include <cstring>

// Whether any of the sixteen bytes at `bytes` is one of `Values`.
template <unsigned char... Values>
inline bool AnyOf16(const void *bytes) {
    typedef unsigned char Bytes16 __attribute__((vector_size(16)));
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    auto hits = ((v == Values) | ...);
    uint64_t halves[2];
    static_assert(sizeof hits == sizeof halves);
    std::memcpy(halves, &hits, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

#endif
