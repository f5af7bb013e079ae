#include "orvixfax/book_listing.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "addrbook/address_book_index.h"
#include "orvixfax/cli_support.h"

namespace {

// Text gathered and written in pieces, never the whole book at once.
class Output {
public:
    Output(std::ostream &out, const CodePage &codePage) : out_(out), codePage_(codePage) { text_.reserve(kPiece + 1024); }
    // A text of the book in UTF-8.
    std::string Text(const char *bytes) const { return codePage_.ToUtf8(bytes); }
    ~Output() { Flush(); }
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    Output &operator<<(std::string_view piece) {
        text_.append(piece);
        if (text_.size() >= kPiece) Flush();
        return *this;
    }
    Output &operator<<(char byte) {
        text_.push_back(byte);
        return *this;
    }
    Output &operator<<(long number) {
        char digits[24];
        auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
        return *this << std::string_view(digits, static_cast<size_t>(end - digits));
    }
    void Flush() {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

private:
    static constexpr size_t kPiece = 64 * 1024;
    std::ostream &out_;
    const CodePage &codePage_;
    std::string text_;
};

// The length of a text of printable ASCII characters only, which is
// the same in UTF-8 and needs no escape; -1 for any other text.
long PlainLength(const char *bytes) {
    long length = 0;
    for (; bytes[length] != '\0'; ++length) {
        const auto byte = static_cast<unsigned char>(bytes[length]);
        if (byte < 0x20 || byte >= 0x7f) return -1;
    }
    return length;
}

// Control characters escaped, so a listing stays one line per item.
void Printable(Output &out, const char *bytes) {
    const long plain = PlainLength(bytes);
    if (plain >= 0)
        out << std::string_view(bytes, static_cast<size_t>(plain));
    else
        out << ::Printable(out.Text(bytes));
}

// A labelled line for a field that is not empty.
void FieldLine(Output &out, std::string_view label, const char *text) {
    if (text[0] == '\0') return;
    out << label;
    Printable(out, text);
    out << '\n';
}

// "First Last", or the company for a person without a name.
void ShownName(Output &out, const PersonRecord *person) {
    if (person->firstName[0] == '\0' && person->lastName[0] == '\0') {
        if (person->company[0] != '\0')
            Printable(out, person->company);
        else
            out << "(no name)";
        return;
    }
    Printable(out, person->firstName);
    if (person->firstName[0] && person->lastName[0]) out << ' ';
    Printable(out, person->lastName);
}

// Positions of a member, or false when it is not in the lists: through the
// index, or by walking the lists when memory for the index ran out.
bool MemberPosition(const WorkingContext *context, const AddressIndex *index, bool indexed,
                    const MemberLink *link, long &person, long &number) {
    if (indexed) {
        int32_t personPosition = 0, numberPosition = 0;
        if (!FindMemberPosition(index, link, &personPosition, &numberPosition)) return false;
        person = personPosition;
        number = numberPosition;
        return true;
    }
    person = 0;
    const PersonRecord *p = context->persons->next;
    while (p && p != link->person) p = p->next, ++person;
    if (!p) return false;
    number = 0;
    const NumberRecord *n = p->numbers->next;
    while (n && n != link->number) n = n->next, ++number;
    return n != nullptr;
}

// A JSON string of a text of the book: in UTF-8, escaped as JSON wants.
void JsonString(Output &out, const char *bytes) {
    static const char kHex[] = "0123456789abcdef";
    const long plain = PlainLength(bytes);
    if (plain >= 0 && std::memchr(bytes, '"', static_cast<size_t>(plain)) == nullptr &&
        std::memchr(bytes, '\\', static_cast<size_t>(plain)) == nullptr) {
        out << '"' << std::string_view(bytes, static_cast<size_t>(plain)) << '"';
        return;
    }
    const std::string utf8 = out.Text(bytes);
    out << '"';
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(utf8.c_str()); *c != 0; ++c) {
        switch (*c) {
        case '"': out << "\\\""; break;
        case '\\': out << "\\\\"; break;
        case '\b': out << "\\b"; break;
        case '\f': out << "\\f"; break;
        case '\n': out << "\\n"; break;
        case '\r': out << "\\r"; break;
        case '\t': out << "\\t"; break;
        default:
            if (*c < 0x20) {
                char escaped[6] = {'\\', 'u', '0', '0', kHex[*c >> 4], kHex[*c & 15]};
                out << std::string_view(escaped, 6);
            } else {
                out << static_cast<char>(*c);
            }
        }
    }
    out << '"';
}

void JsonField(Output &out, std::string_view indent, const char *name, const char *text, bool last = false) {
    out << indent << '"' << name << "\": ";
    JsonString(out, text);
    out << (last ? "\n" : ",\n");
}

}  // namespace

