#include "common/record_set.h"

#include <algorithm>
#include <cstdlib>
#include <functional>

int MakeRecordSet(RecordSet *set, size_t capacity) {
    *set = RecordSet{};
    set->records = static_cast<const void **>(std::malloc((capacity > 0 ? capacity : 1) * sizeof(void *)));
    if (set->records == nullptr) return 0;
    set->capacity = capacity;
    return 1;
}

void RecordSetAdd(RecordSet *set, const void *record) {
    if (set->count < set->capacity) set->records[set->count++] = record;
}

void SortRecordSet(RecordSet *set) {
    std::sort(set->records, set->records + set->count, std::less<const void *>());
}

bool RecordSetHas(const RecordSet *set, const void *record) {
    return std::binary_search(set->records, set->records + set->count, record, std::less<const void *>());
}

void FreeRecordSet(RecordSet *set) {
    std::free(set->records);
    *set = RecordSet{};
}
