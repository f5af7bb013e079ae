#include "platform/portable/user/listbox_order.h"

#include <cstdint>
#include <cstring>

namespace portable {

namespace {

// Each byte's place in the order (see listbox_order.h), looked up once per
// byte: the compare runs for every probe of every sorted insert.
struct Weights {
    uint16_t of[256] = {};
    // A byte's weight as a rank from 1 among the weights in use, 0 for
    // the bytes that are passed over; fits a key's eight bits a place.
    uint8_t rank[256] = {};
    Weights() {
        static const char kOrder[] =
            " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>0123456789abcdefghijklmnopqrstuvwxyz";
        for (int c = 0; c < 256; ++c) {
            int folded = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
            const char *at = folded != 0 ? std::strchr(kOrder, folded) : nullptr;
            if (c >= 128)
                of[c] = static_cast<uint16_t>(512 + c);
            else if (c < 0x20 || c == 0x7F)
                of[c] = static_cast<uint16_t>(c);
            else
                of[c] = static_cast<uint16_t>(at ? 0x20 + (at - kOrder) : 0x100 + c);
        }
        bool used[1024] = {};
        for (int c = 1; c < 256; ++c)
            if (c != '-' && c != '\'') used[of[c]] = true;
        uint8_t rankOf[1024] = {};
        int next = 1;
        for (int weight = 0; weight < 1024; ++weight)
            if (used[weight]) rankOf[weight] = static_cast<uint8_t>(next++);
        for (int c = 1; c < 256; ++c)
            if (c != '-' && c != '\'') rank[c] = rankOf[of[c]];
    }
};

const Weights kWeights;

bool PassedOver(char c) { return c == '-' || c == '\''; }

// Texts equal but for hyphens and apostrophes: the one without them, or
// with them later, comes first.
int CompareMarks(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (true) {
        while (i < a.size() && !PassedOver(a[i])) ++i;
        while (j < b.size() && !PassedOver(b[j])) ++j;
        if (i == a.size() || j == b.size()) break;
        if (i != j) return i > j ? -1 : 1;
        if (a[i] != b[j]) return a[i] == '\'' ? -1 : 1;
        ++i;
        ++j;
    }
    if (i != a.size()) return 1;
    if (j != b.size()) return -1;
    return 0;
}

uint64_t Load8(const char *bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, 8);
    return word;
}

constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;

// Whether any of eight bytes is zero.
bool HasZero(uint64_t bytes) { return (bytes - kOnes) & ~bytes & kHighs; }

// Whether any of eight bytes is a hyphen or an apostrophe.
bool HasMark(uint64_t bytes) { return HasZero(bytes ^ (kOnes * '-')) || HasZero(bytes ^ (kOnes * '\'')); }

// The ranks of eight bytes, written out: a loop of eight is not unrolled
// at -O2, and this runs for every byte of every line added.
inline void PutEightRanks(const char *bytes, uint8_t *out) {
    const auto *in = reinterpret_cast<const unsigned char *>(bytes);
    out[0] = kWeights.rank[in[0]];
    out[1] = kWeights.rank[in[1]];
    out[2] = kWeights.rank[in[2]];
    out[3] = kWeights.rank[in[3]];
    out[4] = kWeights.rank[in[4]];
    out[5] = kWeights.rank[in[5]];
    out[6] = kWeights.rank[in[6]];
    out[7] = kWeights.rank[in[7]];
}

// Eight bytes without marks as places, the first in the highest byte.
uint64_t EightPlaces(const char *bytes) {
    uint8_t ranks[8];
    PutEightRanks(bytes, ranks);
    uint64_t places;
    std::memcpy(&places, ranks, 8);
    return __builtin_bswap64(places);
}

// The ranks of `length` (1 to 8) bytes as places, the first in the
// highest byte.
uint64_t RankWord(const char *bytes, size_t length) {
    uint64_t word = 0;
    for (size_t k = 0; k < length; ++k) word = word << 8 | kWeights.rank[static_cast<unsigned char>(bytes[k])];
    return word << (8 * (8 - length));
}

}  // namespace

