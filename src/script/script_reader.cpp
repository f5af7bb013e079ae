// Reading scripts: the lines of the format described in script.h, checked
// whole before anything runs.
#include "script/script.h"

#include <fstream>
#include <sstream>

namespace script {
namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

struct ButtonName {
    const char *name;
    int id;
};
const ButtonName kButtonNames[] = {{"ok", kIdOk},       {"cancel", kIdCancel}, {"yes", kIdYes},
                                   {"no", kIdNo},       {"abort", kIdAbort},   {"retry", kIdRetry},
                                   {"ignore", kIdIgnore}};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Tokenize(const std::string &line, std::vector<Token> &tokens, std::string &error) {
    size_t i = 0;
    while (true) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) return true;
        Token token;
        if (line[i] != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') token.text += line[i++];
            tokens.push_back(token);
            continue;
        }
        token.quoted = true;
        ++i;
        bool closed = false;
        while (i < line.size()) {
            char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                token.text += c;
                continue;
            }
            if (i >= line.size()) break;
            char e = line[i++];
            switch (e) {
            case '\\': token.text += '\\'; break;
            case '"': token.text += '"'; break;
            case 't': token.text += '\t'; break;
            case 'r': token.text += '\r'; break;
            case 'n': token.text += '\n'; break;
            case 'x': {
                int high = i < line.size() ? HexValue(line[i]) : -1;
                int low = i + 1 < line.size() ? HexValue(line[i + 1]) : -1;
                if (high < 0 || low < 0) {
                    error = "\\x needs two hex digits";
                    return false;
                }
                token.text += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                error = std::string("unknown escape \\") + e;
                return false;
            }
        }
        if (!closed) {
            error = "a text is not closed with \"";
            return false;
        }
        if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
            error = "a text must be followed by a blank";
            return false;
        }
        tokens.push_back(token);
    }
}

