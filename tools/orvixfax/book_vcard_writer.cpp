#include <algorithm>
#include <sstream>
#include <unordered_map>

#include "orvixfax.h"
#include "orvixfax/book_vcard.h"

const char kVcardProductPrefix[] = "-//OrvixFax//";

namespace {

// A text value with the escapes vCard 3.0 wants: \\ \, \; and \n for each
// line break (CR LF, CR or LF).
std::string Escaped(const std::string &text) {
    std::string escaped;
    for (size_t at = 0; at < text.size(); ++at) {
        char c = text[at];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
            escaped += "\\n";
            continue;
        }
        if (c == '\\' || c == ',' || c == ';') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// A TYPE parameter's value for a number's details: the details' pieces
// between commas as further types beside fax, quoted where a piece holds
// ':' or ';', with RFC 6868's ^^ ^' ^n for '^', '"' and line breaks.
std::string TelTypes(const std::string &details) {
    std::string types = "fax";
    bool quote = false;
    std::string piece;
    auto end = [&] {
        size_t begin = piece.find_first_not_of(' '), last = piece.find_last_not_of(' ');
        if (begin != std::string::npos) {
            types += ',';
            for (size_t at = begin; at <= last; ++at) {
                char c = piece[at];
                if (c == '^') types += "^^";
                else if (c == '"') types += "^'";
                else if (c == '\r' || c == '\n') types += "^n";
                else types += c;
                quote = quote || c == ':' || c == ';';
            }
        }
        piece.clear();
    };
    for (char c : details) {
        if (c == ',') end();
        else piece += c;
    }
    end();
    return quote ? '"' + types + '"' : types;
}

// Writes content lines folded at 75 octets, never inside a UTF-8
// character, in pieces of 64 KB.
class CardOutput {
public:
    explicit CardOutput(std::ostream &out) : out_(out) {}
    ~CardOutput() { Flush(); }
    CardOutput(const CardOutput &) = delete;
    CardOutput &operator=(const CardOutput &) = delete;

    void Line(const std::string &line) {
        size_t at = 0, room = 75;
        while (line.size() - at > room) {
            size_t cut = at + room;
            // Back to the first byte of a character.
            while (cut > at + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
            text_.append(line, at, cut - at);
            text_ += "\r\n ";
            at = cut;
            room = 74;  // the blank in front counts
        }
        text_.append(line, at, std::string::npos);
        text_ += "\r\n";
        if (text_.size() >= 64 * 1024) Flush();
    }

    void Flush() {
        out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
        text_.clear();
    }

private:
    std::ostream &out_;
    std::string text_;
};

std::string Joined(const std::vector<std::string> &names) {
    std::string joined;
    for (const std::string &name : names) joined += (joined.empty() ? "" : ",") + Escaped(name);
    return joined;
}

}  // namespace

void WriteVcards(const WorkingContext *context, std::ostream &stream, const CodePage *codePage) {
    auto utf8 = [codePage](const char *bytes) { return codePage != nullptr ? codePage->ToUtf8(bytes) : std::string(bytes); };
    // Each number's groups, in the book's order.
    std::unordered_map<const NumberRecord *, std::vector<std::string>> groupsOf;
    for (const GroupRecord *group = context->groups->next; group; group = group->next)
        for (const MemberLink *link = group->members->next; link; link = link->next) {
            std::vector<std::string> &names = groupsOf[link->number];
            std::string name = utf8(group->name);
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
    CardOutput out(stream);
    for (const PersonRecord *person = context->persons->next; person; person = person->next) {
        const std::string first = utf8(person->firstName), last = utf8(person->lastName);
        const std::string company = utf8(person->company), department = utf8(person->department);
        out.Line("BEGIN:VCARD");
        out.Line("VERSION:3.0");
        out.Line(std::string("PRODID:") + kVcardProductPrefix + "orvixfax " ORVIXFAX_VERSION_STRING "//EN");
        out.Line("N:" + Escaped(last) + ";" + Escaped(first) + ";;;");
        const std::string whole = first.empty() || last.empty() ? first + last : first + " " + last;
        out.Line("FN:" + Escaped(whole.empty() ? company : whole));
        if (!company.empty() || !department.empty())
            out.Line("ORG:" + Escaped(company) + (department.empty() ? "" : ";" + Escaped(department)));
        if (person->notes[0] != '\0') out.Line("NOTE:" + Escaped(utf8(person->notes)));
        // The groups all its numbers are in are the card's; a number's
        // other groups go with it, in a property group of its own.
        std::vector<std::string> common;
        bool first_number = true;
        for (const NumberRecord *number = person->numbers->next; number; number = number->next) {
            const std::vector<std::string> &names = groupsOf[number];
            if (first_number) {
                common = names;
                first_number = false;
                continue;
            }
            common.erase(std::remove_if(common.begin(), common.end(),
                                        [&](const std::string &name) {
                                            return std::find(names.begin(), names.end(), name) == names.end();
                                        }),
                         common.end());
        }
        std::vector<std::string> own;
        int position = 0;
        for (const NumberRecord *number = person->numbers->next; number; number = number->next) {
            ++position;
            std::vector<std::string> extra;
            for (const std::string &name : groupsOf[number])
                if (std::find(common.begin(), common.end(), name) == common.end()) extra.push_back(name);
            const std::string group = extra.empty() ? "" : "fax" + std::to_string(position) + ".";
            out.Line(group + "TEL;TYPE=" + TelTypes(utf8(number->details)) + ":" + Escaped(utf8(number->number)));
            if (!extra.empty()) own.push_back(group + "CATEGORIES:" + Joined(extra));
        }
        if (!common.empty()) out.Line("CATEGORIES:" + Joined(common));
        for (const std::string &line : own) out.Line(line);
        out.Line("END:VCARD");
    }
}

std::string FormatVcards(const WorkingContext *context, const CodePage *codePage) {
    std::ostringstream text;
    WriteVcards(context, text, codePage);
    return text.str();
}
