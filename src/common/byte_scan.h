// Looking at sixteen bytes at once, so the ticket writers and the address
// book's reader and writer pass over long runs of ordinary text quickly.
// GCC and Clang vector types: SSE2 on x86-64, plain code where there is no
// SSE, the same results everywhere. No vector crosses a function boundary,
// so the calling convention never depends on the instruction set.
#ifndef ORVIXFAX_BYTE_SCAN_H
#define ORVIXFAX_BYTE_SCAN_H

#include <cstddef>
#include <cstdint>
#include <cstring>

// The module runs on x86 alone: byte 0 of a chunk is the low byte of its
// first half.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);

typedef unsigned char Bytes16 __attribute__((vector_size(16)));

// Whether any of the sixteen bytes at `bytes` is one of `Values`.
template <unsigned char... Values>
inline bool AnyOf16(const void *bytes) {
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    auto hits = ((v == Values) | ...);
    uint64_t halves[2];
    static_assert(sizeof hits == sizeof halves);
    std::memcpy(halves, &hits, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// Sixteen comparison results (bytes of 0 or 0xFF) as the low sixteen bits
// of a number, bit i for byte i: each half's top bits gathered into its
// highest byte by one multiplication.
inline uint64_t HitBits16(const void *hits) {
    uint64_t halves[2];
    std::memcpy(halves, hits, sizeof halves);
    const uint64_t tops = 0x8080808080808080ull, gather = 0x0002040810204081ull;
    return ((halves[0] & tops) * gather >> 56) | ((halves[1] & tops) * gather >> 56 << 8);
}

// A bit for each of the 64 bytes at `bytes` that is below `Below` or one
// of `Values`, bit i for byte i.
template <unsigned char Below, unsigned char... Values>
inline uint64_t PositionsOf64(const void *bytes) {
    uint64_t positions = 0;
    for (unsigned at = 0; at < 64; at += 16) {
        Bytes16 v;
        std::memcpy(&v, static_cast<const char *>(bytes) + at, sizeof v);
        auto hits = (v < Below) | ((v == Values) | ...);
        positions |= HitBits16(&hits) << at;
    }
    return positions;
}

// The position of the first of sixteen comparison results (bytes of 0 or
// 0xFF) that holds, 16 when none does.
inline unsigned FirstHit16(const void *hits) {
    uint64_t halves[2];
    std::memcpy(halves, hits, sizeof halves);
    if (halves[0] != 0) return static_cast<unsigned>(__builtin_ctzll(halves[0])) / 8;
    if (halves[1] != 0) return 8 + static_cast<unsigned>(__builtin_ctzll(halves[1])) / 8;
    return 16;
}

// The position of the first of the sixteen bytes at `bytes` that is one
// of `Values`, 16 when none is.
template <unsigned char... Values>
inline unsigned FirstOf16(const void *bytes) {
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    auto hits = ((v == Values) | ...);
    return FirstHit16(&hits);
}

// The position of the first of the sixteen bytes at `bytes` that is none
// of `Values`, 16 when all are.
template <unsigned char... Values>
inline unsigned FirstNotOf16(const void *bytes) {
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    auto misses = ~((v == Values) | ...);
    return FirstHit16(&misses);
}

// Writes sixteen bytes at `to`: the first `length` (less than 16) of the
// sixteen at `from`, then zeros, as a copy into a zeroed field leaves it.
inline void CopyHead16(void *to, const void *from, size_t length) {
    static const Bytes16 positions = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    Bytes16 v;
    std::memcpy(&v, from, sizeof v);
    v &= (Bytes16)(positions < static_cast<unsigned char>(length));
    std::memcpy(to, &v, sizeof v);
}

// The position of the first of the sixteen bytes at `bytes` that is below
// `Below` or one of `Values`, 16 when none is: one comparison stands for a
// whole range of control bytes.
template <unsigned char Below, unsigned char... Values>
inline unsigned FirstBelowOrOf16(const void *bytes) {
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    auto hits = (v < Below) | ((v == Values) | ...);
    return FirstHit16(&hits);
}

// One byte for each of the sixteen at `bytes`: 1 for a digit 0 to 9, else
// 0, as the two halves of a chunk.
inline void DigitFlags16(const void *bytes, uint64_t flags[2]) {
    Bytes16 v;
    std::memcpy(&v, bytes, sizeof v);
    Bytes16 digits = (Bytes16)(static_cast<Bytes16>(v - '0') < 10) & 1;
    std::memcpy(flags, &digits, sizeof digits);
}

// A field of N bytes read sixteen bytes at a time from any position up to
// its end: in place where sixteen bytes fit, else from a copy of its last
// sixteen bytes with zeros behind, so the text always ends at a zero byte
// (an unterminated field at its last byte). The copy is made first: by the
// time it is read it is in the cache, not still on its way there.
template <size_t N>
class FieldChunks {
public:
    explicit FieldChunks(const char (&field)[N]) : field_(field) {
        static_assert(N >= 16);
        std::memcpy(end_, field + N - 16, 16);
        std::memset(end_ + 16, 0, 16);
    }
    // The sixteen bytes from `at` (at most N) on.
    const char *At(size_t at) const { return at + 16 <= N ? field_ + at : end_ + (at + 16 - N); }

private:
    const char *field_;
    char end_[32];
};

// Copies the first `length` (at most N) bytes of a field sixteen bytes at
// a time: up to fifteen bytes more are written behind them, and what is
// read stays inside the field.
template <size_t N>
inline void CopyInChunks(char *to, const char (&field)[N], size_t length) {
    static_assert(N % 16 == 0, "whole chunks stay inside the field");
    for (size_t at = 0; at < length; at += 16) std::memcpy(to + at, field + at, 16);
}

#endif