void ShowListing(const WorkingContext *context, const std::string &shownPath, const CodePage &codePage,
                 std::ostream &stream) {
    AddressIndex index{};
    bool indexed = BeginAddressIndex(&index, context->groups) != 0;
    Output out(stream, codePage);
    long personCount = 0, groupCount = 0;
    for (const PersonRecord *p = context->persons->next; p; p = p->next) ++personCount;
    for (const GroupRecord *g = context->groups->next; g; g = g->next) ++groupCount;
    out << "Address book " << shownPath << ": " << personCount << (personCount == 1 ? " person, " : " persons, ")
        << groupCount << (groupCount == 1 ? " group" : " groups") << '\n';
    long position = 0;
    for (const PersonRecord *person = context->persons->next; person; person = person->next, ++position) {
        NoteMemberPositions(&index, person, static_cast<int32_t>(position));
        out << "\nPerson " << position << ": ";
        ShownName(out, person);
        out << '\n';
        FieldLine(out, "  company:    ", person->company);
        FieldLine(out, "  department: ", person->department);
        FieldLine(out, "  notes:      ", person->notes);
        long numberPosition = 0;
        for (const NumberRecord *number = person->numbers->next; number; number = number->next, ++numberPosition) {
            out << "  number " << position << '.' << numberPosition << ": ";
            Printable(out, number->number);
            if (number->details[0]) {
                out << "  (";
                Printable(out, number->details);
                out << ')';
            }
            out << '\n';
        }
        if (numberPosition == 0) out << "  no numbers\n";
    }
    for (const GroupRecord *group = context->groups->next; group; group = group->next) {
        out << "\nGroup [";
        Printable(out, group->name);
        out << "]\n";
        for (const MemberLink *link = group->members->next; link; link = link->next) {
            long person = 0, number = 0;
            if (!MemberPosition(context, &index, indexed, link, person, number)) continue;
            out << "  " << person << '.' << number << ": ";
            ShownName(out, link->person);
            out << ", ";
            Printable(out, link->number->number);
            out << '\n';
        }
    }
    FreeAddressIndex(&index);
}

void ShowJson(const WorkingContext *context, const CodePage &codePage, std::ostream &stream) {
    AddressIndex index{};
    bool indexed = BeginAddressIndex(&index, context->groups) != 0;
    Output out(stream, codePage);
    out << "{\n  \"persons\": [";
    const char *separator = "\n";
    int32_t position = 0;
    for (const PersonRecord *person = context->persons->next; person; person = person->next) {
        NoteMemberPositions(&index, person, position++);
        out << separator << "    {\n";
        separator = ",\n";
        JsonField(out, "      ", "firstName", person->firstName);
        JsonField(out, "      ", "lastName", person->lastName);
        JsonField(out, "      ", "company", person->company);
        JsonField(out, "      ", "department", person->department);
        JsonField(out, "      ", "notes", person->notes);
        out << "      \"numbers\": [";
        const char *numberSeparator = "\n";
        for (const NumberRecord *number = person->numbers->next; number; number = number->next) {
            out << numberSeparator << "        {\n";
            numberSeparator = ",\n";
            JsonField(out, "          ", "number", number->number);
            JsonField(out, "          ", "details", number->details, true);
            out << "        }";
        }
        out << (person->numbers->next ? "\n      ]\n" : "]\n") << "    }";
    }
    out << (context->persons->next ? "\n  ],\n" : "],\n") << "  \"groups\": [";
    separator = "\n";
    for (const GroupRecord *group = context->groups->next; group; group = group->next) {
        out << separator << "    {\n";
        separator = ",\n";
        JsonField(out, "      ", "name", group->name);
        out << "      \"members\": [";
        const char *memberSeparator = "\n";
        for (const MemberLink *link = group->members->next; link; link = link->next) {
            long person = 0, number = 0;
            if (!MemberPosition(context, &index, indexed, link, person, number)) continue;
            out << memberSeparator << "        [\n          " << person << ",\n          " << number << "\n        ]";
            memberSeparator = ",\n";
        }
        out << (memberSeparator[0] == ',' ? "\n      ]\n" : "]\n") << "    }";
    }
    out << (context->groups->next ? "\n  ]\n" : "]\n") << "}\n";
    FreeAddressIndex(&index);
}
