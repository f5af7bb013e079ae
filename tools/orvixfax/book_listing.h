// What `orvixfax book show` prints: the book as a listing or as JSON. Both
// are written as they are made, in pieces of 64 KB, and look each group
// member's positions up in an index of the members, so a large book costs
// time and memory in proportion to its size.
#ifndef ORVIXFAX_TOOL_BOOK_LISTING_H
#define ORVIXFAX_TOOL_BOOK_LISTING_H

#include <ostream>
#include <string>

#include "addrbook/records.h"
#include "orvixfax/code_page.h"

// "Address book PATH: N persons, M groups", then each person with its
// fields and numbers, then each group with its members. `shownPath` is the
// book's path as the user's system spells it.
// Texts in UTF-8 from the code page, control characters as \xHH.
void ShowListing(const WorkingContext *context, const std::string &shownPath, const CodePage &codePage,
                 std::ostream &out);

// {"persons": [...], "groups": [...]} with two-space indentation; texts in
// UTF-8 from the code page.
void ShowJson(const WorkingContext *context, const CodePage &codePage, std::ostream &out);

#endif
