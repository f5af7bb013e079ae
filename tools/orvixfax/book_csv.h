// CSV (RFC 4180) for moving an address book to and from spreadsheets: a
// header row naming the columns, then one row per fax number; a person
// without numbers is one row with an empty number. With a code page, the
// CSV text is UTF-8 and each field is converted at this edge; without one,
// texts are the book's 8-bit bytes as they stand.
#ifndef ORVIXFAX_TOOL_BOOK_CSV_H
#define ORVIXFAX_TOOL_BOOK_CSV_H

#include <ostream>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "orvixfax/code_page.h"

// The columns, in the order export writes them.
extern const char *const kBookCsvColumns[7];

struct CsvPersonRow {
    int line = 0;  // where the row starts in the file, from 1
    std::string firstName, lastName, company, department, notes, number, details;
};

// Reads the whole text. On a malformed text gives false with `error` naming
// the line ("line 4: ..."), also for a field with a character the code
// page has no byte for; the rows are then not to be used.
bool ParseBookCsv(const std::string &text, std::vector<CsvPersonRow> &rows, std::string &error,
                  const CodePage *codePage = nullptr);
// The same check without keeping the rows.
bool CheckBookCsv(const std::string &text, std::string &error, const CodePage *codePage = nullptr);

// The book's persons as CSV text, CR LF line ends: written to `out` as it
// is made, or given whole.
void WriteBookCsv(const WorkingContext *context, std::ostream &out, const CodePage *codePage = nullptr);
std::string FormatBookCsv(const WorkingContext *context, const CodePage *codePage = nullptr);

struct MergeCounts {
    int persons = 0;
    int numbers = 0;
};

// Merges rows into the book: a row's person is the book's person of the
// same first name, last name and company, or a new one; its number is
// added unless that person already has the same number. false when memory
// ran out (the book may then hold part of the rows).
bool MergeBookRows(WorkingContext *context, const std::vector<CsvPersonRow> &rows, MergeCounts &counts);
// Merges the rows of a text that CheckBookCsv has passed, one at a time as
// they are read.
bool MergeBookCsv(WorkingContext *context, const std::string &text, MergeCounts &counts,
                  const CodePage *codePage = nullptr);

#endif
