#include "address_book_index.h"

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

size_t HashAddress(const void *key) {
    uint64_t value = reinterpret_cast<uintptr_t>(key);
    value ^= value >> 33;
    value *= 0xff51afd7ed558ccdULL;
    value ^= value >> 33;
    return static_cast<size_t>(value);
}

// The slot of the number, or the empty slot where it would go.
MemberPositionSlot *SlotOf(const AddressIndex *index, const NumberRecord *number) {
    size_t slot = HashAddress(number) & index->mask;
    while (index->slots[slot].number != nullptr && index->slots[slot].number != number)
        slot = (slot + 1) & index->mask;
    return &index->slots[slot];
}

// atoi's reading (leading blanks, a sign, digits), kept in range.
int64_t ReadDecimal(const char *text) {
    long long value = std::strtoll(text, nullptr, 10);
    return static_cast<int64_t>(value);
}

}  // namespace

void PositionIndexAddPerson(PositionIndex *index, PersonRecord *person) {
    if (!index->valid) return;
    if (!Grow(&index->persons, &index->personCapacity, index->personCount + 1) ||
        !Grow(&index->firstNumber, &index->firstNumberCapacity, index->personCount + 1)) {
        FreePositionIndex(index);
        return;
    }
    index->persons[index->personCount] = person;
    index->firstNumber[index->personCount] = index->numberCount;
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

int BuildAddressIndex(AddressIndex *index, PersonRecord *personList, GroupRecord *groupList) {
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
    if (index->slots == nullptr) return 0;
    index->mask = capacity - 1;
    for (GroupRecord *group = groupList->next; group != nullptr; group = group->next) {
        if (group->members == nullptr) continue;
        for (MemberLink *link = group->members->next; link != nullptr; link = link->next) {
            if (link->number == nullptr) continue;
            MemberPositionSlot *slot = SlotOf(index, link->number);
            slot->number = link->number;
        }
    }
    int32_t personPosition = 0;
    for (PersonRecord *person = personList ? personList->next : nullptr; person; person = person->next) {
        int32_t numberPosition = 0;
        if (person->numbers != nullptr) {
            for (NumberRecord *number = person->numbers->next; number; number = number->next) {
                MemberPositionSlot *slot = SlotOf(index, number);
                if (slot->number == number && slot->person == nullptr) {
                    slot->person = person;
                    slot->personPosition = personPosition;
                    slot->numberPosition = numberPosition;
                }
                ++numberPosition;
            }
        }
        ++personPosition;
    }
    return 1;
}

void FreeAddressIndex(AddressIndex *index) {
    std::free(index->slots);
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
    size_t first = index->firstNumber[at];
    size_t end = at + 1 < index->personCount ? index->firstNumber[at + 1] : index->numberCount;
    if (numberPosition < 0 || static_cast<uint64_t>(numberPosition) >= end - first) return 0;
    PersonRecord *foundPerson = index->persons[at];
    NumberRecord *foundNumber = index->numbers[first + static_cast<size_t>(numberPosition)];
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
    std::snprintf(text, size, "%ld.%ld", static_cast<long>(person), static_cast<long>(number));
}
