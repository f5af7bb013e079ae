#include "orvixfax/book_csv_header.h"

#include <cctype>
#include <set>

#include "orvixfax/book_merge.h"

namespace {

// The name in lower case without blanks: "First Name" is "firstname".
std::string Normalized(const std::string &name) {
    std::string key;
    for (char c : name)
        if (c != ' ' && c != '\t') key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

// The name in lower case with runs of blanks as one: "Business  Fax" is
// "business fax".
std::string Kind(const std::string &name) {
    std::string kind;
    for (char c : name) {
        bool blank = c == ' ' || c == '\t';
        if (blank && (kind.empty() || kind.back() == ' ')) continue;
        kind += blank ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    while (!kind.empty() && kind.back() == ' ') kind.pop_back();
    return kind;
}

struct Alias {
    const char *name;  // normalized
    CsvColumn::Role role;
    int field;
    const char *groupSeparator;
};

const Alias kAliases[] = {
    {"firstname", CsvColumn::Role::Field, 0, ""},
    {"givenname", CsvColumn::Role::Field, 0, ""},
    {"lastname", CsvColumn::Role::Field, 1, ""},
    {"familyname", CsvColumn::Role::Field, 1, ""},
    {"company", CsvColumn::Role::Field, 2, ""},
    {"organization", CsvColumn::Role::Field, 2, ""},
    {"organization1-name", CsvColumn::Role::Field, 2, ""},
    {"organizationname", CsvColumn::Role::Field, 2, ""},
    {"department", CsvColumn::Role::Field, 3, ""},
    {"organization1-department", CsvColumn::Role::Field, 3, ""},
    {"organizationdepartment", CsvColumn::Role::Field, 3, ""},
    {"notes", CsvColumn::Role::Field, 4, ""},
    {"number", CsvColumn::Role::Field, 5, ""},
    {"details", CsvColumn::Role::Field, 6, ""},
    {"groups", CsvColumn::Role::Groups, -1, ";"},
    {"categories", CsvColumn::Role::Groups, -1, ";"},
    {"groupmembership", CsvColumn::Role::Groups, -1, ":::"},
    {"labels", CsvColumn::Role::Groups, -1, ":::"},
    {"displayname", CsvColumn::Role::DisplayName, -1, ""},
    {"name", CsvColumn::Role::DisplayName, -1, ""},
};

// "phone3-type" gives 3 and "type".
bool PhonePart(const std::string &key, int &pair, std::string &part) {
    if (key.compare(0, 5, "phone") != 0) return false;
    size_t at = 5, digits = 0;
    pair = 0;
    while (at < key.size() && std::isdigit(static_cast<unsigned char>(key[at])) && digits < 4)
        pair = pair * 10 + (key[at++] - '0'), ++digits;
    if (digits == 0 || at >= key.size() || key[at] != '-') return false;
    part = key.substr(at + 1);
    return part == "type" || part == "label" || part == "value";
}

}  // namespace

bool CsvLayoutOf(const std::vector<std::string> &header, CsvLayout &layout, std::vector<std::string> &ignored,
                 std::string &error) {
    layout = CsvLayout{};
    ignored.clear();
    std::set<std::string> seen;
    for (const std::string &name : header) {
        const std::string key = Normalized(name);
        CsvColumn column;
        std::string identity;  // what two columns may not both be
        for (const Alias &alias : kAliases)
            if (key == alias.name) {
                column.role = alias.role;
                column.field = alias.field;
                column.groupSeparator = alias.groupSeparator;
                identity = alias.field >= 0 ? kBookFields[alias.field].name
                                            : (alias.role == CsvColumn::Role::Groups ? "groups" : "display name");
            }
        std::string part;
        if (column.role == CsvColumn::Role::Ignored && PhonePart(key, column.pair, part)) {
            column.role = part == "value" ? CsvColumn::Role::PhoneValue : CsvColumn::Role::PhoneType;
            identity = "phone " + std::to_string(column.pair) + (part == "value" ? " value" : " type");
        } else if (column.role == CsvColumn::Role::Ignored && key.find("fax") != std::string::npos) {
            column.role = CsvColumn::Role::Fax;
            // A column that is only "fax" says nothing more of its numbers.
            column.kind = key == "fax" || key == "faxnumber" ? "" : Kind(name);
            identity = "fax " + key;
        }
        if (column.role != CsvColumn::Role::Ignored && !seen.insert(identity).second) {
            error = "column \"" + name + "\" appears twice";
            return false;
        }
        layout.columns.push_back(column);
    }
    // A phone type without its value, or a value without its type, is read
    // by nobody.
    for (CsvColumn &column : layout.columns) {
        bool type = column.role == CsvColumn::Role::PhoneType, value = column.role == CsvColumn::Role::PhoneValue;
        if (!type && !value) continue;
        bool paired = false;
        for (const CsvColumn &other : layout.columns)
            if (other.pair == column.pair &&
                other.role == (type ? CsvColumn::Role::PhoneValue : CsvColumn::Role::PhoneType))
                paired = true;
        if (!paired) column.role = CsvColumn::Role::Ignored;
    }
    bool read = false;
    for (size_t i = 0; i < header.size(); ++i) {
        const CsvColumn &column = layout.columns[i];
        if (column.role == CsvColumn::Role::Ignored) {
            if (!header[i].empty()) ignored.push_back(header[i]);
            continue;
        }
        read = true;
        if (column.role == CsvColumn::Role::Fax || column.role == CsvColumn::Role::PhoneValue) layout.faxColumns = true;
    }
    if (!read) {
        error = "no column the book reads (firstName, lastName, company, department, notes, number, details, "
                "groups, or a contacts program's: \"First Name\", \"Business Fax\", ...)";
        return false;
    }
    return true;
}
