// Memory that runs out inside the standard library: the allocation after
// `after` more throws std::bad_alloc (once); -1 turns it off, keeping what
// AllocationThrew says.
#ifndef ORVIXFAX_TESTS_THROWING_NEW_H
#define ORVIXFAX_TESTS_THROWING_NEW_H

namespace faults {

void ThrowOnAllocation(long after);
// Whether the chosen allocation came and threw since ThrowOnAllocation.
bool AllocationThrew();

}  // namespace faults

#endif
