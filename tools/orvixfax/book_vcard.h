// vCard files (RFC 2426 vCard 3.0, RFC 6350 vCard 4.0) for moving the book
// to and from phones and contacts programs. A card is a person; its TEL
// properties of type fax are its numbers, their other types the numbers'
// details; CATEGORIES are groups. Cards are UTF-8; with a code page each
// text read is converted at this edge, without one texts stay as they are.
#ifndef ORVIXFAX_TOOL_BOOK_VCARD_H
#define ORVIXFAX_TOOL_BOOK_VCARD_H

#include <ostream>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "orvixfax/book_csv.h"
#include "orvixfax/book_merge.h"
#include "orvixfax/code_page.h"

// The PRODID export writes: cards with it are the book's own persons, kept
// also when they have no number.
extern const char kVcardProductPrefix[];

// Reads every card of the text, handing each of its fax numbers to `visit`
// as a row. Cards without a fax number are counted in `summary.skipped`.
// False with `error` naming the line ("line 12: ...") for a malformed card,
// a text the code page has no byte for, or a card the editors' rules
// refuse; the rows handed on before are then not to be used.
bool ReadVcards(const std::string &text, const CodePage *codePage, const RowVisitor &visit, ImportSummary &summary,
                std::string &error);
bool ParseVcards(const std::string &text, std::vector<PersonRow> &rows, std::string &error,
                 const CodePage *codePage = nullptr);

// The book's persons as vCard 3.0, one card per person, lines folded at
// 75 octets, CR LF line ends: written to `out` as made, or given whole.
void WriteVcards(const WorkingContext *context, std::ostream &out, const CodePage *codePage = nullptr);
std::string FormatVcards(const WorkingContext *context, const CodePage *codePage = nullptr);

#endif
