// The sort that orders the fax list's items by address before they are
// released.
#include "common/address_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

namespace {

void *At(uintptr_t value) { return reinterpret_cast<void *>(value); }

// Sorted as std::sort sorts them, whatever bits the addresses differ in.
void ExpectSortedLikeStdSort(std::vector<void *> addresses) {
    std::vector<void *> expected = addresses;
    std::sort(expected.begin(), expected.end(), std::less<void *>());
    std::vector<void *> scratch(addresses.size());
    SortAddresses(addresses.data(), scratch.data(), addresses.size());
    EXPECT_EQ(addresses, expected);
}

TEST(AddressOrderTest, SortsAsAComparisonSortWould) {
    std::mt19937_64 random(12);
    // Blocks of one heap: aligned, close together, made in one order and
    // listed in another.
    std::vector<void *> heap;
    for (uintptr_t i = 0; i < 5000; ++i) heap.push_back(At(0x7f3a10000000u + 48 * i));
    std::shuffle(heap.begin(), heap.end(), random);
    ExpectSortedLikeStdSort(heap);

    // Spread over every bit, the top one too, with repeats.
    std::vector<void *> spread;
    for (int i = 0; i < 3000; ++i) spread.push_back(At(static_cast<uintptr_t>(random())));
    for (int i = 0; i < 100; ++i) spread.push_back(spread[static_cast<size_t>(i) * 7]);
    spread.push_back(At(UINTPTR_MAX));
    spread.push_back(At(0));
    std::shuffle(spread.begin(), spread.end(), random);
    ExpectSortedLikeStdSort(spread);

    // Differing in one bit only, and in none.
    ExpectSortedLikeStdSort({At(0x1010), At(0x0010), At(0x1010), At(0x0010)});
    ExpectSortedLikeStdSort(std::vector<void *>(10, At(0x4000)));
}

TEST(AddressOrderTest, NoneOrOneAddressIsLeftAsItIs) {
    SortAddresses(nullptr, nullptr, 0);
    void *one = At(0x1234);
    SortAddresses(&one, nullptr, 1);
    EXPECT_EQ(one, At(0x1234));
}

}  // namespace
