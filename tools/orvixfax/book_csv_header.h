// What the columns of a CSV header row are to the book: its own columns,
// and those the common contacts programs write (Outlook, Google Contacts,
// Thunderbird), names compared ignoring case and blanks.
#ifndef ORVIXFAX_TOOL_BOOK_CSV_HEADER_H
#define ORVIXFAX_TOOL_BOOK_CSV_HEADER_H

#include <string>
#include <vector>

struct CsvColumn {
    enum class Role {
        Ignored,
        Field,        // one of the book's fields (kBookFields)
        Fax,          // a fax number; `kind` becomes its details ("business fax")
        PhoneType,    // Google's "Phone N - Type" ...
        PhoneValue,   // ... and "Phone N - Value": a fax number when the type says fax
        Groups,       // group names; `groupSeparator` between them
        DisplayName,  // the whole name, for a row without first name, last name and company
    };
    Role role = Role::Ignored;
    int field = -1;
    std::string kind;
    int pair = -1;  // the N of a phone pair
    std::string groupSeparator;
};

struct CsvLayout {
    std::vector<CsvColumn> columns;
    // Whether rows carry numbers in columns of their own kind (exporters'
    // fax columns): then a row without a number is a contact without fax,
    // not a person without numbers.
    bool faxColumns = false;
};

// The layout of a header. False with `error` (without the line) when a
// column appears twice or none is one the book reads; `ignored` lists the
// columns it does not read, as written.
bool CsvLayoutOf(const std::vector<std::string> &header, CsvLayout &layout, std::vector<std::string> &ignored,
                 std::string &error);

#endif
