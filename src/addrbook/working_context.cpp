// The per-call working context and the group maintenance the editors use.
#include "addrbook/address_book_file.h"
#include "addrbook/records.h"
#include "job/fax_info.h"

int OpenEmptyWorkingContext(WorkingContext **context) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(WorkingContext)) != ERR_NONE) {
        *context = nullptr;
        return 0;
    }
    // Handed out at once, so the caller's close releases whatever a failed
    // open below had already made.
    WorkingContext *made = static_cast<WorkingContext *>(block);
    *context = made;

    void *persons = nullptr;
    if (NewList(&persons, sizeof(PersonRecord)) != ERR_NONE) return 0;
    made->persons = static_cast<PersonRecord *>(persons);
    void *groups = nullptr;
    if (NewList(&groups, sizeof(GroupRecord)) != ERR_NONE) return 0;
    made->groups = static_cast<GroupRecord *>(groups);
    return 1;
}

int OpenWorkingContext(WorkingContext **context) {
    if (!OpenEmptyWorkingContext(context)) return 0;
    WorkingContext *made = *context;
    if (!NewFaxInfo(&made->faxInfo)) return 0;
    if (!NewSenderInfo(&made->senderInfo)) return 0;
    // A book that is there but cannot be read leaves the context open with
    // an empty book, marked so that it is never saved over the file.
    uint16_t loaded = LoadAddressBook(made);
    if (loaded != ERR_NONE && loaded != ERR_CANT_READ) return 0;
    RemoveEmptyGroups(made);
    return 1;
}

int CloseWorkingContext(WorkingContext **context) {
    if (context == nullptr || *context == nullptr) return 1;
    WorkingContext *open = *context;
    // Persons go before groups: member links are released without being followed.
    FreePersonList(&open->persons);
    FreeGroupList(&open->groups);
    FreeFaxInfo(&open->faxInfo);
    void *sender = open->senderInfo;
    FreeRecord(&sender);
    open->senderInfo = nullptr;
    void *block = open;
    DisposePtr(&block);
    *context = nullptr;
    return 1;
}

void RemoveEmptyGroups(WorkingContext *context) {
    if (context == nullptr || context->groups == nullptr) return;
    GroupRecord *previous = context->groups;
    GroupRecord *group = previous->next;
    while (group != nullptr) {
        GroupRecord *next = group->next;
        if (group->members == nullptr || group->members->next == nullptr) {
            previous->next = next;
            FreeGroup(&group);
        } else {
            previous = group;
        }
        group = next;
    }
}

void RemoveNumberFromGroups(WorkingContext *context, NumberRecord *number) {
    if (context == nullptr || context->groups == nullptr) return;
    for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next) {
        if (group->members == nullptr) continue;
        MemberLink *previous = group->members;
        MemberLink *link = previous->next;
        while (link != nullptr) {
            MemberLink *next = link->next;
            if (link->number == number) {
                previous->next = next;
                void *block = link;
                FreeRecord(&block);
            } else {
                previous = link;
            }
            link = next;
        }
    }
    RemoveEmptyGroups(context);
}

void RemovePersonFromGroups(WorkingContext *context, PersonRecord *person) {
    if (person == nullptr || person->numbers == nullptr) return;
    for (NumberRecord *number = person->numbers->next; number != nullptr; number = number->next)
        RemoveNumberFromGroups(context, number);
}
