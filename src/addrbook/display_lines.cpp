// The list-box lines of the address book records.
#include "display_lines.h"

#include <cstdio>
#include <cstring>

namespace {

size_t NameLength(const PersonRecord *person) {
    return std::strlen(person->firstName) + std::strlen(person->lastName);
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
        std::snprintf(line, size, "%s, %s\t%s", person->lastName, person->firstName, person->company);
    else
        std::snprintf(line, size, "%s", person->company);
}

void FormatGroupLine(const GroupRecord *group, char *line, size_t size) {
    std::snprintf(line, size, "[%s]", group->name);
}

void FormatRecipientNumberLine(const PersonRecord *person, const NumberRecord *number, char *line,
                               size_t size) {
    if (NameLength(person) >= 1)
        std::snprintf(line, size, "%s, %s\t%s", person->lastName, person->firstName, number->number);
    else
        std::snprintf(line, size, "%s\t%s", person->company, number->number);
}

void FormatGroupEditorLine(const PersonRecord *person, const NumberRecord *number, char *line,
                           size_t size) {
    // The group editor has always wanted two characters of name before
    // showing a person by name rather than by company.
    if (NameLength(person) >= 2)
        std::snprintf(line, size, "%s, %s\t%s", person->lastName, person->firstName, number->number);
    else
        std::snprintf(line, size, "%s\t%s", person->company, number->number);
}

void FormatPersonNumberLine(const NumberRecord *number, char *line, size_t size) {
    std::snprintf(line, size, "%s\t%s", number->number, number->details);
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
