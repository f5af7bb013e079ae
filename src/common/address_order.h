// Putting many block addresses into ascending order, for releasing blocks
// in about the order they were made: the heap is then walked forwards
// rather than jumped about in, a cache miss a block.
#ifndef ORVIXFAX_ADDRESS_ORDER_H
#define ORVIXFAX_ADDRESS_ORDER_H

#include <cstddef>

// Sorts the addresses ascending, with `scratch` (room for `count`
// addresses) to work in. A radix sort from the lowest digit up, so the
// cost grows with the count alone, not with its logarithm as well.
void SortAddresses(void **addresses, void **scratch, size_t count);

#endif
