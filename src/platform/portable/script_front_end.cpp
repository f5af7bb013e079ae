// The scripted front end: reads the script format described in
// script_front_end.h and plays it against the open dialogs.
#include "script_front_end.h"

#include "res/resource.h"

#include <cctype>
#include <fstream>
#include <sstream>

namespace portable {
namespace {

struct NamedId {
    const char *name;
    int id;
};

#define NAME(x) {#x, x}
const NamedId kControlNames[] = {
    NAME(IDOK), NAME(IDCANCEL),
    NAME(IDC_FAX_RECIPIENTS), NAME(IDC_FAX_NUMBERS), NAME(IDC_FAX_EDIT_BOOK),
    NAME(IDC_FAX_NEW_RECIPIENT), NAME(IDC_FAX_NEW_NAME_LABEL), NAME(IDC_FAX_NEW_NUMBER_LABEL),
    NAME(IDC_FAX_NEW_NAME), NAME(IDC_FAX_NEW_NUMBER), NAME(IDC_FAX_ULTRAFINE), NAME(IDC_FAX_FINE),
    NAME(IDC_FAX_RESOLUTION_ICON), NAME(IDC_FAX_USE_COVER), NAME(IDC_FAX_EDIT_COVER),
    NAME(IDC_FAX_PRINT),
    NAME(IDC_COVER_SENDER_NAME), NAME(IDC_COVER_SENDER_FAX), NAME(IDC_COVER_SENDER_HOME),
    NAME(IDC_COVER_SENDER_BUSINESS), NAME(IDC_COVER_RECIP_NAME), NAME(IDC_COVER_RECIP_COMPANY),
    NAME(IDC_COVER_RECIP_NUMBER), NAME(IDC_COVER_NOTE), NAME(IDC_COVER_NAME), NAME(IDC_COVER_FAX),
    NAME(IDC_COVER_BUSINESS), NAME(IDC_COVER_HOME),
    NAME(IDC_BOOK_PEOPLE), NAME(IDC_BOOK_GROUPS), NAME(IDC_BOOK_LIST), NAME(IDC_BOOK_NEW_GROUP),
    NAME(IDC_BOOK_NEW_PERSON), NAME(IDC_BOOK_EDIT), NAME(IDC_BOOK_DELETE),
    NAME(IDC_GROUP_NAME), NAME(IDC_GROUP_AVAILABLE), NAME(IDC_GROUP_ADD), NAME(IDC_GROUP_MEMBERS),
    NAME(IDC_GROUP_REMOVE),
    NAME(IDC_PERSON_FIRST), NAME(IDC_PERSON_LAST), NAME(IDC_PERSON_COMPANY),
    NAME(IDC_PERSON_DEPARTMENT), NAME(IDC_PERSON_NUMBERS), NAME(IDC_PERSON_ADD),
    NAME(IDC_PERSON_EDIT), NAME(IDC_PERSON_DELETE), NAME(IDC_PERSON_NOTES),
    NAME(IDC_NUMBER_NUMBER), NAME(IDC_NUMBER_DETAILS),
};
#undef NAME

struct Button {
    const char *name;
    int id;
};
const Button kButtons[] = {{"ok", IDOK},         {"cancel", IDCANCEL}, {"yes", IDYES},
                           {"no", IDNO},         {"abort", IDABORT},   {"retry", IDRETRY},
                           {"ignore", IDIGNORE}};

const char *ButtonName(int id) {
    for (const auto &button : kButtons)
        if (button.id == id) return button.name;
    return "?";
}

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
    }
}

// The answer of a user who wants out: Cancel, else No, else Abort, else OK.
int SafeAnswer(UINT type) {
    std::vector<int> buttons = ButtonsOf(type);
    for (int wanted : {IDCANCEL, IDNO, IDABORT}) {
        for (int id : buttons)
            if (id == wanted) return id;
    }
    return IDOK;
}

struct Token {
    std::string text;
    bool quoted = false;
};

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
        if (line[i] == '"') {
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
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t') token.text += line[i++];
        }
        tokens.push_back(token);
    }
}

