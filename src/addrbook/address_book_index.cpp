#include "addrbook/address_book_index.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The transient indexes use the C heap: they live only during one load or
// save and a failure just means the slower list walk.
template <typename T>
int Grow(T **array, size_t *capacity, size_t needed) {
    if (needed <= *capacity) return 1;
    size_t grown = *capacity == 0 ? 64 : *capacity * 2;
    while (grown < needed) grown *= 2;
    void *moved = std::realloc(*array, grown * sizeof(T));
    if (moved == nullptr) return 0;
    *array = static_cast<T *>(moved);
    *capacity = grown;
    return 1;
}

// In 64 bits on every target: the member bits take the high half.
uint64_t HashAddress(const void *key) {
    uint64_t value = reinterpret_cast<uintptr_t>(key);
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdULL;
    value ^= value >> 33;
    return value;
}

// The slot of the number, or the empty slot where it would go.
MemberPositionSlot *SlotOf(const AddressIndex *index, const NumberRecord *number) {
    size_t slot = static_cast<size_t>(HashAddress(number)) & index->mask;
    while (index->slots[slot].number != nullptr && index->slots[slot].number != number)
        slot = (slot + 1) & index->mask;
    return &index->slots[slot];
}

// A number's bit among the members' bits: four bits for each slot, from
// other bits of its hash than its slot's.
size_t MemberBitOf(const AddressIndex *index, const NumberRecord *number) {
    return static_cast<size_t>(HashAddress(number) >> 32) & (index->mask * 4 + 3);
}

// atoi's reading (leading blanks, a sign, digits), kept in range.
int64_t ReadDecimal(const char *text) {
    long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int64_t>(value);
}

}  // namespace

namespace {

// A person with this many numbers or fewer keeps none of them in the
// index: its list is walked instead, which saves most of the index's room.
constexpr size_t kWalkedNumbers = 4;
constexpr uint32_t kWalked = 0x80000000u;  // in firstNumber: walk this person's list

// Drops the numbers of the person added last from the index when its list
// holds them all, in order, and is short enough to walk.
void SettleLastPerson(PositionIndex *index) {
    if (index->personCount == 0) return;
    size_t last = index->personCount - 1;
    size_t first = index->firstNumber[last];
    if (index->persons[last] == nullptr || index->numberCount - first > kWalkedNumbers) return;
    for (size_t i = first; i < index->numberCount; ++i)
        if (index->numbers[i] == nullptr) return;  // lost to memory: positions differ from the list's
    index->numberCount = first;
    index->firstNumber[last] = static_cast<uint32_t>(first) | kWalked;
}

}  // namespace

void PositionIndexAddPerson(PositionIndex *index, PersonRecord *person) {
    if (!index->valid) return;
    SettleLastPerson(index);
    if (!Grow(&index->persons, &index->personCapacity, index->personCount + 1) ||
        !Grow(&index->firstNumber, &index->firstNumberCapacity, index->personCount + 1)) {
        FreePositionIndex(index);
        return;
    }
    if (index->numberCount >= kWalked) {
        FreePositionIndex(index);
        return;
    }
    index->persons[index->personCount] = person;
    index->firstNumber[index->personCount] = static_cast<uint32_t>(index->numberCount);
    ++index->personCount;
}

void PositionIndexAddNumber(PositionIndex *index, NumberRecord *number) {
    if (!index->valid || index->personCount == 0) return;
    if (!Grow(&index->numbers, &index->numberCapacity, index->numberCount + 1)) {
        FreePositionIndex(index);
        return;
    }
    index->numbers[index->numberCount++] = number;
}

void ReservePositionIndex(PositionIndex *index, size_t persons, size_t numbers) {
    if (!index->valid) return;
    // Best effort: without the room the index still grows as it fills.
    size_t personRoom = index->personCapacity, firstRoom = index->firstNumberCapacity,
           numberRoom = index->numberCapacity;
    if (Grow(&index->persons, &personRoom, index->personCount + persons)) index->personCapacity = personRoom;
    if (Grow(&index->firstNumber, &firstRoom, index->personCount + persons)) index->firstNumberCapacity = firstRoom;
    if (Grow(&index->numbers, &numberRoom, index->numberCount + numbers)) index->numberCapacity = numberRoom;
}

void BuildPositionIndex(PositionIndex *index, PersonRecord *personList) {
    *index = PositionIndex{};
    index->valid = 1;
    if (personList == nullptr) return;
    for (PersonRecord *person = personList->next; person != nullptr && index->valid; person = person->next) {
        PositionIndexAddPerson(index, person);
        if (person->numbers == nullptr) continue;
        for (NumberRecord *number = person->numbers->next; number != nullptr; number = number->next)
            PositionIndexAddNumber(index, number);
    }
}

void FreePositionIndex(PositionIndex *index) {
    std::free(index->persons);
    std::free(index->firstNumber);
    std::free(index->numbers);
    *index = PositionIndex{};
}

