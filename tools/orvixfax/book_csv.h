// CSV (RFC 4180) for moving an address book to and from spreadsheets and
// contacts programs: a header row naming the columns, then one row per
// fax number; a person without numbers is one row with an empty number.
// The separator is a comma, a semicolon or a TAB, found from the header
// row. With a code page, the CSV text is UTF-8 and each field read is
// converted at this edge; without one, texts are the book's 8-bit bytes.
#ifndef ORVIXFAX_TOOL_BOOK_CSV_H
#define ORVIXFAX_TOOL_BOOK_CSV_H

#include <ostream>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "orvixfax/book_merge.h"
#include "orvixfax/code_page.h"

// The columns, in the order export writes them.
extern const char *const kBookCsvColumns[8];

// What a reader noticed besides its rows.
struct ImportSummary {
    char separator = ',';
    std::vector<std::string> ignored;  // columns it does not read, as the header names them
    int skipped = 0;                   // contacts without a fax number
};

// The separator of a header row: the one of ',' ';' TAB it holds most
// often outside quotes (',' when none).
char DetectSeparator(const std::string &text);

// Reads the whole text, handing each row to `visit`. `separator` 0 finds
// it from the header row. On a malformed text gives false with `error`
// naming the line ("line 4: ..."), also for a field with a character the
// code page has no byte for, and for a row the editors' rules refuse; the
// rows handed on before it are then not to be used. `checked`: the text
// was read once already without fault, so its records need no first look.
bool ReadBookCsv(const std::string &text, const CodePage *codePage, char separator, const RowVisitor &visit,
                 ImportSummary &summary, std::string &error, bool checked = false);
// All rows at once.
bool ParseBookCsv(const std::string &text, std::vector<PersonRow> &rows, std::string &error,
                  const CodePage *codePage = nullptr, char separator = 0);

// The book's persons as CSV text, CR LF line ends, each number with its
// groups ("Team;Night": a ';' or '\' in a name is written "\;" or "\\"):
// written to `out` as it is made, or given whole.
void WriteBookCsv(const WorkingContext *context, std::ostream &out, const CodePage *codePage = nullptr,
                  char separator = ',');
std::string FormatBookCsv(const WorkingContext *context, const CodePage *codePage = nullptr, char separator = ',');

#endif
