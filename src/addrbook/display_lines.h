// The list-box lines that show address book records, and what each line
// carries: the formats of every list, the fax dialog's per-line record, the
// horizontal extent of a list and the lookup of a group by name.
#ifndef ORVIXFAX_DISPLAY_LINES_H
#define ORVIXFAX_DISPLAY_LINES_H

#include "addrbook/records.h"
#include "platform/win32api.h"

// Per-line data of the fax dialog's recipient list.
enum : uint32_t { RECIPIENT_NUMBER_LINE = 0, RECIPIENT_GROUP_LINE = 1 };

// One block a line: the item is the line's own record, not shared.
struct RecipientListItem {
    uint32_t kind;          // RECIPIENT_GROUP_LINE or RECIPIENT_NUMBER_LINE
    GroupRecord *group;     // group lines only
    PersonRecord *person;   // number lines only: the person and one of its numbers
    NumberRecord *number;
};

int NewRecipientListItem(RecipientListItem **item);
int FreeRecipientListItem(RecipientListItem **item);

// Line texts, each into a buffer of `size` bytes; each gives the length
// of the line it wrote.
size_t FormatBookPersonLine(const PersonRecord *person, char *line, size_t size);   // list 1017
size_t FormatGroupLine(const GroupRecord *group, char *line, size_t size);         // "[name]", 1017 and 1000
size_t FormatRecipientNumberLine(const PersonRecord *person, const NumberRecord *number,
                                 char *line, size_t size);                          // list 1000
size_t FormatGroupEditorLine(const PersonRecord *person, const NumberRecord *number,
                             char *line, size_t size);                              // lists 1027, 1018
size_t FormatPersonNumberLine(const NumberRecord *number, char *line, size_t size); // list 1028

int FindGroupByName(WorkingContext *context, const char *text, GroupRecord **group);
int CompareText(const char *a, const char *b);

// As wide as the longest line of the list, at the dialog's average
// character width. A fill that knows its longest line says so, rather than
// the list's lines being measured again one message each.
void SetListHorizontalExtent(HWND dialog, int controlId);
void SetListExtentForLongest(HWND dialog, int controlId, size_t longest);
int GetAverageCharWidth(HWND window);

#endif