bool ParseNumber(const std::string &text, int &value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

bool ParseIndex(const Token &token, int &index) {
    return !token.quoted && token.text.size() > 1 && token.text[0] == '#' &&
           ParseNumber(token.text.substr(1), index);
}

// The arguments each action takes.
enum class Shape { None, Id, IdText, IdLine, IdNumber, IdIndexText, IdIndexes, Text, Answer };

struct Verb {
    const char *name;
    Shape shape;
};

const Verb kVerbs[] = {
    {"type", Shape::IdText},           {"clear", Shape::Id},
    {"click", Shape::Id},              {"check", Shape::Id},
    {"uncheck", Shape::Id},            {"select", Shape::IdLine},
    {"dblclick", Shape::IdLine},       {"focus", Shape::Id},
    {"enter", Shape::None},            {"escape", Shape::None},
    {"tab", Shape::None},              {"close", Shape::None},
    {"answer", Shape::Answer},         {"dialog", Shape::Text},
    {"expect-text", Shape::IdText},    {"expect-enabled", Shape::Id},
    {"expect-disabled", Shape::Id},    {"expect-checked", Shape::Id},
    {"expect-unchecked", Shape::Id},   {"expect-visible", Shape::Id},
    {"expect-hidden", Shape::Id},      {"expect-focus", Shape::Id},
    {"expect-lines", Shape::IdNumber}, {"expect-line", Shape::IdIndexText},
    {"expect-selected", Shape::IdIndexes},
};

// Reads one line into `action`; the reason in `error` when it cannot.
class LineReader {
public:
    LineReader(const Script &script, const std::vector<Token> &tokens, Action &action, std::string &error)
        : script_(script), tokens_(tokens), action_(action), error_(error), count_(tokens.size() - 1) {}

    bool Read() {
        action_.verb = tokens_[0].text;
        const Verb *verb = nullptr;
        for (const auto &candidate : kVerbs)
            if (action_.verb == candidate.name && !tokens_[0].quoted) verb = &candidate;
        if (!verb) return Refuse("unknown action \"" + action_.verb + "\"");
        switch (verb->shape) {
        case Shape::None: return Count(0, 0);
        case Shape::Id: return Count(1, 1) && Id(tokens_[1]);
        case Shape::IdText: return Count(2, 2) && Id(tokens_[1]) && Text(tokens_[2]);
        case Shape::Text: return Count(1, 1) && Text(tokens_[1]);
        case Shape::IdLine: return Count(2, 2) && Id(tokens_[1]) && Line(tokens_[2]);
        case Shape::IdNumber:
            if (!Count(2, 2) || !Id(tokens_[1])) return false;
            if (!tokens_[2].quoted && ParseNumber(tokens_[2].text, action_.number)) return true;
            return Refuse("\"" + tokens_[2].text + "\" is not a number");
        case Shape::IdIndexText:
            if (!Count(3, 3) || !Id(tokens_[1])) return false;
            if (!ParseIndex(tokens_[2], action_.number))
                return Refuse("a line is #N, not \"" + tokens_[2].text + "\"");
            action_.lineByIndex = true;
            return Text(tokens_[3]);
        case Shape::IdIndexes: return Indexes();
        case Shape::Answer: return AnswerButton();
        }
        return false;
    }

private:
    bool Refuse(const std::string &why) {
        error_ = why;
        return false;
    }
    bool Count(size_t low, size_t high) {
        if (count_ >= low && count_ <= high) return true;
        return Refuse(action_.verb + " takes " +
                      (low == high ? std::to_string(low) : std::to_string(low) + " or " + std::to_string(high)) +
                      " argument" + (high == 1 ? "" : "s") + ", not " + std::to_string(count_));
    }
    bool Id(const Token &token) {
        if (token.quoted) return Refuse("a control id is a number or a name, not a text");
        if (ParseNumber(token.text, action_.control) || script_.ControlId(token.text, action_.control))
            return true;
        return Refuse("unknown control \"" + token.text + "\"");
    }
    bool Text(const Token &token) {
        if (!token.quoted) return Refuse("\"" + token.text + "\" must be a text in double quotes");
        action_.text = token.text;
        action_.hasText = true;
        return true;
    }
    bool Line(const Token &token) {
        if (token.quoted) return Text(token);
        if (!ParseIndex(token, action_.number))
            return Refuse("a line is #N or a text in double quotes, not \"" + token.text + "\"");
        action_.lineByIndex = true;
        return true;
    }
    bool Indexes() {
        if (count_ < 2) return Refuse("expect-selected takes a control and #N lines or none");
        if (!Id(tokens_[1])) return false;
        if (count_ == 2 && !tokens_[2].quoted && tokens_[2].text == "none") return true;
        for (size_t i = 2; i < tokens_.size(); ++i) {
            int index = 0;
            if (!ParseIndex(tokens_[i], index)) return Refuse("a line is #N, not \"" + tokens_[i].text + "\"");
            if (!action_.indexes.empty() && index <= action_.indexes.back())
                return Refuse("the lines must be in ascending order");
            action_.indexes.push_back(index);
        }
        return true;
    }
    bool AnswerButton() {
        if (!Count(1, 2)) return false;
        bool known = false;
        for (const auto &button : kButtonNames) {
            if (!tokens_[1].quoted && tokens_[1].text == button.name) {
                action_.number = button.id;
                known = true;
            }
        }
        if (!known)
            return Refuse("unknown button \"" + tokens_[1].text + "\" (ok, cancel, yes, no, abort, retry, ignore)");
        return count_ == 1 || Text(tokens_[2]);
    }

    const Script &script_;
    const std::vector<Token> &tokens_;
    Action &action_;
    std::string &error_;
    size_t count_;
};

}  // namespace

bool Script::ControlId(const std::string &name, int &id) const {
    if (name == "IDOK") {
        id = kIdOk;
        return true;
    }
    if (name == "IDCANCEL") {
        id = kIdCancel;
        return true;
    }
    return names_ && names_(name, id);
}

bool Script::Parse(const std::string &text, const std::string &name, int firstLine) {
    name_ = name;
    actions_.clear();
    next_ = 0;
    errors_.clear();
    boxes_.clear();
    std::istringstream input(text);
    std::string raw;
    int number = firstLine - 1;
    while (std::getline(input, raw)) {
        ++number;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        size_t first = raw.find_first_not_of(" \t");
        if (first == std::string::npos || raw[first] == '#') continue;
        size_t last = raw.find_last_not_of(" \t");
        std::string line = raw.substr(first, last - first + 1);
        std::vector<Token> tokens;
        std::string error;
        Action action;
        action.line = number;
        action.source = line;
        if (!Tokenize(line, tokens, error) || !LineReader(*this, tokens, action, error).Read()) {
            errors_.push_back(name_ + ":" + std::to_string(number) + ": " + line + ": " + error);
            continue;
        }
        actions_.push_back(action);
    }
    if (!errors_.empty()) {
        actions_.clear();
        return false;
    }
    return true;
}

bool Script::LoadFile(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        actions_.clear();
        next_ = 0;
        boxes_.clear();
        errors_.assign(1, path + ": cannot read the script");
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return Parse(text.str(), path);
}

std::string Quote(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                const char *digits = "0123456789ABCDEF";
                out += "\\x";
                out += digits[c >> 4];
                out += digits[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string ButtonWord(int id) {
    for (const auto &button : kButtonNames)
        if (button.id == id) return button.name;
    return "?";
}

}  // namespace script
