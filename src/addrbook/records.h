// The address book records, the lists that hold them, the allocation layer
// under them and the per-call working context that owns them all.
//
// Every record, every list sentinel and the context is one zero-filled,
// locked block of moveable global memory (CreatePtr). Lists are singly
// linked behind an all-zero sentinel of the element's own kind; every
// record that can stand in a list begins with its next pointer.
#ifndef ORVIXFAX_RECORDS_H
#define ORVIXFAX_RECORDS_H

#include <cstddef>
#include <cstdint>

#include "orvixfax.h"

// Result codes of the allocation and file layer.
enum : uint16_t {
    ERR_NONE = 0,
    ERR_NO_MEMORY = 4001,
    ERR_CANT_OPEN = 4002,
    ERR_EMPTY_FILE = 4003,
    ERR_CANT_READ = 4004,  // the file is there but cannot be read
};

// NumberRecord and NumberEditorParams are part of the exported interface
// (EditNumberDlgProc): they are defined in orvixfax.h, with their layout.
// A NumberRecord's id is its identity within the process, see NewNumber.

struct PersonRecord {
    PersonRecord *next;
    char firstName[36];
    char lastName[46];
    NumberRecord *numbers;  // sentinel, owned
    char company[40];
    char department[40];
    char notes[250];
};

// Ask for a person's fields ahead of their use, while a walk over a large
// book's persons is at the one before: the records of such a book no
// longer fit the caches. Null is left alone.
// Its names and number list, for its number lines and for freeing it.
inline void PrefetchPerson(const PersonRecord *person) {
    if (person == nullptr) return;
    __builtin_prefetch(person);
    __builtin_prefetch(&person->numbers);
}
// Its names and company, for its line in the address book.
inline void PrefetchPersonLine(const PersonRecord *person) {
    if (person == nullptr) return;
    PrefetchPerson(person);
    __builtin_prefetch(&person->company[sizeof person->company - 1]);
}

struct MemberLink {
    MemberLink *next;
    PersonRecord *person;  // not owned
    NumberRecord *number;  // one number of that person, not owned
};

struct GroupRecord {
    GroupRecord *next;
    MemberLink *members;  // sentinel, owned
    char name[80];
    uint32_t id;  // identity within the process, see NewGroup
};

struct SenderInfo {
    int32_t senderNameFlag;
    int32_t senderFaxNumberFlag;
    int32_t senderHomeNumberFlag;
    int32_t senderBusinessNumberFlag;
    char senderName[82];
    char senderFaxNumber[80];
    char senderBusinessNumber[80];
    char senderHomeNumber[80];
    char noteLines[10][256];
};

enum { SELECTION_CAPACITY = 1024 };

struct WorkingContext {
    PersonRecord *persons;  // sentinel
    GroupRecord *groups;    // sentinel
    SenderInfo *senderInfo;
    FaxInfo *faxInfo;
    int32_t selection[SELECTION_CAPACITY];  // the fax dialog's last accepted selection
    int32_t selectionCount;
    // The book file is there but could not be read: the book is shown
    // empty, is never saved over the file, and the user is told so once.
    int32_t bookUnreadable;
    uint32_t bookReadError;  // the Windows error of that read
    int32_t bookUnreadableTold;
};

// Dialog parameters of the group and person editors (the number editor's
// are NumberEditorParams, mode as here).
enum EditorMode : int32_t { EDITOR_NEW = 0, EDITOR_EDIT = 1 };

struct EditorParams {
    int32_t mode;           // EditorMode; any non-zero value edits
    void *record;           // GroupRecord or PersonRecord
    WorkingContext *context;
};

// ---- allocation
uint16_t CreatePtr(void **block, size_t size);
uint16_t DisposePtr(void **block);

// ---- lists (the list argument is always the sentinel)
uint16_t NewList(void **sentinel, size_t elementSize);
uint16_t ListAppend(void *list, void *record);
uint16_t ListUnlink(void *list, void *record);
uint16_t ListGetAt(void *list, int16_t position, void **record);  // 1-based
uint16_t ListFirst(void *list, void **record);
uint16_t FreeChain(void **chain);

// ---- constructors (1, or 0 when an allocation fails) and destructors (1)
// NewNumber and NewGroup give each record the next serial of the process:
// a record freed and another made in its memory are never taken for each other.
int NewPerson(PersonRecord **person);
int FreePerson(PersonRecord **person);
int FreePersonList(PersonRecord **sentinel);
int NewNumber(NumberRecord **number);
int NewMemberLink(MemberLink **link);
int FreeRecord(void **record);
int FreeRecordList(void **sentinel);
int NewGroup(GroupRecord **group);
int FreeGroup(GroupRecord **group);
int FreeGroupList(GroupRecord **sentinel);
int NewSenderInfo(SenderInfo **info);

// ---- the working context
// 1 when the context is open, its book loaded (or, when the file could not
// be read, empty and marked so); 0 when memory ran out.
int OpenWorkingContext(WorkingContext **context);
// A context with empty person and group lists and nothing else, for a
// book that is read or built by other means than the module's own file:
// 1 when open, 0 when memory ran out. Either way the context is handed
// out at once (null only when not even it could be had), so the caller's
// CloseWorkingContext releases whatever a failed open had made.
int OpenEmptyWorkingContext(WorkingContext **context);
int CloseWorkingContext(WorkingContext **context);

// ---- group maintenance
void RemoveEmptyGroups(WorkingContext *context);
void RemoveNumberFromGroups(WorkingContext *context, NumberRecord *number);
void RemovePersonFromGroups(WorkingContext *context, PersonRecord *person);

#endif
