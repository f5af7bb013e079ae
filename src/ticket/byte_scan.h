// Looking at sixteen bytes at once, so the ticket writers pass over long
// runs of ordinary text quickly. GCC and Clang vector types: SSE2 on x86-64,
// plain code where there is no SSE, the same results everywhere. No vector
// crosses a function boundary, so the calling convention never depends on
// the instruction set.
#ifndef ORVIXFAX_BYTE_SCAN_H
#define ORVIXFAX_BYTE_SCAN_H

#include <cstdint>
#include <cstring>

// Whether any of the sixteen bytes at `bytes` is one of `values`.
template <size_t N>
inline bool AnyOf16(const void *bytes, const unsigned char (&values)[N]) {
    typedef unsigned char Bytes16 __attribute__((vector_size(16)));
    typedef signed char Mask16 __attribute__((vector_size(16)));
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    Mask16 hits = {};
    for (unsigned char value : values) hits |= (v == value);
    uint64_t halves[2];
    std::memcpy(halves, &hits, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

#endif
