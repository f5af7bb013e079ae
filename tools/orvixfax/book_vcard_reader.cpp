#include <algorithm>
#include <cctype>

#include "orvixfax/book_rules.h"
#include "orvixfax/book_vcard.h"

namespace {

std::string Lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trimmed(const std::string &text) {
    size_t begin = text.find_first_not_of(" \t"), end = text.find_last_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// One content line, unfolded: [group "."] name *(";" param) ":" value.
struct ContentLine {
    int line = 0;  // where it starts
    std::string group, name;  // name in upper case
    std::vector<std::pair<std::string, std::string>> params;  // name in upper case, value as written
    std::string value;
};

// A parameter's value: quotes taken off, RFC 6868's ^n ^^ ^' decoded.
std::string ParamValue(const std::string &raw) {
    std::string value = raw.size() >= 2 && raw.front() == '"' && raw.back() == '"' ? raw.substr(1, raw.size() - 2) : raw;
    std::string decoded;
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '^' && at + 1 < value.size()) {
            char next = value[at + 1];
            if (next == 'n' || next == 'N') { decoded += '\n'; ++at; continue; }
            if (next == '^') { decoded += '^'; ++at; continue; }
            if (next == '\'') { decoded += '"'; ++at; continue; }
        }
        decoded += value[at];
    }
    return decoded;
}

