// Naming things of the address book in words, as people name them on the
// command line (WHO): a group by its name, with or without the brackets the
// lists show it in ("[Sales Team]", "Sales Team"); a person by name ("Ann
// Lee", "Lee, Ann", or the company of a person without a name); one number
// of a person ("Ann Lee:+49 30 5550 1234"). Texts compare as they are
// first; only when nothing matches so do they ignoring case (in the code
// page: "ødegård" names "Ødegård").
#ifndef ORVIXFAX_TOOL_BOOK_LOOKUP_H
#define ORVIXFAX_TOOL_BOOK_LOOKUP_H

#include <string>
#include <vector>

#include "addrbook/records.h"
#include "orvixfax/code_page.h"

struct BookItem {
    enum class Kind { Group, Person, Number };
    Kind kind = Kind::Person;
    GroupRecord *group = nullptr;    // a group
    PersonRecord *person = nullptr;  // a person, or the person of a number
    NumberRecord *number = nullptr;  // a number
};

// What a WHO may stand for.
enum class WhoMeans {
    Recipients,  // groups and numbers, as the fax dialog's list shows them: a person names each of its numbers
    Members,     // numbers only, a person naming each of its numbers
    Anything,    // groups, persons and numbers
};

// Everything of the book the WHO text (bytes in the code page) names.
std::vector<BookItem> FindWho(const WorkingContext *context, const CodePage &codePage, const std::string &who,
                              WhoMeans means);

// Everything whose texts contain `text`, ignoring case: groups by name,
// persons by any of their fields, numbers by number or details. With
// Recipients or Members, only what such a WHO may name.
std::vector<BookItem> FindContaining(const WorkingContext *context, const CodePage &codePage,
                                     const std::string &text, WhoMeans means);

// The WHO that names an item, in UTF-8 ("[Sales Team]", "Ann Lee",
// "Ann Lee:+49 30 5550 1234"), and what tells it from others of the same
// WHO ("Acme, office"; empty when nothing does).
std::string WhoText(const CodePage &codePage, const BookItem &item);
std::string WhoDetails(const CodePage &codePage, const BookItem &item);

// "Ann Lee": first and last name with a blank between, or the one there
// is; the company when there is none; empty for a person without either.
std::string PersonName(const PersonRecord *person);

#endif
