// The list-box lines of the address book records.
#include "addrbook/display_lines.h"

#include <cstring>
#include <initializer_list>

namespace {

size_t NameLength(const PersonRecord *person) {
    return std::strlen(person->firstName) + std::strlen(person->lastName);
}

// The pieces one after another, cut to size - 1 bytes and ended, as
// snprintf with "%s" for each would write them; every list's fill formats
// one line per record, so this stays a plain copy.
void JoinLine(char *line, size_t size, std::initializer_list<const char *> pieces) {
    if (size == 0) return;
    size_t used = 0;
    for (const char *piece : pieces) {
        size_t length = std::strlen(piece);
        if (length > size - 1 - used) length = size - 1 - used;
        std::memcpy(line + used, piece, length);
        used += length;
    }
    line[used] = '\0';
}

}  // namespace

int NewRecipientListItem(RecipientListItem **item) {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(RecipientListItem)) != ERR_NONE) {
        *item = nullptr;
        return 0;
    }
    RecipientListItem *made = static_cast<RecipientListItem *>(block);
    if (!NewMemberLink(&made->link)) {
        DisposePtr(&block);
        *item = nullptr;
        return 0;
    }
    *item = made;
    return 1;
}

int FreeRecipientListItem(RecipientListItem **item) {
    if (item == nullptr || *item == nullptr) return 1;
    void *link = (*item)->link;
    FreeRecord(&link);
    void *block = *item;
    DisposePtr(&block);
    *item = nullptr;
    return 1;
}

void FormatBookPersonLine(const PersonRecord *person, char *line, size_t size) {
    if (NameLength(person) >= 1)
        JoinLine(line, size, {person->lastName, ", ", person->firstName, "\t", person->company});
    else
        JoinLine(line, size, {person->company});
}

void FormatGroupLine(const GroupRecord *group, char *line, size_t size) {
    JoinLine(line, size, {"[", group->name, "]"});
}

void FormatRecipientNumberLine(const PersonRecord *person, const NumberRecord *number, char *line,
                               size_t size) {
    if (NameLength(person) >= 1)
        JoinLine(line, size, {person->lastName, ", ", person->firstName, "\t", number->number});
    else
        JoinLine(line, size, {person->company, "\t", number->number});
}

void FormatGroupEditorLine(const PersonRecord *person, const NumberRecord *number, char *line,
                           size_t size) {
    // The group editor has always wanted two characters of name before
    // showing a person by name rather than by company.
    if (NameLength(person) >= 2)
        JoinLine(line, size, {person->lastName, ", ", person->firstName, "\t", number->number});
    else
        JoinLine(line, size, {person->company, "\t", number->number});
}

void FormatPersonNumberLine(const NumberRecord *number, char *line, size_t size) {
    JoinLine(line, size, {number->number, "\t", number->details});
}

int CompareText(const char *a, const char *b) {
    const signed char *left = reinterpret_cast<const signed char *>(a);
    const signed char *right = reinterpret_cast<const signed char *>(b);
    while (*left != 0 && *left == *right) {
        ++left;
        ++right;
    }
    if (*left == *right) return 0;
    return *left > *right ? 1 : -1;
}

int FindGroupByName(WorkingContext *context, const char *text, GroupRecord **group) {
    if (context == nullptr || context->groups == nullptr || text == nullptr) return 0;
    char line[sizeof(GroupRecord::name) + 3];
    for (GroupRecord *candidate = context->groups->next; candidate != nullptr;
         candidate = candidate->next) {
        if (CompareText(text, candidate->name) == 0) {
            *group = candidate;
            return 1;
        }
        FormatGroupLine(candidate, line, sizeof line);
        if (CompareText(text, line) == 0) {
            *group = candidate;
            return 1;
        }
    }
    return 0;
}