bool ParseContentLine(const std::string &text, ContentLine &line, std::string &error) {
    size_t at = 0;
    // The name, with a group in front.
    while (at < text.size() && text[at] != ';' && text[at] != ':') ++at;
    std::string name = text.substr(0, at);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        line.group = Lower(name.substr(0, dot));
        name = name.substr(dot + 1);
    }
    for (char &c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    line.name = name;
    while (at < text.size() && text[at] == ';') {
        size_t start = ++at;
        bool quoted = false;
        while (at < text.size() && (quoted || (text[at] != ';' && text[at] != ':'))) {
            if (text[at] == '"') quoted = !quoted;
            ++at;
        }
        if (quoted) {
            error = "a quoted parameter value is not closed";
            return false;
        }
        std::string param = text.substr(start, at - start);
        size_t equals = param.find('=');
        std::string key = equals == std::string::npos ? "" : param.substr(0, equals);
        for (char &c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        // vCard 2.1 writes types bare: TEL;WORK;FAX:...
        line.params.emplace_back(equals == std::string::npos ? "TYPE" : key,
                                 equals == std::string::npos ? param : param.substr(equals + 1));
    }
    if (at >= text.size() || name.empty()) {
        error = name.empty() ? "a line without a property name" : "a line without ':' after its name";
        return false;
    }
    line.value = text.substr(at + 1);
    return true;
}

// A text value's pieces between unescaped `separator`s (0: one piece),
// each unescaped: \\ \, \; \n \N.
std::vector<std::string> TextPieces(const std::string &value, char separator) {
    std::vector<std::string> pieces(1);
    for (size_t at = 0; at < value.size(); ++at) {
        char c = value[at];
        if (c == '\\' && at + 1 < value.size()) {
            char next = value[++at];
            pieces.back() += next == 'n' || next == 'N' ? '\n' : next;
        } else if (separator != 0 && c == separator) {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}

std::string Text(const std::string &value) { return TextPieces(value, 0)[0]; }

// A structured value's components (N, ORG), each with its list members
// joined by `join`.
std::vector<std::string> Components(const std::string &value, const std::string &join) {
    std::vector<std::string> components;
    // Split on unescaped ';', keeping the escapes for the list split.
    std::string component;
    for (size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '\\' && at + 1 < value.size()) {
            component += value[at];
            component += value[++at];
        } else if (value[at] == ';') {
            components.push_back(component);
            component.clear();
        } else {
            component += value[at];
        }
    }
    components.push_back(component);
    for (std::string &part : components) {
        std::string joined;
        for (const std::string &member : TextPieces(part, ',')) {
            std::string trimmed = Trimmed(member);
            if (trimmed.empty()) continue;
            if (!joined.empty()) joined += join;
            joined += trimmed;
        }
        part = joined;
    }
    return components;
}

// The registered TEL types, which the book writes in lower case whatever
// case a card has them in; other types are details as written.
bool RegisteredType(const std::string &lower) {
    static const char *const kTypes[] = {"work", "home",  "voice", "cell", "pager", "text", "textphone", "video",
                                         "pref", "msg",   "bbs",   "modem", "car",  "isdn", "pcs",       "main",
                                         "other", "iphone"};
    return std::any_of(std::begin(kTypes), std::end(kTypes), [&](const char *type) { return lower == type; });
}

// "line 7: " for messages.
std::string At(int line) { return "line " + std::to_string(line) + ": "; }

struct FaxTel {
    std::string group, number, details;
};

// A card as it is read.
struct Card {
    int line = 0;
    bool own = false;
    bool hasN = false;
    std::string first, last, whole, company, department, notes;
    std::vector<FaxTel> faxes;
    std::vector<std::pair<std::string, std::string>> categories;  // group of the property, name
};

class Reader {
public:
    Reader(const CodePage *codePage, const RowVisitor &visit, ImportSummary &summary, std::string &error)
        : codePage_(codePage), visit_(visit), summary_(summary), error_(error) {}

    // False on a fault (error_ set), or when the visitor stopped (stopped_).
    bool Line(const ContentLine &line) {
        if (!inCard_) {
            if (line.name == "BEGIN" && Lower(line.value) == "vcard") {
                inCard_ = true;
                card_ = Card{};
                card_.line = line.line;
                ++cards_;
                return true;
            }
            return Fault(line.line, "text outside a card (a card starts with BEGIN:VCARD)");
        }
        if (line.name == "BEGIN") return Fault(line.line, "BEGIN inside a card (its END:VCARD is missing)");
        if (line.name == "END") {
            if (Lower(line.value) != "vcard") return Fault(line.line, "END:" + line.value + " inside a card");
            inCard_ = false;
            return EndCard();
        }
        for (const auto &[key, value] : line.params) {
            const std::string lower = Lower(ParamValue(value));
            if (key == "ENCODING" && lower == "quoted-printable")
                return Fault(line.line, "quoted-printable text (vCard 2.1) is not read; save the contacts as vCard "
                                        "3.0 or 4.0");
            if (key == "CHARSET" && lower != "utf-8")
                return Fault(line.line, "CHARSET=" + value + " (vCard 2.1) is not read; save the contacts as vCard "
                                        "3.0 or 4.0 (UTF-8)");
        }
        const std::string &name = line.name;
        if (name == "VERSION") {
            const std::string version = Trimmed(line.value);
            if (version != "2.1" && version != "3.0" && version != "4.0")
                return Fault(line.line, "vCard version " + version + " is not read (3.0 and 4.0 are)");
            return true;
        }
        bool read = name == "N" || name == "FN" || name == "ORG" || name == "NOTE" || name == "TEL" ||
                    name == "CATEGORIES";
        if (!read) {
            if (name == "PRODID") card_.own = line.value.rfind(kVcardProductPrefix, 0) == 0;
            return true;
        }
        for (const auto &[key, value] : line.params)
            if (key == "ENCODING")
                return Fault(line.line, name + ": ENCODING=" + value + " is not read for texts");
        std::string value;
        if (!Convert(line, line.value, value)) return false;
        if (name == "N") {
            std::vector<std::string> parts = Components(value, " ");
            card_.hasN = true;
            card_.last = parts[0];
            card_.first = parts.size() > 1 ? parts[1] : "";
        } else if (name == "FN") {
            card_.whole = Trimmed(Text(value));
        } else if (name == "ORG") {
            std::vector<std::string> parts = Components(value, " ");
            card_.company = parts[0];
            card_.department.clear();
            for (size_t i = 1; i < parts.size(); ++i) {
                if (parts[i].empty()) continue;
                if (!card_.department.empty()) card_.department += ", ";
                card_.department += parts[i];
            }
        } else if (name == "NOTE") {
            // The notes field is the person editor's edit control: CR LF.
            std::string note;
            for (char c : Text(value)) note += c == '\n' ? std::string("\r\n") : std::string(1, c);
            if (!card_.notes.empty()) card_.notes += "\r\n";
            card_.notes += note;
        } else if (name == "TEL") {
            return ReadTel(line, value);
        } else {
            for (const std::string &category : TextPieces(value, ',')) {
                std::string trimmed = Trimmed(category);
                if (!trimmed.empty()) card_.categories.emplace_back(line.group, trimmed);
            }
        }
        return true;
    }

    bool End() {
        if (inCard_) return Fault(card_.line, "the card is not closed (END:VCARD is missing)");
        if (cards_ == 0) return Fault(1, "no card in the file (a card starts with BEGIN:VCARD)");
        return true;
    }

    bool stopped() const { return stopped_; }
    bool inCard() const { return inCard_; }

private:
    bool Fault(int line, const std::string &message) {
        error_ = At(line) + message;
        return false;
    }

    // A text of the line (its value, or a parameter's) in the code page.
    bool Convert(const ContentLine &line, const std::string &text, std::string &bytes) {
        if (codePage_ == nullptr) {
            bytes = text;
            return true;
        }
        TextFault fault;
        if (codePage_->FromUtf8(text, bytes, fault)) return true;
        return Fault(line.line, UnmappableMessage(line.name, fault, codePage_->Number()));
    }

    bool ReadTel(const ContentLine &line, const std::string &value) {
        std::vector<std::string> types;
        bool fax = false;
        for (const auto &[key, raw] : line.params) {
            if (key != "TYPE") continue;
            // TYPE=fax,work, TYPE="fax,work" and TYPE=WORK;TYPE=FAX alike.
            const std::string list = ParamValue(raw);
            for (size_t at = 0; at <= list.size();) {
                size_t comma = std::min(list.find(',', at), list.size());
                std::string type = Trimmed(list.substr(at, comma - at)), lower = Lower(type);
                at = comma + 1;
                if (type.empty()) continue;
                if (lower == "fax") {
                    fax = true;
                    continue;
                }
                types.push_back(RegisteredType(lower) ? lower : type);
            }
        }
        if (!fax) return true;
        // A tel: URI (vCard 4.0's VALUE=uri) is the number behind its scheme.
        std::string number = Trimmed(Text(value));
        while (Lower(number.substr(0, 4)) == "tel:") number = Trimmed(number.substr(4));
        if (number.empty()) return true;
        std::string details;
        for (const std::string &type : types) details += (details.empty() ? "" : ", ") + type;
        FaxTel tel{line.group, number, ""};
        if (!Convert(line, details, tel.details)) return false;
        card_.faxes.push_back(tel);
        return true;
    }

    bool EndCard() {
        PersonRow person;
        person.line = card_.line;
        person.firstName = card_.first;
        person.lastName = card_.last;
        person.company = card_.company;
        person.department = card_.department;
        person.notes = card_.notes;
        // A card without a name is its company's (as contacts programs write
        // a company's card); without either, FN is the name.
        if (!HasName(person.firstName, person.lastName, person.company) && !card_.whole.empty()) {
            size_t blank = card_.whole.find_last_of(' ');
            if (blank == std::string::npos) {
                person.firstName = card_.whole;
            } else {
                person.firstName = Trimmed(card_.whole.substr(0, blank));
                person.lastName = card_.whole.substr(blank + 1);
            }
        }
        if (card_.faxes.empty()) {
            if (!card_.own) {
                ++summary_.skipped;
                return true;
            }
            return Row(person);
        }
        for (const FaxTel &tel : card_.faxes) {
            PersonRow row = person;
            row.number = tel.number;
            row.details = tel.details;
            // Ungrouped CATEGORIES are the card's, for every number; a
            // grouped one belongs to the TEL of its group.
            for (const auto &[group, name] : card_.categories)
                if ((group.empty() || group == tel.group) &&
                    std::find(row.groups.begin(), row.groups.end(), name) == row.groups.end())
                    row.groups.push_back(name);
            if (!Row(row)) return false;
        }
        return true;
    }

    bool Row(const PersonRow &row) {
        std::string fault = RowFault(row);
        if (!fault.empty()) return Fault(card_.line, "the card: " + fault);
        if (!visit_(row)) {
            stopped_ = true;
            return false;
        }
        return true;
    }

    const CodePage *codePage_;
    const RowVisitor &visit_;
    ImportSummary &summary_;
    std::string &error_;
    bool inCard_ = false, stopped_ = false;
    int cards_ = 0;
    Card card_;
};

}  // namespace

bool ReadVcards(const std::string &text, const CodePage *codePage, const RowVisitor &visit, ImportSummary &summary,
                std::string &error) {
    summary = ImportSummary{};
    Reader reader(codePage, visit, summary, error);
    size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int physical = 0;
    ContentLine line;
    std::string logical;
    int logicalStart = 0;
    auto flush = [&]() -> bool {
        if (logical.empty()) return true;
        line = ContentLine{};
        line.line = logicalStart;
        std::string fault;
        if (!ParseContentLine(logical, line, fault)) {
            error = At(logicalStart) + (reader.inCard() ? fault : "text outside a card (a card starts with BEGIN:VCARD)");
            return false;
        }
        logical.clear();
        return reader.Line(line);
    };
    while (at < text.size()) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string physicalLine = text.substr(at, end - at);
        // CR LF ends a line, and so do LF and CR alone.
        at = end;
        if (at < text.size() && text[at] == '\r') ++at;
        if (at < text.size() && text[at] == '\n') ++at;
        ++physical;
        if (!physicalLine.empty() && (physicalLine[0] == ' ' || physicalLine[0] == '\t')) {
            // A folded line goes on the one before.
            if (logical.empty()) {
                error = At(physical) + "a folded line that continues nothing";
                return false;
            }
            logical.append(physicalLine, 1, std::string::npos);
            continue;
        }
        if (!flush()) return reader.stopped();
        logical = physicalLine;
        logicalStart = physical;
    }
    if (!flush()) return reader.stopped();
    return reader.End();
}

bool ParseVcards(const std::string &text, std::vector<PersonRow> &rows, std::string &error, const CodePage *codePage) {
    rows.clear();
    ImportSummary summary;
    return ReadVcards(
        text, codePage,
        [&rows](const PersonRow &row) {
            rows.push_back(row);
            return true;
        },
        summary, error);
}
