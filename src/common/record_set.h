// A set of record addresses, for telling in one look whether a record is
// among many (a group's member numbers, the book's persons and groups)
// where walking a list for every record would take time that grows with
// the square of the book. The addresses are sorted in one block of the C
// heap; a set that could not be made says so, and the caller walks the
// list as before.
#ifndef ORVIXFAX_RECORD_SET_H
#define ORVIXFAX_RECORD_SET_H

#include <cstddef>

struct RecordSet {
    const void **records;
    size_t count;
    size_t capacity;
};

// Room for `capacity` addresses; 0 when memory ran out (the set is then
// empty and must not be used).
int MakeRecordSet(RecordSet *set, size_t capacity);
// Adds an address while there is room; then SortRecordSet before asking.
void RecordSetAdd(RecordSet *set, const void *record);
void SortRecordSet(RecordSet *set);
bool RecordSetHas(const RecordSet *set, const void *record);
void FreeRecordSet(RecordSet *set);

#endif