bool ParseNumber(const std::string &text, int &value) {
    if (text.empty() || text.size() > 9) return false;
    value = 0;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

enum class Shape { None, Id, IdText, IdLine, IdNumber, IdIndexText, IdIndexes, Text, Answer };

struct Verb {
    const char *name;
    Shape shape;
};

const Verb kVerbs[] = {
    {"type", Shape::IdText},          {"clear", Shape::Id},
    {"click", Shape::Id},             {"check", Shape::Id},
    {"uncheck", Shape::Id},           {"select", Shape::IdLine},
    {"dblclick", Shape::IdLine},      {"focus", Shape::Id},
    {"enter", Shape::None},           {"escape", Shape::None},
    {"tab", Shape::None},             {"close", Shape::None},
    {"answer", Shape::Answer},        {"dialog", Shape::Text},
    {"expect-text", Shape::IdText},   {"expect-enabled", Shape::Id},
    {"expect-disabled", Shape::Id},   {"expect-checked", Shape::Id},
    {"expect-unchecked", Shape::Id},  {"expect-visible", Shape::Id},
    {"expect-hidden", Shape::Id},     {"expect-focus", Shape::Id},
    {"expect-lines", Shape::IdNumber}, {"expect-line", Shape::IdIndexText},
    {"expect-selected", Shape::IdIndexes},
};

std::string WithArticle(const std::string &kind) {
    if (kind.empty()) return "nothing";
    return (std::string("aeiou").find(kind[0]) != std::string::npos ? "an " : "a ") + kind;
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

bool ParseIndex(const Token &token, int &index) {
    return !token.quoted && token.text.size() > 1 && token.text[0] == '#' &&
           ParseNumber(token.text.substr(1), index);
}

// Reads one line into `action`; the reason in `error` when it cannot.
bool ParseAction(const std::vector<Token> &tokens, ScriptFrontEnd::Action &action,
                 std::string &error) {
    action.verb = tokens[0].text;
    const Verb *verb = nullptr;
    for (const auto &candidate : kVerbs)
        if (action.verb == candidate.name && !tokens[0].quoted) verb = &candidate;
    if (!verb) {
        error = "unknown action \"" + action.verb + "\"";
        return false;
    }
    size_t count = tokens.size() - 1;
    auto wantId = [&](const Token &token) {
        if (token.quoted) {
            error = "a control id is a number or a name, not a text";
            return false;
        }
        if (ParseNumber(token.text, action.control)) return true;
        if (ScriptFrontEnd::ControlIdByName(token.text, action.control)) return true;
        error = "unknown control \"" + token.text + "\"";
        return false;
    };
    auto wantText = [&](const Token &token) {
        if (!token.quoted) {
            error = "\"" + token.text + "\" must be a text in double quotes";
            return false;
        }
        action.text = token.text;
        action.hasText = true;
        return true;
    };
    auto wantCount = [&](size_t low, size_t high) {
        if (count < low || count > high) {
            error = action.verb + " takes " +
                    (low == high ? std::to_string(low) : std::to_string(low) + " or " + std::to_string(high)) +
                    " argument" + (high == 1 ? "" : "s") + ", not " + std::to_string(count);
            return false;
        }
        return true;
    };
    switch (verb->shape) {
    case Shape::None:
        return wantCount(0, 0);
    case Shape::Id:
        return wantCount(1, 1) && wantId(tokens[1]);
    case Shape::IdText:
        return wantCount(2, 2) && wantId(tokens[1]) && wantText(tokens[2]);
    case Shape::Text:
        return wantCount(1, 1) && wantText(tokens[1]);
    case Shape::IdLine:
        if (!wantCount(2, 2) || !wantId(tokens[1])) return false;
        if (tokens[2].quoted) return wantText(tokens[2]);
        if (ParseIndex(tokens[2], action.number)) {
            action.lineByIndex = true;
            return true;
        }
        error = "a line is #N or a text in double quotes, not \"" + tokens[2].text + "\"";
        return false;
    case Shape::IdNumber:
        if (!wantCount(2, 2) || !wantId(tokens[1])) return false;
        if (!tokens[2].quoted && ParseNumber(tokens[2].text, action.number)) return true;
        error = "\"" + tokens[2].text + "\" is not a number";
        return false;
    case Shape::IdIndexText:
        if (!wantCount(3, 3) || !wantId(tokens[1])) return false;
        if (!ParseIndex(tokens[2], action.number)) {
            error = "a line is #N, not \"" + tokens[2].text + "\"";
            return false;
        }
        action.lineByIndex = true;
        return wantText(tokens[3]);
    case Shape::IdIndexes:
        if (count < 2) {
            error = "expect-selected takes a control and #N lines or none";
            return false;
        }
        if (!wantId(tokens[1])) return false;
        if (count == 2 && !tokens[2].quoted && tokens[2].text == "none") return true;
        for (size_t i = 2; i < tokens.size(); ++i) {
            int index = 0;
            if (!ParseIndex(tokens[i], index)) {
                error = "a line is #N, not \"" + tokens[i].text + "\"";
                return false;
            }
            if (!action.indexes.empty() && index <= action.indexes.back()) {
                error = "the lines must be in ascending order";
                return false;
            }
            action.indexes.push_back(index);
        }
        return true;
    case Shape::Answer: {
        if (!wantCount(1, 2)) return false;
        bool known = false;
        for (const auto &button : kButtons) {
            if (!tokens[1].quoted && tokens[1].text == button.name) {
                action.number = button.id;
                known = true;
            }
        }
        if (!known) {
            error = "unknown button \"" + tokens[1].text +
                    "\" (ok, cancel, yes, no, abort, retry, ignore)";
            return false;
        }
        return count == 1 || wantText(tokens[2]);
    }
    }
    return false;
}

}  // namespace

bool ScriptFrontEnd::ControlIdByName(const std::string &name, int &id) {
    for (const auto &entry : kControlNames) {
        if (name == entry.name) {
            id = entry.id;
            return true;
        }
    }
    return false;
}

bool ScriptFrontEnd::Parse(const std::string &text, const std::string &name) {
    name_ = name;
    actions_.clear();
    next_ = 0;
    errors_.clear();
    boxes_.clear();
    std::istringstream input(text);
    std::string raw;
    int number = 0;
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
        if (!Tokenize(line, tokens, error) || !ParseAction(tokens, action, error)) {
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

bool ScriptFrontEnd::LoadFile(const std::string &path) {
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

void ScriptFrontEnd::Fail(const Action *action, HWND dialog, const std::string &why) {
    std::string message = name_;
    if (action) message += ":" + std::to_string(action->line) + ": " + action->source;
    if (dialog) message += ": in \"" + automation::Caption(dialog) + "\"";
    message += ": " + why;
    errors_.push_back(message);
}

void ScriptFrontEnd::RunDialog(HWND dialog) {
    while (!automation::HasEnded(dialog)) {
        if (Failed()) return;
        if (next_ >= actions_.size()) {
            Fail(nullptr, dialog, "the script ended while the dialog is still open");
            return;
        }
        const Action &action = actions_[next_++];
        HWND target = automation::InnermostDialog();
        if (action.verb == "answer") {
            Fail(&action, target, "no message box is shown");
            return;
        }
        if (!Perform(action, target)) return;
    }
}

int ScriptFrontEnd::AnswerMessageBox(HWND, const std::string &text, const std::string &caption,
                                     UINT type) {
    MessageBoxShown shown{caption, text, type, SafeAnswer(type)};
    std::string box = "message box " + Quote(caption) + " " + Quote(text);
    if (!Failed()) {
        if (next_ >= actions_.size()) {
            Fail(nullptr, nullptr, "the script ended while the " + box + " is shown");
        } else if (actions_[next_].verb != "answer") {
            Fail(&actions_[next_], automation::InnermostDialog(),
                 "the " + box + " is shown; answer it first");
        } else {
            const Action &action = actions_[next_++];
            std::vector<int> buttons = ButtonsOf(type);
            bool offered = false;
            for (int id : buttons) offered = offered || id == action.number;
            if (action.hasText && action.text != text) {
                Fail(&action, nullptr, "the " + box + " does not read " + Quote(action.text));
            } else if (!offered) {
                std::string names;
                for (int id : buttons) names += std::string(names.empty() ? "" : ", ") + ButtonName(id);
                Fail(&action, nullptr, "the " + box + " has no button " +
                                           ButtonName(action.number) + " (it has " + names + ")");
            } else {
                shown.answer = action.number;
            }
        }
    }
    boxes_.push_back(shown);
    return shown.answer;
}

bool ScriptFrontEnd::Perform(const Action &action, HWND dialog) {
    using namespace automation;
    const std::string &verb = action.verb;
    auto fail = [&](const std::string &why) {
        Fail(&action, dialog, why);
        return false;
    };
    auto control = [&]() { return "control " + std::to_string(action.control); };
    auto act = [&](bool done) { return done ? true : fail(LastError()); };
    if (!dialog) return fail("no dialog is open");
    bool needsControl = verb != "enter" && verb != "escape" && verb != "tab" && verb != "close" &&
                        verb != "dialog";
    if (needsControl && !Control(dialog, action.control))
        return fail("the dialog has no " + control());

    if (verb == "dialog") {
        if (Caption(dialog) != action.text)
            return fail("expected the dialog " + Quote(action.text));
        return true;
    }
    if (verb == "type") return act(Type(dialog, action.control, action.text));
    if (verb == "clear") return act(ClearText(dialog, action.control));
    if (verb == "click") return act(Click(dialog, action.control));
    if (verb == "check" || verb == "uncheck") {
        if (ControlKind(dialog, action.control) != "check box")
            return fail(control() + " is " + WithArticle(ControlKind(dialog, action.control)) + ", not a check box");
        if (IsChecked(dialog, action.control) == (verb == "check")) return true;
        return act(Click(dialog, action.control));
    }
    if (verb == "select" || verb == "dblclick") {
        if (ControlKind(dialog, action.control) != "list box")
            return fail(control() + " is " + WithArticle(ControlKind(dialog, action.control)) + ", not a list box");
        int index = action.number;
        if (!action.lineByIndex) {
            index = FindLine(dialog, action.control, action.text);
            if (index < 0) return fail(control() + " has no line " + Quote(action.text));
        }
        return act(verb == "select" ? ClickLine(dialog, action.control, index)
                                    : DoubleClickLine(dialog, action.control, index));
    }
    if (verb == "focus") return act(FocusControl(dialog, action.control));
    if (verb == "enter") return act(PressEnter(dialog));
    if (verb == "escape") return act(PressEscape(dialog));
    if (verb == "tab") return act(PressTab(dialog));
    if (verb == "close") return act(Close(dialog));

    // The checks.
    if (verb == "expect-text") {
        std::string actual = ControlText(dialog, action.control);
        if (actual != action.text) return fail(control() + " reads " + Quote(actual));
        return true;
    }
    if (verb == "expect-enabled" || verb == "expect-disabled") {
        bool enabled = IsEnabled(dialog, action.control);
        if (enabled != (verb == "expect-enabled"))
            return fail(control() + " is " + (enabled ? "enabled" : "disabled"));
        return true;
    }
    if (verb == "expect-checked" || verb == "expect-unchecked") {
        bool checked = IsChecked(dialog, action.control);
        if (checked != (verb == "expect-checked"))
            return fail(control() + " is " + (checked ? "checked" : "not checked"));
        return true;
    }
    if (verb == "expect-visible" || verb == "expect-hidden") {
        bool visible = IsVisible(dialog, action.control);
        if (visible != (verb == "expect-visible"))
            return fail(control() + " is " + (visible ? "visible" : "hidden"));
        return true;
    }
    if (verb == "expect-focus") {
        if (!HasFocus(dialog, action.control)) return fail(control() + " does not have the focus");
        return true;
    }
    std::string kind = ControlKind(dialog, action.control);
    if (verb == "expect-lines") {
        int count;
        if (kind == "list box")
            count = LineCount(dialog, action.control);
        else if (kind == "edit")
            count = static_cast<int>(EditLines(dialog, action.control).size());
        else
            return fail(control() + " is " + WithArticle(kind) + ", not a list box or an edit");
        if (count != action.number)
            return fail(control() + " has " + std::to_string(count) + " lines");
        return true;
    }
    if (verb == "expect-line") {
        std::vector<std::string> lines;
        if (kind == "list box") {
            for (int i = 0; i < LineCount(dialog, action.control); ++i)
                lines.push_back(LineText(dialog, action.control, i));
        } else if (kind == "edit") {
            lines = EditLines(dialog, action.control);
        } else {
            return fail(control() + " is " + WithArticle(kind) + ", not a list box or an edit");
        }
        if (action.number >= static_cast<int>(lines.size()))
            return fail(control() + " has only " + std::to_string(lines.size()) + " lines");
        if (lines[static_cast<size_t>(action.number)] != action.text)
            return fail("line #" + std::to_string(action.number) + " of " + control() + " reads " +
                        Quote(lines[static_cast<size_t>(action.number)]));
        return true;
    }
    if (verb == "expect-selected") {
        if (kind != "list box") return fail(control() + " is " + WithArticle(kind) + ", not a list box");
        std::vector<int> selected = SelectedLines(dialog, action.control);
        if (selected != action.indexes) {
            std::string list;
            for (int index : selected) list += " #" + std::to_string(index);
            return fail("the selected lines of " + control() + " are" +
                        (list.empty() ? std::string(" none") : list));
        }
        return true;
    }
    return fail("cannot perform this action");
}

bool ScriptFrontEnd::Finish() {
    if (!Failed() && next_ < actions_.size())
        Fail(&actions_[next_], nullptr,
             "no dialog is open for this line (" + std::to_string(actions_.size() - next_) +
                 " lines left unused)");
    return !Failed();
}

std::string ScriptFrontEnd::Report() const {
    std::string report;
    for (const auto &error : errors_) report += error + "\n";
    return report;
}

}  // namespace portable
