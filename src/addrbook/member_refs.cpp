// Member references of the group lines: "person.number", both 0-based
// positions in the lists as they stand.
#include <cstdio>

#include "addrbook/address_book_file.h"
#include "addrbook/address_book_index.h"

void FormatMemberRef(WorkingContext *context, const MemberLink *link, char *text, size_t size) {
    if (size == 0) return;
    text[0] = '\0';
    if (context == nullptr || context->persons == nullptr || link == nullptr) return;
    long long personPosition = 0;
    PersonRecord *person = context->persons->next;
    while (person != nullptr && person != link->person) {
        person = person->next;
        ++personPosition;
    }
    if (person == nullptr || person->numbers == nullptr) return;
    long long numberPosition = 0;
    NumberRecord *number = person->numbers->next;
    while (number != nullptr && number != link->number) {
        number = number->next;
        ++numberPosition;
    }
    if (number == nullptr) return;
    std::snprintf(text, size, "%lld.%lld", personPosition, numberPosition);
}

int ParseMemberRef(WorkingContext *context, const char *text, PersonRecord **person,
                   NumberRecord **number) {
    *person = nullptr;
    *number = nullptr;
    if (context == nullptr || context->persons == nullptr || text == nullptr) return 0;
    int64_t personPosition = 0, numberPosition = 0;
    if (!SplitMemberRef(text, &personPosition, &numberPosition)) return 0;
    if (personPosition < 0 || numberPosition < 0) return 0;
    // Positions are counted in full: a book of more than 32767 persons must
    // not have its references wrap round to other persons.
    PersonRecord *foundPerson = context->persons->next;
    for (int64_t step = 0; step < personPosition && foundPerson != nullptr; ++step)
        foundPerson = foundPerson->next;
    if (foundPerson == nullptr || foundPerson->numbers == nullptr) return 0;
    NumberRecord *foundNumber = foundPerson->numbers->next;
    for (int64_t step = 0; step < numberPosition && foundNumber != nullptr; ++step)
        foundNumber = foundNumber->next;
    if (foundNumber == nullptr) return 0;
    *person = foundPerson;
    *number = foundNumber;
    return 1;
}
