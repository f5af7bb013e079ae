// Constructors and destructors of the address book records. Constructors
// give 1 or 0 (an allocation failed, nothing is left allocated); destructors
// take the address of the pointer, accept null and leave it null.
#include <cstring>

#include "addrbook/records.h"

namespace {

// Identity of NumberRecords and GroupRecords within the process: the person
// editor matches the copies it edits to their originals by it, the fax
// dialog finds its selected lines again by it. Never reset, never saved.
uint32_t g_nextRecordId = 0;

void *NextOf(void *record) {
    void *next;
    std::memcpy(&next, record, sizeof next);
    return next;
}

// Releases one typed block through DisposePtr and nulls the caller's pointer.
template <typename T>
void Dispose(T **pointer) {
    void *block = *pointer;
    DisposePtr(&block);
    *pointer = nullptr;
}

template <typename T>
void FreeList(T **sentinel) {
    void *list = *sentinel;
    FreeRecordList(&list);
    *sentinel = nullptr;
}

}  // namespace

int NewPerson(PersonRecord **person) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(PersonRecord)) != ERR_NONE) {
        *person = nullptr;
        return 0;
    }
    PersonRecord *record = static_cast<PersonRecord *>(block);
    void *numbers = nullptr;
    if (NewList(&numbers, sizeof(NumberRecord)) != ERR_NONE) {
        DisposePtr(&block);
        *person = nullptr;
        return 0;
    }
    record->numbers = static_cast<NumberRecord *>(numbers);
    *person = record;
    return 1;
}

int FreePerson(PersonRecord **person) {
    if (person == nullptr || *person == nullptr) return 1;
    FreeList(&(*person)->numbers);
    Dispose(person);
    return 1;
}

int FreePersonList(PersonRecord **sentinel) {
    if (sentinel == nullptr || *sentinel == nullptr) return 1;
    PersonRecord *person = (*sentinel)->next;
    while (person != nullptr) {
        PersonRecord *next = person->next;
        PrefetchPerson(next);
        FreePerson(&person);
        person = next;
    }
    Dispose(sentinel);
    return 1;
}

int NewNumber(NumberRecord **number) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(NumberRecord)) != ERR_NONE) {
        *number = nullptr;
        return 0;
    }
    NumberRecord *record = static_cast<NumberRecord *>(block);
    record->id = g_nextRecordId++;
    *number = record;
    return 1;
}

int NewMemberLink(MemberLink **link) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(MemberLink)) != ERR_NONE) {
        *link = nullptr;
        return 0;
    }
    *link = static_cast<MemberLink *>(block);
    return 1;
}

int FreeRecord(void **record) {
    if (record == nullptr || *record == nullptr) return 1;
    DisposePtr(record);
    return 1;
}

int FreeRecordList(void **sentinel) {
    if (sentinel == nullptr || *sentinel == nullptr) return 1;
    void *record = NextOf(*sentinel);
    while (record != nullptr) {
        void *next = NextOf(record);
        DisposePtr(&record);
        record = next;
    }
    DisposePtr(sentinel);
    return 1;
}

int NewGroup(GroupRecord **group) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(GroupRecord)) != ERR_NONE) {
        *group = nullptr;
        return 0;
    }
    GroupRecord *record = static_cast<GroupRecord *>(block);
    void *members = nullptr;
    if (NewList(&members, sizeof(MemberLink)) != ERR_NONE) {
        DisposePtr(&block);
        *group = nullptr;
        return 0;
    }
    record->members = static_cast<MemberLink *>(members);
    record->id = g_nextRecordId++;
    *group = record;
    return 1;
}

int FreeGroup(GroupRecord **group) {
    if (group == nullptr || *group == nullptr) return 1;
    // The links are released without following them: the persons and
    // numbers they name belong to the person list.
    FreeList(&(*group)->members);
    Dispose(group);
    return 1;
}

int FreeGroupList(GroupRecord **sentinel) {
    if (sentinel == nullptr || *sentinel == nullptr) return 1;
    GroupRecord *group = (*sentinel)->next;
    while (group != nullptr) {
        GroupRecord *next = group->next;
        FreeGroup(&group);
        group = next;
    }
    Dispose(sentinel);
    return 1;
}

int NewSenderInfo(SenderInfo **info) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(SenderInfo)) != ERR_NONE) {
        *info = nullptr;
        return 0;
    }
    *info = static_cast<SenderInfo *>(block);
    return 1;
}