int BeginAddressIndex(AddressIndex *index, GroupRecord *groupList) {
    *index = AddressIndex{};
    size_t members = 0;
    for (GroupRecord *group = groupList ? groupList->next : nullptr; group; group = group->next) {
        if (group->members == nullptr) continue;
        for (MemberLink *link = group->members->next; link != nullptr; link = link->next) ++members;
    }
    if (members == 0) return 1;
    size_t capacity = 16;
    while (capacity < members * 2) capacity *= 2;
    index->slots = static_cast<MemberPositionSlot *>(std::calloc(capacity, sizeof(MemberPositionSlot)));
    index->memberBits = static_cast<uint64_t *>(std::calloc(capacity * 4 / 64, sizeof(uint64_t)));
    if (index->slots == nullptr || index->memberBits == nullptr) {
        FreeAddressIndex(index);
        return 0;
    }
    index->mask = capacity - 1;
    for (GroupRecord *group = groupList->next; group != nullptr; group = group->next) {
        if (group->members == nullptr) continue;
        for (MemberLink *link = group->members->next; link != nullptr; link = link->next) {
            if (link->number == nullptr) continue;
            MemberPositionSlot *slot = SlotOf(index, link->number);
            slot->number = link->number;
            size_t bit = MemberBitOf(index, link->number);
            index->memberBits[bit / 64] |= uint64_t(1) << (bit % 64);
        }
    }
    return 1;
}

void NoteMemberPositions(AddressIndex *index, const PersonRecord *person, int32_t personPosition) {
    if (index->slots == nullptr || person->numbers == nullptr) return;
    int32_t numberPosition = 0;
    for (NumberRecord *number = person->numbers->next; number; number = number->next, ++numberPosition) {
        size_t bit = MemberBitOf(index, number);
        if ((index->memberBits[bit / 64] >> (bit % 64) & 1) == 0) continue;
        MemberPositionSlot *slot = SlotOf(index, number);
        if (slot->number == number && slot->person == nullptr) {
            slot->person = person;
            slot->personPosition = personPosition;
            slot->numberPosition = numberPosition;
        }
    }
}

void FreeAddressIndex(AddressIndex *index) {
    std::free(index->slots);
    std::free(index->memberBits);
    *index = AddressIndex{};
}

int FindMemberPosition(const AddressIndex *index, const MemberLink *link, int32_t *personPosition,
                       int32_t *numberPosition) {
    if (link == nullptr || link->number == nullptr || index->slots == nullptr) return 0;
    const MemberPositionSlot *slot = SlotOf(index, link->number);
    if (slot->number != link->number || slot->person == nullptr || slot->person != link->person) return 0;
    *personPosition = slot->personPosition;
    *numberPosition = slot->numberPosition;
    return 1;
}

int SplitMemberRef(const char *text, int64_t *personPosition, int64_t *numberPosition) {
    char piece[21];
    size_t length = 0;
    while (length < 20 && text[length] != '\0') ++length;
    std::memcpy(piece, text, length);
    piece[length] = '\0';

    char *cursor = piece;
    while (*cursor == '.') ++cursor;
    if (*cursor == '\0') return 0;
    char *personText = cursor;
    while (*cursor != '\0' && *cursor != '.') ++cursor;
    if (*cursor == '.') *cursor++ = '\0';
    while (*cursor == ',') ++cursor;
    if (*cursor == '\0') return 0;
    char *numberText = cursor;
    while (*cursor != '\0' && *cursor != ',') ++cursor;
    *cursor = '\0';

    *personPosition = ReadDecimal(personText);
    *numberPosition = ReadDecimal(numberText);
    return 1;
}

int ResolveMemberRef(const PositionIndex *index, const char *text, PersonRecord **person,
                     NumberRecord **number) {
    *person = nullptr;
    *number = nullptr;
    int64_t personPosition = 0, numberPosition = 0;
    if (!SplitMemberRef(text, &personPosition, &numberPosition)) return 0;
    if (personPosition < 0 || static_cast<uint64_t>(personPosition) >= index->personCount) return 0;
    size_t at = static_cast<size_t>(personPosition);
    PersonRecord *foundPerson = index->persons[at];
    if (numberPosition < 0 || foundPerson == nullptr) return 0;
    NumberRecord *foundNumber = nullptr;
    if (index->firstNumber[at] & kWalked) {
        foundNumber = foundPerson->numbers != nullptr ? foundPerson->numbers->next : nullptr;
        for (int64_t step = 0; step < numberPosition && foundNumber != nullptr; ++step)
            foundNumber = foundNumber->next;
    } else {
        size_t first = index->firstNumber[at];
        size_t end = at + 1 < index->personCount ? index->firstNumber[at + 1] & ~kWalked : index->numberCount;
        if (static_cast<uint64_t>(numberPosition) >= end - first) return 0;
        foundNumber = index->numbers[first + static_cast<size_t>(numberPosition)];
    }
    if (foundPerson == nullptr || foundNumber == nullptr) return 0;  // lost to memory
    *person = foundPerson;
    *number = foundNumber;
    return 1;
}

void FormatIndexedMemberRef(const AddressIndex *index, const MemberLink *link, char *text,
                            size_t size) {
    if (size == 0) return;
    text[0] = '\0';
    int32_t person = 0, number = 0;
    if (!FindMemberPosition(index, link, &person, &number)) return;
    // "person.number", cut to the buffer as snprintf cuts it, without its
    // cost for each of a large group's members.
    char digits[32];  // two positions of at most 11 characters each and the stop
    char *end = std::to_chars(digits, digits + 12, person).ptr;
    if (end < digits + 12) *end++ = '.';
    end = std::to_chars(end, digits + sizeof digits, number).ptr;
    size_t length = std::min(static_cast<size_t>(end - digits), size - 1);
    std::memcpy(text, digits, length);
    text[length] = '\0';
}
