// What an import brings into the book: rows of a person and at most one of
// its numbers with that number's groups, from CSV or vCard alike, checked
// by the editors' rules and merged into the book.
#ifndef ORVIXFAX_TOOL_BOOK_MERGE_H
#define ORVIXFAX_TOOL_BOOK_MERGE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "addrbook/records.h"

// Texts are bytes in the book's code page.
struct PersonRow {
    int line = 0;  // where the row starts in its file, from 1
    std::string firstName, lastName, company, department, notes, number, details;
    std::vector<std::string> groups;  // the groups the number is to be in, by name
};

// Hands on rows as a reader finds them; false stops the reader.
using RowVisitor = std::function<bool(const PersonRow &)>;

// The names the book's fields have in CSV headers, JSON and messages, in
// the order CSV export writes them, and how many characters each takes.
struct BookField {
    const char *name;
    size_t limit;
};
extern const BookField kBookFields[7];
std::string *FieldOf(PersonRow &row, int field);
const std::string &FieldOf(const PersonRow &row, int field);

// Why a row cannot go into the book (a field too long, a zero byte, no
// name, details or groups without a number, a group name the group editor
// refuses), or empty when it can.
std::string RowFault(const PersonRow &row);

// What a merge did, or would do.
struct MergeReport {
    int persons = 0;         // persons added
    int numbers = 0;         // numbers added
    int groupsMade = 0;      // groups made
    int groupsChanged = 0;   // groups of the book that got members
    int members = 0;         // members added to groups, new or old
    // With `keepEvents`: each addition, in order.
    struct Event {
        enum class Kind { Person, Number, Group, Member };
        Kind kind;
        const PersonRecord *person;
        const NumberRecord *number;
        const GroupRecord *group;
    };
    std::vector<Event> events;
};

// Merges rows into the book one at a time: a row's person is the book's
// person of the same first name, last name and company, or a new one; its
// number is added unless that person already has the same number; the
// number (new or not) joins the row's groups, made when missing, when
// Finish runs. Rows must have passed RowFault. Add and Finish give false
// when memory ran out (the book may then hold part of the rows).
class BookMerger {
public:
    BookMerger(WorkingContext *context, MergeReport &report, bool keepEvents = false);
    ~BookMerger();
    BookMerger(const BookMerger &) = delete;
    BookMerger &operator=(const BookMerger &) = delete;
    bool Add(const PersonRow &row);
    bool Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// All rows merged and finished: false when memory ran out.
bool MergeBookRows(WorkingContext *context, const std::vector<PersonRow> &rows, MergeReport &report);

#endif
