#include "book_csv.h"

#include <cctype>
#include <cstring>
#include <map>
#include <tuple>

#include "../../src/common/text_field.h"

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

// Splits RFC 4180 records. Each record remembers the line it starts on.
struct CsvRecord {
    int line;
    std::vector<std::string> fields;
};

bool SplitCsv(const std::string &text, std::vector<CsvRecord> &records, std::string &error) {
    size_t at = 0;
    int line = 1;
    // A byte-order mark some spreadsheets put in front is not data.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;
    while (at < text.size()) {
        CsvRecord record{line, {}};
        std::string field;
        bool endOfRecord = false;
        while (!endOfRecord) {
            field.clear();
            if (at < text.size() && text[at] == '"') {
                ++at;
                for (;;) {
                    if (at >= text.size()) {
                        error = "line " + std::to_string(record.line) + ": a quoted field is not closed";
                        return false;
                    }
                    char byte = text[at++];
                    if (byte == '"') {
                        if (at < text.size() && text[at] == '"') {
                            field += '"';
                            ++at;
                            continue;
                        }
                        break;
                    }
                    if (byte == '\n') ++line;
                    field += byte;
                }
                if (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                    error = "line " + std::to_string(line) + ": text after the closing quote of a field";
                    return false;
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                    if (text[at] == '"') {
                        error = "line " + std::to_string(line) + ": a quote inside a field that is not quoted";
                        return false;
                    }
                    field += text[at++];
                }
            }
            record.fields.push_back(field);
            if (at >= text.size()) {
                endOfRecord = true;
            } else if (text[at] == ',') {
                ++at;
                if (at >= text.size()) record.fields.push_back("");  // a last empty field
                endOfRecord = at >= text.size();
            } else {
                if (text[at] == '\r') ++at;
                if (at < text.size() && text[at] == '\n') ++at;
                ++line;
                endOfRecord = true;
            }
        }
        records.push_back(std::move(record));
    }
    return true;
}

std::string Quote(const char *text) {
    std::string value = text;
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

bool ParseBookCsv(const std::string &text, std::vector<CsvPersonRow> &rows, std::string &error) {
    rows.clear();
    std::vector<CsvRecord> records;
    if (!SplitCsv(text, records, error)) return false;
    if (records.empty()) {
        error = "line 1: no header row";
        return false;
    }
    // Columns by name, in any order, each at most once.
    std::vector<int> columnOf;
    bool seen[7] = {};
    for (const std::string &name : records[0].fields) {
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
    for (size_t index = 1; index < records.size(); ++index) {
        const CsvRecord &record = records[index];
        // Blank lines, as spreadsheets leave at the end, hold no row.
        if (record.fields.size() == 1 && record.fields[0].empty()) continue;
        std::string where = "line " + std::to_string(record.line) + ": ";
        if (record.fields.size() != columnOf.size()) {
            error = where + std::to_string(record.fields.size()) + " fields where the header has " +
                    std::to_string(columnOf.size());
            return false;
        }
        CsvPersonRow row;
        row.line = record.line;
        for (size_t field = 0; field < columnOf.size(); ++field) {
            int column = columnOf[field];
            const std::string &value = record.fields[field];
            if (value.find('\0') != std::string::npos) {
                error = where + kBookCsvColumns[column] + " holds a zero byte";
                return false;
            }
            if (value.size() > kColumnLimits[column]) {
                error = where + kBookCsvColumns[column] + " is longer than " +
                        std::to_string(kColumnLimits[column]) + " characters";
                return false;
            }
            *Column(row, column) = value;
        }
        if (row.number.empty() && !row.details.empty()) {
            error = where + "details without a number";
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

std::string FormatBookCsv(const WorkingContext *context) {
    std::string text;
    for (int column = 0; column < 7; ++column) {
        if (column > 0) text += ',';
        text += kBookCsvColumns[column];
    }
    text += "\r\n";
    for (const PersonRecord *person = context->persons->next; person; person = person->next) {
        std::string front = Quote(person->firstName) + ',' + Quote(person->lastName) + ',' +
                            Quote(person->company) + ',' + Quote(person->department) + ',' +
                            Quote(person->notes) + ',';
        const NumberRecord *number = person->numbers->next;
        if (number == nullptr) text += front + ",\r\n";
        for (; number; number = number->next)
            text += front + Quote(number->number) + ',' + Quote(number->details) + "\r\n";
    }
    return text;
}

bool MergeBookRows(WorkingContext *context, const std::vector<CsvPersonRow> &rows, MergeCounts &counts) {
    counts = MergeCounts{};
    using Identity = std::tuple<std::string, std::string, std::string>;
    std::map<Identity, PersonRecord *> byIdentity;
    PersonRecord *tail = context->persons;
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        byIdentity.emplace(Identity{person->firstName, person->lastName, person->company}, person);
        tail = person;
    }

    for (const CsvPersonRow &row : rows) {
        Identity identity{row.firstName, row.lastName, row.company};
        PersonRecord *person = nullptr;
        auto found = byIdentity.find(identity);
        if (found != byIdentity.end()) {
            person = found->second;
        } else {
            if (!NewPerson(&person)) return false;
            CopyField(person->firstName, row.firstName.c_str());
            CopyField(person->lastName, row.lastName.c_str());
            CopyField(person->company, row.company.c_str());
            CopyField(person->department, row.department.c_str());
            CopyField(person->notes, row.notes.c_str());
            tail->next = person;  // appended behind the last, without a walk per row
            tail = person;
            byIdentity.emplace(identity, person);
            ++counts.persons;
        }
        if (row.number.empty()) continue;
        bool known = false;
        for (NumberRecord *number = person->numbers->next; number && !known; number = number->next)
            known = row.number == number->number;
        if (known) continue;
        NumberRecord *number = nullptr;
        if (!NewNumber(&number)) return false;
        CopyField(number->number, row.number.c_str());
        CopyField(number->details, row.details.c_str());
        ListAppend(person->numbers, number);
        ++counts.numbers;
    }
    return true;
}
