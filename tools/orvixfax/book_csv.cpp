#include "orvixfax/book_csv.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "common/text_field.h"

const char *const kBookCsvColumns[7] = {"firstName", "lastName", "company", "department",
                                        "notes",     "number",   "details"};

namespace {

// Room in each record field (one byte goes to the terminator).
const size_t kColumnLimits[7] = {
    sizeof(PersonRecord::firstName) - 1, sizeof(PersonRecord::lastName) - 1,
    sizeof(PersonRecord::company) - 1,   sizeof(PersonRecord::department) - 1,
    sizeof(PersonRecord::notes) - 1,     sizeof(NumberRecord::number) - 1,
    sizeof(NumberRecord::details) - 1,
};

std::string *Column(CsvPersonRow &row, int column) {
    std::string *fields[7] = {&row.firstName, &row.lastName, &row.company, &row.department,
                              &row.notes,     &row.number,   &row.details};
    return fields[column];
}

bool SameName(const std::string &a, const char *b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// One RFC 4180 record and the line it starts on.
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// Reads the record that starts at `at` into `record` (its fields vector is
// reused) and moves `at` and `line` past it. False with `error` when the
// text is malformed.
bool NextCsvRecord(const std::string &text, size_t &at, int &line, CsvRecord &record, std::string &error) {
    record.line = line;
    size_t fields = 0;
    auto nextField = [&]() -> std::string & {
        if (fields == record.fields.size()) record.fields.emplace_back();
        std::string &field = record.fields[fields++];
        field.clear();
        return field;
    };
    for (;;) {
        std::string &field = nextField();
        if (at < text.size() && text[at] == '"') {
            ++at;
            for (;;) {
                size_t quote = text.find('"', at);
                if (quote == std::string::npos) {
                    error = "line " + std::to_string(record.line) + ": a quoted field is not closed";
                    return false;
                }
                line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(at),
                                                    text.begin() + static_cast<std::ptrdiff_t>(quote), '\n'));
                field.append(text, at, quote - at);
                at = quote + 1;
                if (at < text.size() && text[at] == '"') {
                    field += '"';
                    ++at;
                    continue;
                }
                break;
            }
            if (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                error = "line " + std::to_string(line) + ": text after the closing quote of a field";
                return false;
            }
        } else {
            size_t end = at;
            while (end < text.size() && text[end] != ',' && text[end] != '\r' && text[end] != '\n' && text[end] != '"')
                ++end;
            if (end < text.size() && text[end] == '"') {
                error = "line " + std::to_string(line) + ": a quote inside a field that is not quoted";
                return false;
            }
            field.append(text, at, end - at);
            at = end;
        }
        if (at >= text.size()) break;
        if (text[at] == ',') {
            ++at;
            if (at >= text.size()) {
                nextField();  // a last empty field
                break;
            }
            continue;
        }
        if (text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
        ++line;
        break;
    }
    record.fields.resize(fields);
    return true;
}

// The first byte of the text's records: a byte-order mark some
// spreadsheets put in front is not data.
size_t CsvStart(const std::string &text) { return text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0; }

std::string Quote(const std::string &value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos && (value.empty() || (value.front() != ' ' && value.back() != ' ')))
        return value;
    std::string quoted = "\"";
    for (char byte : value) {
        if (byte == '"') quoted += '"';
        quoted += byte;
    }
    return quoted + '"';
}

}  // namespace

