#include "script.h"

#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "res/resource.h"

namespace e2e {

namespace {

struct NamedId {
    const char *name;
    int id;
};

const NamedId kNames[] = {
#include "control_names.inc"
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
};

struct Button {
    const char *word;
    int id;
};
const Button kButtons[] = {{"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},  {"no", IDNO},
                           {"abort", IDABORT}, {"retry", IDRETRY},   {"ignore", IDIGNORE}};

// A cursor over one line of the script.
class Reader {
public:
    explicit Reader(const std::string &s) : s_(s) {}
    void SkipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    bool AtEnd() {
        SkipBlanks();
        return i_ >= s_.size();
    }
    bool Word(std::string &w) {
        SkipBlanks();
        size_t start = i_;
        while (i_ < s_.size() && s_[i_] != ' ' && s_[i_] != '\t') ++i_;
        w = s_.substr(start, i_ - start);
        return !w.empty();
    }
    bool NextIsQuote() {
        SkipBlanks();
        return i_ < s_.size() && s_[i_] == '"';
    }
    // "..." with \\ \" \t \r \n \xHH.
    bool Quoted(std::string &out, std::string &why) {
        SkipBlanks();
        if (i_ >= s_.size() || s_[i_] != '"') {
            why = "a text in double quotes is missing";
            return false;
        }
        ++i_;
        out.clear();
        while (i_ < s_.size()) {
            char c = s_[i_++];
            if (c == '"') {
                if (i_ < s_.size() && s_[i_] != ' ' && s_[i_] != '\t') {
                    why = "text runs on after its closing quote";
                    return false;
                }
                return true;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) break;
            char e = s_[i_++];
            switch (e) {
                case '\\': out += '\\'; break;
                case '"': out += '"'; break;
                case 't': out += '\t'; break;
                case 'r': out += '\r'; break;
                case 'n': out += '\n'; break;
                case 'x': {
                    if (i_ + 2 > s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i_])) ||
                        !std::isxdigit(static_cast<unsigned char>(s_[i_ + 1]))) {
                        why = "\\x wants exactly two hex digits";
                        return false;
                    }
                    out += static_cast<char>(std::strtol(s_.substr(i_, 2).c_str(), nullptr, 16));
                    i_ += 2;
                    break;
                }
                default:
                    why = std::string("unknown escape \\") + e;
                    return false;
            }
        }
        why = "the closing quote is missing";
        return false;
    }

private:
    const std::string &s_;
    size_t i_ = 0;
};

bool ParseNumber(const std::string &w, int &n) {
    if (w.empty() || w.size() > 9) return false;
    for (char c : w)
        if (c < '0' || c > '9') return false;
    n = std::atoi(w.c_str());
    return true;
}

bool ParseControl(Reader &r, ScriptAction &a, std::string &why) {
    std::string w;
    if (!r.Word(w)) {
        why = "a control id is missing";
        return false;
    }
    if (!ParseNumber(w, a.control) && !ControlIdByName(w, a.control)) {
        why = "unknown control " + w;
        return false;
    }
    a.hasControl = true;
    return true;
}

bool ParseLine(Reader &r, ScriptAction &a, std::string &why) {
    if (r.NextIsQuote()) {
        a.hasText = true;
        return r.Quoted(a.text, why);
    }
    std::string w;
    if (!r.Word(w) || w[0] != '#' || !ParseNumber(w.substr(1), a.number)) {
        why = "a list line (#N or \"text\") is missing";
        return false;
    }
    a.lineByIndex = true;
    return true;
}

bool ParseAction(const std::string &line, ScriptAction &a, std::string &why) {
    Reader r(line);
    r.Word(a.verb);
    const std::string &v = a.verb;
    if (v == "type" || v == "expect-text") {
        if (!ParseControl(r, a, why)) return false;
        a.hasText = true;
        if (!r.Quoted(a.text, why)) return false;
    } else if (v == "clear" || v == "click" || v == "check" || v == "uncheck" || v == "focus" ||
               v == "expect-enabled" || v == "expect-disabled" || v == "expect-checked" ||
               v == "expect-unchecked" || v == "expect-visible" || v == "expect-hidden" || v == "expect-focus") {
        if (!ParseControl(r, a, why)) return false;
    } else if (v == "select" || v == "dblclick") {
        if (!ParseControl(r, a, why) || !ParseLine(r, a, why)) return false;
    } else if (v == "enter" || v == "escape" || v == "tab" || v == "close") {
    } else if (v == "answer") {
        std::string w;
        if (!r.Word(w)) {
            why = "a button (ok, cancel, yes, no, abort, retry, ignore) is missing";
            return false;
        }
        bool known = false;
        for (const Button &b : kButtons)
            if (w == b.word) {
                a.number = b.id;
                known = true;
            }
        if (!known) {
            why = "unknown button " + w;
            return false;
        }
        if (r.NextIsQuote()) {
            a.hasText = true;
            if (!r.Quoted(a.text, why)) return false;
        }
    } else if (v == "dialog") {
        a.hasText = true;
        if (!r.Quoted(a.text, why)) return false;
    } else if (v == "expect-lines") {
        std::string w;
        if (!ParseControl(r, a, why)) return false;
        if (!r.Word(w) || !ParseNumber(w, a.number)) {
            why = "a number of lines is missing";
            return false;
        }
    } else if (v == "expect-line") {
        std::string w;
        if (!ParseControl(r, a, why)) return false;
        if (!r.Word(w) || w[0] != '#' || !ParseNumber(w.substr(1), a.number)) {
            why = "a line #N is missing";
            return false;
        }
        a.lineByIndex = true;
        a.hasText = true;
        if (!r.Quoted(a.text, why)) return false;
    } else if (v == "expect-selected") {
        if (!ParseControl(r, a, why)) return false;
        std::string w;
        bool none = false;
        while (r.Word(w)) {
            int n = 0;
            if (w == "none" && a.indexes.empty() && !none) {
                none = true;
            } else if (!none && w[0] == '#' && ParseNumber(w.substr(1), n)) {
                a.indexes.push_back(n);
            } else {
                why = "expect-selected wants #i ... or none, not " + w;
                return false;
            }
        }
        if (!none && a.indexes.empty()) {
            why = "expect-selected wants #i ... or none";
            return false;
        }
    } else {
        why = "unknown action " + v;
        return false;
    }
    if (!r.AtEnd()) {
        why = "unexpected words at the end of the line";
        return false;
    }
    return true;
}

}  // namespace

bool ControlIdByName(const std::string &name, int &id) {
    for (const NamedId &n : kNames)
        if (name == n.name) {
            id = n.id;
            return true;
        }
    return false;
}

bool ParseScript(const std::string &text, const std::string &name, int firstLine,
                 std::vector<ScriptAction> &actions, std::string &error) {
    actions.clear();
    std::istringstream in(text);
    std::string raw;
    int number = firstLine - 1;
    while (std::getline(in, raw)) {
        ++number;
        size_t a = raw.find_first_not_of(" \t\r");
        if (a == std::string::npos || raw[a] == '#') continue;
        size_t b = raw.find_last_not_of(" \t\r");
        std::string line = raw.substr(a, b - a + 1);
        ScriptAction action;
        action.line = number;
        action.source = line;
        std::string why;
        if (!ParseAction(line, action, why)) {
            error = name + ":" + std::to_string(number) + ": " + why + ": " + line;
            return false;
        }
        actions.push_back(action);
    }
    return true;
}

}  // namespace e2e
