#include "orvixfax/book_csv.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <unordered_map>

#include "orvixfax/book_csv_header.h"
#include "orvixfax/book_rules.h"

const char *const kBookCsvColumns[8] = {"firstName", "lastName", "company", "department",
                                        "notes",     "number",   "details", "groups"};

namespace {

// One RFC 4180 record and the line it starts on.
struct CsvRecord {
    int line = 0;
    std::vector<std::string> fields;
};

// The separator, and the bytes that end a field that is not quoted, told
// by one look each.
struct CsvSyntax {
    char separator;
    bool stops[256] = {};
    explicit CsvSyntax(char s) : separator(s) {
        for (char stop : {s, '\r', '\n', '"'}) stops[static_cast<unsigned char>(stop)] = true;
    }
};

// Reads the record that starts at `at` into `record` (its fields vector is
// reused) and moves `at` and `line` past it. False with `error` when the
// text is malformed.
bool NextCsvRecord(const std::string &text, const CsvSyntax &syntax, size_t &at, int &line, CsvRecord &record,
                   std::string &error) {
    const char separator = syntax.separator;
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
            if (at < text.size() && text[at] != separator && text[at] != '\r' && text[at] != '\n') {
                error = "line " + std::to_string(line) + ": text after the closing quote of a field";
                return false;
            }
        } else {
            size_t end = at;
            while (end < text.size() && !syntax.stops[static_cast<unsigned char>(text[end])]) ++end;
            if (end < text.size() && text[end] == '"') {
                error = "line " + std::to_string(line) + ": a quote inside a field that is not quoted";
                return false;
            }
            field.append(text, at, end - at);
            at = end;
        }
        if (at >= text.size()) break;
        if (text[at] == separator) {
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

std::string Quote(const std::string &value, char separator) {
    const char specials[] = {separator, '"', '\r', '\n', '\0'};
    if (value.find_first_of(specials) == std::string::npos &&
        (value.empty() || (value.front() != ' ' && value.back() != ' ')))
        return value;
    std::string quoted = "\"";
    for (char byte : value) {
        if (byte == '"') quoted += '"';
        quoted += byte;
    }
    return quoted + '"';
}

std::string Trimmed(const std::string &text) {
    size_t begin = text.find_first_not_of(" \t"), end = text.find_last_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// The pieces of a field between `separator`s, each trimmed, the empty
// ones left out. With ';' a '\' takes the next character as it is.
std::vector<std::string> Pieces(const std::string &text, const std::string &separator) {
    std::vector<std::string> pieces;
    std::string piece;
    auto end = [&] {
        piece = Trimmed(piece);
        if (!piece.empty()) pieces.push_back(piece);
        piece.clear();
    };
    for (size_t at = 0; at < text.size(); ++at) {
        if (separator == ";" && text[at] == '\\' && at + 1 < text.size() && (text[at + 1] == ';' || text[at + 1] == '\\')) {
            piece += text[++at];
        } else if (text.compare(at, separator.size(), separator) == 0) {
            end();
            at += separator.size() - 1;
        } else {
            piece += text[at];
        }
    }
    end();
    return pieces;
}

std::string Lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// "Ann Lee" as first name "Ann" and last name "Lee": the last word is the
// last name; a single word is the first name.
void SplitWholeName(const std::string &whole, PersonRow &row) {
    std::string name = Trimmed(whole);
    size_t blank = name.find_last_of(' ');
    if (blank == std::string::npos) {
        row.firstName = name;
        return;
    }
    row.firstName = Trimmed(name.substr(0, blank));
    row.lastName = name.substr(blank + 1);
}

// Empties a row for the next record, keeping its texts' room.
void ClearRow(PersonRow &row) {
    for (int field = 0; field < 7; ++field) FieldOf(row, field)->clear();
    row.groups.clear();
}

}  // namespace

char DetectSeparator(const std::string &text) {
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (size_t at = CsvStart(text); at < text.size(); ++at) {
        char c = text[at];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') break;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (semicolons > commas && semicolons >= tabs) return ';';
    if (tabs > commas && tabs > semicolons) return '\t';
    return ',';
}

bool ReadBookCsv(const std::string &text, const CodePage *codePage, char separator, const RowVisitor &visit,
                 ImportSummary &summary, std::string &error, bool checked) {
    summary = ImportSummary{};
    summary.separator = separator != 0 ? separator : DetectSeparator(text);
    separator = summary.separator;
    const CsvSyntax syntax(separator);
    // The whole text is read through once first, so a malformed record is
    // reported before anything that depends on the header.
    CsvRecord record;
    size_t at = CsvStart(text);
    int line = 1, records = checked ? 1 : 0;
    while (!checked && at < text.size()) {
        if (!NextCsvRecord(text, syntax, at, line, record, error)) return false;
        ++records;
    }
    if (records == 0) {
        error = "line 1: no header row";
        return false;
    }
    at = CsvStart(text);
    line = 1;
    NextCsvRecord(text, syntax, at, line, record, error);
    const std::vector<std::string> header = record.fields;
    CsvLayout layout;
    if (!CsvLayoutOf(header, layout, summary.ignored, error)) {
        error = "line 1: " + error;
        return false;
    }
    PersonRow person, row;
    std::vector<std::pair<std::string, std::string>> numbers;  // number, details
    std::string wholeName, ownDetails, converted;
    while (at < text.size()) {
        NextCsvRecord(text, syntax, at, line, record, error);
        // Blank lines and rows of empty fields, as spreadsheets leave, hold no row.
        if (std::all_of(record.fields.begin(), record.fields.end(), [](const std::string &f) { return f.empty(); }))
            continue;
        // Made only for a fault: most rows have none.
        auto where = [&record] { return "line " + std::to_string(record.line) + ": "; };
        if (record.fields.size() != header.size()) {
            error = where() + std::to_string(record.fields.size()) + " fields where the header has " +
                    std::to_string(header.size());
            return false;
        }
        ClearRow(person);
        person.line = record.line;
        numbers.clear();
        wholeName.clear();
        ownDetails.clear();
        bool ownNumber = false;
        std::unordered_map<int, std::string> phoneTypes;
        std::vector<std::pair<int, std::string>> phoneValues;
        for (size_t i = 0; i < header.size(); ++i) {
            const CsvColumn &column = layout.columns[i];
            if (column.role == CsvColumn::Role::Ignored) continue;
            // A field of the book's record is converted straight into the
            // row; the other columns' texts are worked on from `value`.
            std::string *value = &converted;
            if (column.role == CsvColumn::Role::Field)
                value = column.field == 6 ? &ownDetails : FieldOf(person, column.field);
            else if (column.role == CsvColumn::Role::DisplayName)
                value = &wholeName;
            if (codePage == nullptr) {
                *value = record.fields[i];
            } else {
                TextFault fault;
                if (!codePage->FromUtf8(record.fields[i], *value, fault)) {
                    error = where() + UnmappableMessage(header[i], fault, codePage->Number());
                    return false;
                }
            }
            switch (column.role) {
            case CsvColumn::Role::Field:
                if (column.field == 5) ownNumber = true;
                break;
            case CsvColumn::Role::Fax:
                if (!value->empty()) numbers.emplace_back(*value, column.kind);
                break;
            case CsvColumn::Role::PhoneType: phoneTypes[column.pair] = *value; break;
            case CsvColumn::Role::PhoneValue: phoneValues.emplace_back(column.pair, *value); break;
            case CsvColumn::Role::Groups:
                for (std::string &name : Pieces(*value, column.groupSeparator))
                    // Google's own labels ("* myContacts", "* starred") are no groups.
                    if (column.groupSeparator != ":::" || name[0] != '*') person.groups.push_back(name);
                break;
            case CsvColumn::Role::DisplayName:
            case CsvColumn::Role::Ignored: break;
            }
        }
        // The book's own number first, then the others in column order.
        if (ownNumber && (!person.number.empty() || !ownDetails.empty()))
            numbers.insert(numbers.begin(), {person.number, ownDetails});
        person.number.clear();
        for (const auto &[pair, value] : phoneValues) {
            const std::string type = Lower(phoneTypes[pair]);
            if (type.find("fax") == std::string::npos) continue;
            std::string kind = Trimmed(type[0] == '*' ? type.substr(1) : type);
            for (const std::string &number : Pieces(value, ":::")) numbers.emplace_back(number, kind);
        }
        if (!HasName(person.firstName, person.lastName, person.company) && !wholeName.empty())
            SplitWholeName(wholeName, person);
        if (numbers.empty() && layout.faxColumns && !ownNumber) {
            ++summary.skipped;
            continue;
        }
        if (numbers.empty()) {
            // A person without numbers.
            std::string fault = RowFault(person);
            if (!fault.empty()) {
                error = where() + fault;
                return false;
            }
            if (!visit(person)) return true;
            continue;
        }
        for (const auto &[number, details] : numbers) {
            row = person;
            row.number = number;
            row.details = details;
            std::string fault = RowFault(row);
            if (!fault.empty()) {
                error = where() + fault;
                return false;
            }
            if (!visit(row)) return true;
        }
    }
    return true;
}

bool ParseBookCsv(const std::string &text, std::vector<PersonRow> &rows, std::string &error, const CodePage *codePage,
                  char separator) {
    rows.clear();
    ImportSummary summary;
    return ReadBookCsv(
        text, codePage, separator,
        [&rows](const PersonRow &row) {
            rows.push_back(row);
            return true;
        },
        summary, error);
}

namespace {

// Each number's groups as a CSV field: the names in the book's order.
std::unordered_map<const NumberRecord *, std::string> GroupsOfNumbers(const WorkingContext *context) {
    std::unordered_map<const NumberRecord *, std::string> groups;
    for (const GroupRecord *group = context->groups->next; group; group = group->next) {
        std::string name;
        for (const char *c = group->name; *c; ++c) {
            if (*c == ';' || *c == '\\') name += '\\';
            name += *c;
        }
        for (const MemberLink *link = group->members->next; link; link = link->next) {
            std::string &field = groups[link->number];
            // A number is in a group once, but a damaged book may say twice.
            if (!field.empty()) field += ';';
            field += name;
        }
    }
    return groups;
}

}  // namespace

void WriteBookCsv(const WorkingContext *context, std::ostream &out, const CodePage *codePage, char separator) {
    auto field = [codePage, separator](const std::string &bytes) {
        return Quote(codePage != nullptr ? codePage->ToUtf8(bytes) : bytes, separator);
    };
    const std::unordered_map<const NumberRecord *, std::string> groups = GroupsOfNumbers(context);
    std::string text;
    for (int column = 0; column < 8; ++column) {
        if (column > 0) text += separator;
        text += kBookCsvColumns[column];
    }
    text += "\r\n";
    std::string front;
    for (const PersonRecord *person = context->persons->next; person; person = person->next) {
        front = field(person->firstName) + separator + field(person->lastName) + separator + field(person->company) +
                separator + field(person->department) + separator + field(person->notes) + separator;
        const NumberRecord *number = person->numbers->next;
        if (number == nullptr) text += front + separator + separator + "\r\n";
        for (; number; number = number->next) {
            auto found = groups.find(number);
            text += front + field(number->number) + separator + field(number->details) + separator +
                    (found != groups.end() ? field(found->second) : std::string()) + "\r\n";
        }
        // Written in pieces, never the whole book at once.
        if (text.size() >= 64 * 1024) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            text.clear();
        }
    }
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

std::string FormatBookCsv(const WorkingContext *context, const CodePage *codePage, char separator) {
    std::ostringstream text;
    WriteBookCsv(context, text, codePage, separator);
    return text.str();
}