namespace {

// Reads the header and then every row of the text, handing each to
// `visit` (which gives false to stop). False with `error` at the first
// fault; the rows before it have been handed on.
template <typename Visit>
bool ReadBookCsvRows(const std::string &text, const CodePage *codePage, std::string &error, Visit visit) {
    // The whole text is read through once first, so a malformed record is
    // reported before anything that depends on the header.
    CsvRecord record;
    size_t at = CsvStart(text);
    int line = 1, records = 0;
    while (at < text.size()) {
        if (!NextCsvRecord(text, at, line, record, error)) return false;
        ++records;
    }
    if (records == 0) {
        error = "line 1: no header row";
        return false;
    }
    at = CsvStart(text);
    line = 1;
    NextCsvRecord(text, at, line, record, error);
    // Columns by name, in any order, each at most once.
    std::vector<int> columnOf;
    bool seen[7] = {};
    for (const std::string &name : record.fields) {
        int found = -1;
        for (int column = 0; column < 7; ++column)
            if (SameName(name, kBookCsvColumns[column])) found = column;
        if (found < 0) {
            error = "line 1: unknown column \"" + name + "\" (known: firstName, lastName, company, "
                    "department, notes, number, details)";
            return false;
        }
        if (seen[found]) {
            error = "line 1: column \"" + name + "\" appears twice";
            return false;
        }
        seen[found] = true;
        columnOf.push_back(found);
    }
    CsvPersonRow row;
    while (at < text.size()) {
        NextCsvRecord(text, at, line, record, error);
        // Blank lines, as spreadsheets leave at the end, hold no row.
        if (record.fields.size() == 1 && record.fields[0].empty()) continue;
        std::string where = "line " + std::to_string(record.line) + ": ";
        if (record.fields.size() != columnOf.size()) {
            error = where + std::to_string(record.fields.size()) + " fields where the header has " +
                    std::to_string(columnOf.size());
            return false;
        }
        row.line = record.line;
        for (int column = 0; column < 7; ++column) Column(row, column)->clear();
        for (size_t field = 0; field < columnOf.size(); ++field) {
            int column = columnOf[field];
            std::string &value = record.fields[field];
            if (codePage != nullptr) {
                std::string bytes;
                TextFault fault;
                if (!codePage->FromUtf8(value, bytes, fault)) {
                    error = where + UnmappableMessage(kBookCsvColumns[column], fault, codePage->Number());
                    return false;
                }
                value.swap(bytes);
            }
            if (value.find('\0') != std::string::npos) {
                error = where + kBookCsvColumns[column] + " holds a zero byte";
                return false;
            }
            if (value.size() > kColumnLimits[column]) {
                error = where + kBookCsvColumns[column] + " is longer than " +
                        std::to_string(kColumnLimits[column]) + " characters";
                return false;
            }
            Column(row, column)->swap(value);
        }
        if (row.number.empty() && !row.details.empty()) {
            error = where + "details without a number";
            return false;
        }
        if (!visit(row)) return true;
    }
    return true;
}

}  // namespace

bool ParseBookCsv(const std::string &text, std::vector<CsvPersonRow> &rows, std::string &error,
                  const CodePage *codePage) {
    rows.clear();
    return ReadBookCsvRows(text, codePage, error, [&rows](const CsvPersonRow &row) {
        rows.push_back(row);
        return true;
    });
}

bool CheckBookCsv(const std::string &text, std::string &error, const CodePage *codePage) {
    return ReadBookCsvRows(text, codePage, error, [](const CsvPersonRow &) { return true; });
}