int CompareListText(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (true) {
        // Equal bytes have equal weights: pass over a shared stretch at
        // once, eight bytes at a time while there is no mark in them, and
        // then up to the first byte that differs.
        while (i + 8 <= a.size() && j + 8 <= b.size()) {
            uint64_t left = Load8(a.data() + i), right = Load8(b.data() + j);
            if (left == right && !HasMark(left)) {
                i += 8;
                j += 8;
                continue;
            }
            if (left != right) {
                // The text's first byte is the lowest of the eight (x86).
                unsigned same = static_cast<unsigned>(__builtin_ctzll(left ^ right)) / 8;
                uint64_t shared = same == 0 ? 0 : left & (~uint64_t(0) >> (64 - 8 * same));
                if (!HasMark(shared)) {
                    i += same;
                    j += same;
                }
            }
            break;
        }
        while (i < a.size() && j < b.size() && a[i] == b[j] && !PassedOver(a[i])) {
            ++i;
            ++j;
        }
        while (i < a.size() && PassedOver(a[i])) ++i;
        while (j < b.size() && PassedOver(b[j])) ++j;
        if (i == a.size() || j == b.size()) break;
        int difference = kWeights.of[static_cast<unsigned char>(a[i])] -
                         kWeights.of[static_cast<unsigned char>(b[j])];
        if (difference) return difference;
        ++i;
        ++j;
    }
    if (i != a.size()) return 1;
    if (j != b.size()) return -1;
    // The same line added again, as a book's persons of one name and
    // company are: no marks to weigh.
    if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) return 0;
    return CompareMarks(a, b);
}

// Every byte gives its rank. Eight bytes at a time without a hyphen or
// apostrophe among them, each byte is a place; from the first eight with
// a mark on, the place counts only for a byte that is not passed over:
// no branch on the byte.
void ListWeights::Of(std::string_view text) {
    constexpr size_t kSlack = 40;  // Places reads eight bytes from any place up to the end
    if (ranks_.size() < text.size() + kSlack) ranks_.resize(text.size() + kSlack);
    uint8_t *out = ranks_.data();
    const char *bytes = text.data();
    size_t size = text.size(), i = 0;
    // A mark's rank is 0, and no other byte's is: eight ranks put without
    // a zero among them are eight places.
    for (; i + 8 <= size; i += 8) {
        PutEightRanks(bytes + i, out + i);
        uint64_t ranks;
        std::memcpy(&ranks, out + i, 8);
        if (HasZero(ranks)) break;
    }
    size_t count = i;
    for (; i < size; ++i) {
        uint8_t rank = kWeights.rank[static_cast<unsigned char>(bytes[i])];
        out[count] = rank;
        count += rank != 0;
    }
    std::memset(out + count, 0, kSlack);
    count_ = count;
}

uint64_t ListWeights::Places(size_t from) const {
    if (from > count_) return 0;
    uint64_t places;
    std::memcpy(&places, ranks_.data() + from, 8);
    return __builtin_bswap64(places);
}

void ListPlaces(std::string_view text, uint32_t from, uint64_t *windows, size_t count) {
    size_t reach = size_t(from) + 8 * count;
    size_t end = text.size() < reach ? text.size() : reach;
    for (size_t window = 0; window < count; ++window) windows[window] = 0;
    // Without a mark in front of them, places are bytes.
    bool marks = false;
    size_t i = 0;
    for (; i + 8 <= end && !marks; i += 8) marks = HasMark(Load8(text.data() + i));
    for (; i < end && !marks; ++i) marks = PassedOver(text[i]);
    if (!marks) {
        for (size_t window = 0, start = from; window < count && start < end; ++window, start += 8)
            windows[window] = end - start >= 8 ? EightPlaces(text.data() + start) : RankWord(text.data() + start, end - start);
        return;
    }
    auto put = [&](size_t place, char byte) {
        size_t offset = place - from;
        windows[offset / 8] |= uint64_t(kWeights.rank[static_cast<unsigned char>(byte)]) << (56 - 8 * (offset % 8));
    };
    size_t place = 0;
    for (size_t at = 0; at < text.size() && place < reach; ++at) {
        if (PassedOver(text[at])) continue;
        if (place >= from) put(place, text[at]);
        ++place;
    }
}

uint64_t ListPlaces(std::string_view text, uint32_t from) {
    uint64_t places;
    ListPlaces(text, from, &places, 1);
    return places;
}

uint32_t SharedListPlaces(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    uint32_t shared = 0;
    while (true) {
        while (i < a.size() && PassedOver(a[i])) ++i;
        while (j < b.size() && PassedOver(b[j])) ++j;
        if (i == a.size() || j == b.size()) return shared;
        if (kWeights.rank[static_cast<unsigned char>(a[i])] != kWeights.rank[static_cast<unsigned char>(b[j])])
            return shared;
        ++shared;
        ++i;
        ++j;
    }
}

}  // namespace portable
