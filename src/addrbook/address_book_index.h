// Position indexes that keep loading and saving linear: member references
// name persons and numbers by position, and walking the lists for each one
// would make a large book take quadratic time. An index that cannot be
// allocated is simply not used; the list walks give the same answers.
#ifndef ORVIXFAX_ADDRESS_BOOK_INDEX_H
#define ORVIXFAX_ADDRESS_BOOK_INDEX_H

#include <cstddef>
#include <cstdint>

#include "addrbook/records.h"

// Persons by position, and each person's numbers by position (loading).
// A record that memory ran out for while it was read keeps its position as
// a null entry, so references to the records after it still find them.
struct PositionIndex {
    PersonRecord **persons;
    uint32_t *firstNumber;  // per person: where its numbers start in `numbers`,
                            // or a mark that the person's short list is walked
    size_t personCount;
    size_t personCapacity;
    size_t firstNumberCapacity;
    NumberRecord **numbers;
    size_t numberCount;
    size_t numberCapacity;
    int valid;  // 0 once an allocation failed: then it must not be used
};

// Starts the index with the persons already in the list.
void BuildPositionIndex(PositionIndex *index, PersonRecord *personList);
// Adds the next person (null for one that could not be kept in memory),
// then the next number of the person added last.
void PositionIndexAddPerson(PositionIndex *index, PersonRecord *person);
// Room for that many more persons and numbers at once, so that a large
// book is not copied to ever larger arrays while it is read (the room not
// used is never touched). Best effort.
void ReservePositionIndex(PositionIndex *index, size_t persons, size_t numbers);
void PositionIndexAddNumber(PositionIndex *index, NumberRecord *number);
void FreePositionIndex(PositionIndex *index);

// Positions of the numbers that group members name, by address (saving,
// and the command line's listing): begun from the members, so it holds as
// many entries as there are members, then filled in by the walk over the
// persons that writes them out, before any group is written. A large
// book's records do not fit the caches, so a walk of their own would cost
// as much as the writing.
struct MemberPositionSlot {
    const NumberRecord *number;
    const PersonRecord *person;  // whose list holds it; null until found
    int32_t personPosition;
    int32_t numberPosition;
};
struct AddressIndex {
    MemberPositionSlot *slots;
    size_t mask;  // capacity - 1, capacity a power of two; 0 without slots
    // A bit set for each member's number, four bits for each slot. The
    // walk over the persons asks it about every number: it stays in the
    // caches, where the slots of a large book's members do not, and most
    // numbers are no member's.
    uint64_t *memberBits;
};

// 0 when memory ran out: then the lists must be walked instead.
int BeginAddressIndex(AddressIndex *index, GroupRecord *groupList);
// Notes which numbers of the person at `personPosition` of the person list
// are members'. Called for every person once, in the list's order; a
// number in two persons' lists counts where it comes first.
void NoteMemberPositions(AddressIndex *index, const PersonRecord *person, int32_t personPosition);
void FreeAddressIndex(AddressIndex *index);
// The member's 0-based positions: 1 when its person is in the person list
// and its number in that person's number list (the first place counts).
int FindMemberPosition(const AddressIndex *index, const MemberLink *link, int32_t *personPosition,
                       int32_t *numberPosition);

// The two 0-based positions of a member reference: the text up to its
// first 20 bytes, the person's position up to the first full stop and the
// number's position after it up to a comma (the way strtok splits them,
// leading separators skipped), each read as a decimal number as atoi
// does. 0 when either part is missing.
int SplitMemberRef(const char *text, int64_t *personPosition, int64_t *numberPosition);

// Looks a member reference up through the index (see ParseMemberRef).
int ResolveMemberRef(const PositionIndex *index, const char *text, PersonRecord **person,
                     NumberRecord **number);
// Writes a member reference through the index (see FormatMemberRef).
void FormatIndexedMemberRef(const AddressIndex *index, const MemberLink *link, char *text,
                            size_t size);

#endif