void WriteBookCsv(const WorkingContext *context, std::ostream &out, const CodePage *codePage) {
    auto field = [codePage](const char *bytes) { return Quote(codePage != nullptr ? codePage->ToUtf8(bytes) : bytes); };
    std::string text;
    for (int column = 0; column < 7; ++column) {
        if (column > 0) text += ',';
        text += kBookCsvColumns[column];
    }
    text += "\r\n";
    std::string front;
    for (const PersonRecord *person = context->persons->next; person; person = person->next) {
        front = field(person->firstName) + ',' + field(person->lastName) + ',' + field(person->company) + ',' +
                field(person->department) + ',' + field(person->notes) + ',';
        const NumberRecord *number = person->numbers->next;
        if (number == nullptr) text += front + ",\r\n";
        for (; number; number = number->next)
            text += front + field(number->number) + ',' + field(number->details) + "\r\n";
        // Written in pieces, never the whole book at once.
        if (text.size() >= 64 * 1024) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string FormatBookCsv(const WorkingContext *context, const CodePage *codePage) {
    std::ostringstream text;
    WriteBookCsv(context, text, codePage);
    return text.str();
}

namespace {

// A person's first name, last name and company as one key (fields hold no
// zero byte, so the zero between them keeps keys apart).
std::string IdentityOf(std::string_view firstName, std::string_view lastName, std::string_view company) {
    std::string key;
    key.reserve(firstName.size() + lastName.size() + company.size() + 2);
    key.append(firstName).append(1, '\0').append(lastName).append(1, '\0').append(company);
    return key;
}

// One number of one person, for telling at once whether a person already
// has a number.
struct PersonNumber {
    const PersonRecord *person;
    std::string_view number;
    bool operator==(const PersonNumber &other) const { return person == other.person && number == other.number; }
};

struct PersonNumberHash {
    size_t operator()(const PersonNumber &key) const {
        return std::hash<std::string_view>()(key.number) ^
               (std::hash<const void *>()(key.person) * 0x9E3779B97F4A7C15ULL);
    }
};

}  // namespace

// Merges rows one at a time into the book.
class BookMerger {
public:
    BookMerger(WorkingContext *context, MergeCounts &counts) : counts_(counts) {
        counts_ = MergeCounts{};
        tail_ = context->persons;
        for (PersonRecord *person = context->persons->next; person; person = person->next) {
            byIdentity_.emplace(IdentityOf(person->firstName, person->lastName, person->company), person);
            tail_ = person;
        }
    }

    // False when memory ran out.
    bool Add(const CsvPersonRow &row) {
        std::string identity = IdentityOf(row.firstName, row.lastName, row.company);
        PersonRecord *person = nullptr;
        auto found = byIdentity_.find(identity);
        if (found != byIdentity_.end()) {
            person = found->second;
        } else {
            if (!NewPerson(&person)) return false;
            CopyField(person->firstName, row.firstName.c_str());
            CopyField(person->lastName, row.lastName.c_str());
            CopyField(person->company, row.company.c_str());
            CopyField(person->department, row.department.c_str());
            CopyField(person->notes, row.notes.c_str());
            tail_->next = person;  // appended behind the last, without a walk per row
            tail_ = person;
            byIdentity_.emplace(std::move(identity), person);
            ++counts_.persons;
        }
        if (row.number.empty()) return true;
        // A short number list is looked through; a long one, once it is
        // met, is kept in the set with its last number.
        NumberRecord *last = person->numbers;
        auto kept = tails_.find(person);
        if (kept != tails_.end()) {
            if (numbers_.count(PersonNumber{person, row.number}) != 0) return true;
            last = kept->second;
        } else {
            size_t count = 0;
            for (NumberRecord *number = person->numbers->next; number; number = number->next, ++count) {
                if (row.number == number->number) return true;
                last = number;
            }
            if (count >= kLongNumberList) {
                for (NumberRecord *number = person->numbers->next; number; number = number->next)
                    numbers_.insert(PersonNumber{person, number->number});
                kept = tails_.emplace(person, last).first;
            }
        }
        NumberRecord *number = nullptr;
        if (!NewNumber(&number)) return false;
        CopyField(number->number, row.number.c_str());
        CopyField(number->details, row.details.c_str());
        last->next = number;
        if (kept != tails_.end()) {
            kept->second = number;
            numbers_.insert(PersonNumber{person, number->number});
        }
        ++counts_.numbers;
        return true;
    }

private:
    MergeCounts &counts_;
    PersonRecord *tail_;
    std::unordered_map<std::string, PersonRecord *> byIdentity_;
    // Persons with long number lists, with their last numbers, and the
    // numbers they have: neither appending nor checking walks such a list.
    static constexpr size_t kLongNumberList = 8;
    std::unordered_map<PersonRecord *, NumberRecord *> tails_;
    std::unordered_set<PersonNumber, PersonNumberHash> numbers_;
};

bool MergeBookRows(WorkingContext *context, const std::vector<CsvPersonRow> &rows, MergeCounts &counts) {
    BookMerger merger(context, counts);
    for (const CsvPersonRow &row : rows)
        if (!merger.Add(row)) return false;
    return true;
}

bool MergeBookCsv(WorkingContext *context, const std::string &text, MergeCounts &counts, const CodePage *codePage) {
    BookMerger merger(context, counts);
    bool merged = true;
    std::string ignored;
    ReadBookCsvRows(text, codePage, ignored, [&](const CsvPersonRow &row) { return merged = merger.Add(row); });
    return merged;
}
