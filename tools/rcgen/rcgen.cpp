// rcgen: turns a resource script into the tables of the portable layer,
// so that the dialogs, strings and icons windres compiles into the DLLs and
// the ones the Linux build shows come from one file.
//
//   rcgen --rc src/res/orvixfax.rc --constants src/platform/portable/windows.h
//         --module OrvixFax.dll --out resources_generated.cpp
//
// The tables it writes register themselves with the layer under the
// module's file name before main runs, as the Windows loader maps a DLL's
// resources with it; a program has them by linking the file in whole.
//
// It reads the part of the resource language the module uses: #include and
// #define, ICON, DIALOG (STYLE, EXSTYLE, CAPTION, FONT), the control
// statements with windres's default styles, and STRINGTABLE. Anything else
// is refused with the file, the line and what was expected.
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string &where, const std::string &message) {
    std::fprintf(stderr, "rcgen: %s: %s\n", where.c_str(), message.c_str());
    std::exit(1);
}

std::string ReadFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(path.string(), "cannot open");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// ------------------------------------------------------------------ tokens

enum class Kind { Identifier, Number, String, Punct, End };

struct Token {
    Kind kind = Kind::End;
    std::string text;   // identifier, punctuation, or the decoded string
    int64_t value = 0;  // number
    std::string where;  // file:line
};

// Blanks out comments, keeping line breaks so line numbers stay right.
std::string StripComments(const std::string &source) {
    std::string out;
    out.reserve(source.size());
    for (size_t i = 0; i < source.size();) {
        if (source[i] == '"') {
            out += source[i++];
            while (i < source.size() && source[i] != '"' && source[i] != '\n') {
                if (source[i] == '\\' && i + 1 < source.size()) out += source[i++];
                out += source[i++];
            }
            if (i < source.size()) out += source[i++];
        } else if (source.compare(i, 2, "//") == 0) {
            while (i < source.size() && source[i] != '\n') ++i;
        } else if (source.compare(i, 2, "/*") == 0) {
            i += 2;
            while (i < source.size() && source.compare(i, 2, "*/") != 0) {
                if (source[i] == '\n') out += '\n';
                ++i;
            }
            i += 2;
        } else {
            out += source[i++];
        }
    }
    return out;
}

// The resource compiler's string escapes: C's, and "" for a quote.
std::string DecodeString(const std::string &body, const std::string &where) {
    std::string out;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
            out += '"';
            ++i;
        } else if (c == '\\' && i + 1 < body.size()) {
            char e = body[++i];
            switch (e) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'a': out += '\a'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'v': out += '\v'; break;
            case '\\': out += '\\'; break;
            case '"': out += '"'; break;
            case '\'': out += '\''; break;
            case 'x': {
                int value = 0, n = 0;
                while (n < 2 && i + 1 < body.size() && std::isxdigit(static_cast<unsigned char>(body[i + 1]))) {
                    value = value * 16 + std::stoi(std::string(1, body[++i]), nullptr, 16);
                    ++n;
                }
                if (n == 0) Fail(where, "\\x without hex digits in a string");
                out += static_cast<char>(value);
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    int value = e - '0', n = 1;
                    while (n < 3 && i + 1 < body.size() && body[i + 1] >= '0' && body[i + 1] <= '7') {
                        value = value * 8 + (body[++i] - '0');
                        ++n;
                    }
                    out += static_cast<char>(value);
                } else {
                    Fail(where, std::string("unknown escape \\") + e + " in a string");
                }
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<Token> Tokenize(const std::string &source, const std::string &file, int firstLine = 1) {
    std::vector<Token> tokens;
    bool lastWasString = false;  // adjacent strings join into one, as in C
    int line = firstLine;
    auto where = [&] { return file + ":" + std::to_string(line); };
    for (size_t i = 0; i < source.size();) {
        char c = source[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = i;
            while (i < source.size() && (std::isalnum(static_cast<unsigned char>(source[i])) || source[i] == '_')) ++i;
            tokens.push_back({Kind::Identifier, source.substr(start, i - start), 0, where()});
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            size_t start = i;
            while (i < source.size() && std::isalnum(static_cast<unsigned char>(source[i]))) ++i;
            std::string text = source.substr(start, i - start);
            while (!text.empty() && (text.back() == 'L' || text.back() == 'l' || text.back() == 'U' || text.back() == 'u'))
                text.pop_back();
            char *end = nullptr;
            int64_t value = std::strtoll(text.c_str(), &end, 0);
            if (end == nullptr || *end != '\0') Fail(where(), "bad number '" + source.substr(start, i - start) + "'");
            tokens.push_back({Kind::Number, text, value, where()});
        } else if (c == '"') {
            size_t start = ++i;
            while (i < source.size()) {
                if (source[i] == '\\' && i + 1 < source.size()) {
                    i += 2;
                } else if (source[i] == '"' && i + 1 < source.size() && source[i + 1] == '"') {
                    i += 2;
                } else if (source[i] == '"' || source[i] == '\n') {
                    break;
                } else {
                    ++i;
                }
            }
            if (i >= source.size() || source[i] != '"') Fail(where(), "string not closed on its line");
            std::string decoded = DecodeString(source.substr(start, i - start), where());
            ++i;
            if (lastWasString) {
                tokens.back().text += decoded;
            } else {
                tokens.push_back({Kind::String, decoded, 0, where()});
            }
            lastWasString = true;
            continue;
        } else {
            tokens.push_back({Kind::Punct, std::string(1, c), 0, where()});
            ++i;
        }
        if (!tokens.empty() && tokens.back().kind != Kind::String) lastWasString = false;
    }
    return tokens;
}

// ------------------------------------------------------------------ macros

struct Macros {
    std::map<std::string, std::string> body;  // object-like macros only
    std::map<std::string, std::string> where;

    // Reads every object-like #define of a header; other directives of a
    // header (guards, includes of the C library) do not matter for values.
    void ReadHeader(const fs::path &path) {
        std::istringstream lines(StripComments(ReadFile(path)));
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            Define(line, path.filename().string() + ":" + std::to_string(number));
        }
    }

    // Takes "#define NAME value" (leading blanks allowed); false for other lines.
    bool Define(const std::string &line, const std::string &at) {
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string::npos || line[i] != '#') return false;
        i = line.find_first_not_of(" \t", i + 1);
        if (i == std::string::npos || line.compare(i, 6, "define") != 0) return false;
        i = line.find_first_not_of(" \t", i + 6);
        if (i == std::string::npos) return false;
        size_t start = i;
        while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_')) ++i;
        std::string name = line.substr(start, i - start);
        if (i < line.size() && line[i] == '(') return true;  // function-like: no value
        size_t valueStart = line.find_first_not_of(" \t", i);
        std::string value = valueStart == std::string::npos ? "" : line.substr(valueStart);
        while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back()))) value.pop_back();
        body[name] = value;
        where[name] = at;
        return true;
    }

    bool Has(const std::string &name) const { return body.count(name) != 0; }
};

// Integer expressions: | & + - * / ~ ! unary minus, parentheses, numbers
// and macro names (expanded, recursively).
class Expression {
public:
    Expression(const std::vector<Token> &tokens, size_t &pos, const Macros &macros, int depth = 0)
        : tokens_(tokens), pos_(pos), macros_(macros), depth_(depth) {}

    int64_t Or() {
        int64_t value = And();
        while (IsPunct("|")) {
            ++pos_;
            value |= And();
        }
        return value;
    }

    // One term of a style list: no '|' at the top, since NOT binds to one term.
    int64_t Term() { return And(); }

private:
    bool IsPunct(const char *p) const {
        return pos_ < tokens_.size() && tokens_[pos_].kind == Kind::Punct && tokens_[pos_].text == p;
    }
    const Token &Current() const {
        static Token end;
        return pos_ < tokens_.size() ? tokens_[pos_] : end;
    }
    std::string Where() const {
        if (pos_ < tokens_.size()) return tokens_[pos_].where;
        return tokens_.empty() ? "?" : tokens_.back().where;
    }

    int64_t And() {
        int64_t value = Sum();
        while (IsPunct("&")) {
            ++pos_;
            value &= Sum();
        }
        return value;
    }
    int64_t Sum() {
        int64_t value = Product();
        while (IsPunct("+") || IsPunct("-")) {
            bool plus = IsPunct("+");
            ++pos_;
            int64_t right = Product();
            value = plus ? value + right : value - right;
        }
        return value;
    }
    int64_t Product() {
        int64_t value = Unary();
        while (IsPunct("*") || IsPunct("/")) {
            bool times = IsPunct("*");
            ++pos_;
            int64_t right = Unary();
            if (!times && right == 0) Fail(Where(), "division by zero");
            value = times ? value * right : value / right;
        }
        return value;
    }
    int64_t Unary() {
        if (IsPunct("-")) {
            ++pos_;
            return -Unary();
        }
        if (IsPunct("~")) {
            ++pos_;
            return ~Unary();
        }
        if (IsPunct("!")) {
            ++pos_;
            return !Unary();
        }
        if (IsPunct("+")) {
            ++pos_;
            return Unary();
        }
        return Primary();
    }
    int64_t Primary() {
        const Token &token = Current();
        if (token.kind == Kind::Number) {
            ++pos_;
            return token.value;
        }
        if (IsPunct("(")) {
            ++pos_;
            int64_t value = Or();
            if (!IsPunct(")")) Fail(Where(), "expected ')'");
            ++pos_;
            return value;
        }
        if (token.kind == Kind::Identifier) {
            auto found = macros_.body.find(token.text);
            if (found == macros_.body.end()) Fail(token.where, "unknown name '" + token.text + "'");
            if (depth_ > 32) Fail(token.where, "macro '" + token.text + "' expands without end");
            ++pos_;
            std::vector<Token> expansion = Tokenize(found->second, macros_.where.at(token.text));
            if (expansion.empty()) Fail(token.where, "'" + token.text + "' has no value");
            size_t inner = 0;
            int64_t value = Expression(expansion, inner, macros_, depth_ + 1).Or();
            if (inner != expansion.size())
                Fail(token.where, "'" + token.text + "' is not a number (" + found->second + ")");
            return value;
        }
        Fail(Where(), "expected a number or a name, found '" + token.text + "'");
    }

    const std::vector<Token> &tokens_;
    size_t &pos_;
    const Macros &macros_;
    int depth_;
};

// ------------------------------------------------------------------ model

struct Control {
    std::string windowClass;
    std::string text;
    int iconId = 0;
    int id = 0;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct Dialog {
    std::string name;
    int resourceId = 0;
    uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    int pointSize = 0;
    std::string fontFace;
    std::vector<Control> controls;
};

struct Resources {
    std::vector<Dialog> dialogs;
    std::map<unsigned, std::string> strings;
    std::vector<std::pair<int, std::string>> icons;
};

// ------------------------------------------------------------------ parser

// The control statements windres knows, with its default style (when the
// statement gives none) and its base style (what a given style adds to).
struct ControlKind {
    const char *keyword;
    const char *windowClass;
    bool hasText;
    const char *defaultStyle;
    const char *baseStyle;
};

const ControlKind kControlKinds[] = {
    {"LTEXT", "STATIC", true, "SS_LEFT | WS_GROUP", "SS_LEFT"},
    {"RTEXT", "STATIC", true, "SS_RIGHT | WS_GROUP", "SS_RIGHT"},
    {"CTEXT", "STATIC", true, "SS_CENTER | WS_GROUP", "SS_CENTER"},
    {"PUSHBUTTON", "BUTTON", true, "BS_PUSHBUTTON | WS_TABSTOP", "BS_PUSHBUTTON"},
    {"DEFPUSHBUTTON", "BUTTON", true, "BS_DEFPUSHBUTTON | WS_TABSTOP", "BS_DEFPUSHBUTTON"},
    {"CHECKBOX", "BUTTON", true, "BS_CHECKBOX | WS_TABSTOP", "BS_CHECKBOX"},
    {"AUTOCHECKBOX", "BUTTON", true, "BS_AUTOCHECKBOX | WS_TABSTOP", "BS_AUTOCHECKBOX"},
    {"RADIOBUTTON", "BUTTON", true, "BS_RADIOBUTTON", "BS_RADIOBUTTON"},
    {"AUTORADIOBUTTON", "BUTTON", true, "BS_AUTORADIOBUTTON", "BS_AUTORADIOBUTTON"},
    {"GROUPBOX", "BUTTON", true, "BS_GROUPBOX", "BS_GROUPBOX"},
    {"EDITTEXT", "EDIT", false, "ES_LEFT | WS_BORDER | WS_TABSTOP", "ES_LEFT"},
    {"LISTBOX", "LISTBOX", false, "LBS_NOTIFY | WS_BORDER", "LBS_NOTIFY | WS_BORDER"},
};

const char *const kKnownClasses[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};

std::string Upper(std::string text) {
    for (char &c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, const Macros &macros, fs::path directory)
        : tokens_(std::move(tokens)), macros_(macros), directory_(std::move(directory)) {}

    Resources Parse() {
        while (pos_ < tokens_.size()) Statement();
        return std::move(resources_);
    }

private:
    const Token &Current() const {
        static Token end{Kind::End, "end of file", 0, "end"};
        return pos_ < tokens_.size() ? tokens_[pos_] : end;
    }
    std::string Where() const {
        if (pos_ < tokens_.size()) return tokens_[pos_].where;
        return tokens_.empty() ? "?" : tokens_.back().where + " (end of file)";
    }
    bool IsWord(const char *word) const {
        return Current().kind == Kind::Identifier && Current().text == word;
    }
    bool IsPunct(const char *p) const { return Current().kind == Kind::Punct && Current().text == p; }
    void Expect(const char *p, const char *what) {
        if (!IsPunct(p)) Fail(Where(), std::string("expected '") + p + "' " + what + ", found '" + Current().text + "'");
        ++pos_;
    }
    bool Accept(const char *p) {
        if (!IsPunct(p)) return false;
        ++pos_;
        return true;
    }
    int64_t Number() { return Expression(tokens_, pos_, macros_).Or(); }
    std::string String(const char *what) {
        if (Current().kind != Kind::String) Fail(Where(), std::string("expected a string ") + what);
        return tokens_[pos_++].text;
    }
    bool AtEndOfStatementList() const { return IsWord("END") || IsPunct("}"); }
    void Begin() {
        if (IsWord("BEGIN") || IsPunct("{")) {
            ++pos_;
            return;
        }
        Fail(Where(), "expected BEGIN, found '" + Current().text + "'");
    }
    void End() {
        if (IsWord("END") || IsPunct("}")) {
            ++pos_;
            return;
        }
        Fail(Where(), "expected END, found '" + Current().text + "'");
    }
    // Memory flags that old scripts put after the resource type; they change nothing.
    void SkipMemoryFlags() {
        static const char *const flags[] = {"PRELOAD", "LOADONCALL", "FIXED", "MOVEABLE", "DISCARDABLE", "PURE", "IMPURE"};
        for (bool again = true; again;) {
            again = false;
            for (const char *flag : flags)
                if (IsWord(flag)) {
                    ++pos_;
                    again = true;
                }
        }
    }
    // The style list of a statement: terms joined by '|', each maybe NOT.
    uint32_t Styles(uint32_t start) {
        uint32_t style = start;
        do {
            bool negate = false;
            if (IsWord("NOT")) {
                negate = true;
                ++pos_;
            }
            uint32_t value = static_cast<uint32_t>(Expression(tokens_, pos_, macros_).Term());
            if (negate) style &= ~value;
            else style |= value;
        } while (Accept("|"));
        return style;
    }
    uint32_t Value(const char *expression) {
        std::vector<Token> tokens = Tokenize(expression, "rcgen");
        size_t pos = 0;
        return static_cast<uint32_t>(Expression(tokens, pos, macros_).Or());
    }

    void Statement() {
        const Token &head = Current();
        if (head.kind == Kind::Identifier && head.text == "STRINGTABLE") {
            ++pos_;
            StringTable();
            return;
        }
        if (head.kind == Kind::Identifier && head.text == "LANGUAGE") {
            ++pos_;
            Number();
            Expect(",", "between the language and sublanguage");
            Number();
            return;
        }
        if (head.kind != Kind::Identifier && head.kind != Kind::Number && head.kind != Kind::String)
            Fail(Where(), "expected a resource name, found '" + head.text + "'");
        // A name that is a macro or a number names the resource by number.
        std::string name = head.text;
        int id = 0;
        if (head.kind == Kind::Number) {
            id = static_cast<int>(head.value);
            ++pos_;
        } else if (head.kind == Kind::Identifier && macros_.Has(name)) {
            id = static_cast<int>(Number());
        } else {
            ++pos_;
        }
        if (IsWord("ICON")) {
            ++pos_;
            SkipMemoryFlags();
            std::string file = String("naming the icon file");
            if (id == 0) Fail(head.where, "icon '" + name + "' needs a number");
            if (!fs::exists(directory_ / file)) Fail(head.where, "icon file '" + file + "' does not exist");
            resources_.icons.push_back({id, file});
        } else if (IsWord("DIALOG")) {
            ++pos_;
            DialogStatement(name, id, head.where);
        } else if (IsWord("DIALOGEX")) {
            Fail(Where(), "DIALOGEX is not read by this generator; use DIALOG");
        } else {
            Fail(Where(), "unknown resource type '" + Current().text + "'");
        }
    }

    void StringTable() {
        SkipMemoryFlags();
        Begin();
        while (!AtEndOfStatementList()) {
            std::string at = Where();
            int64_t id = Number();
            Accept(",");
            std::string text = String("for the string entry");
            if (id < 0 || id > 0xFFFF) Fail(at, "string id " + std::to_string(id) + " is out of range");
            if (resources_.strings.count(static_cast<unsigned>(id)))
                Fail(at, "string id " + std::to_string(id) + " is given twice");
            resources_.strings[static_cast<unsigned>(id)] = text;
        }
        End();
    }

    void DialogStatement(const std::string &name, int id, const std::string &at) {
        for (const Dialog &other : resources_.dialogs)
            if ((id != 0 && other.resourceId == id) || (id == 0 && Upper(other.name) == Upper(name)))
                Fail(at, "dialog '" + name + "' is given twice");
        Dialog dialog;
        dialog.name = name;
        dialog.resourceId = id;
        SkipMemoryFlags();
        dialog.x = static_cast<int>(Number());
        Expect(",", "after the dialog's x");
        dialog.y = static_cast<int>(Number());
        Expect(",", "after the dialog's y");
        dialog.cx = static_cast<int>(Number());
        Expect(",", "after the dialog's width");
        dialog.cy = static_cast<int>(Number());
        // windres: the style starts as a popup with border and system menu;
        // STYLE replaces it (keeping what CAPTION and FONT added before it),
        // CAPTION adds WS_CAPTION and FONT adds DS_SETFONT.
        uint32_t defaultStyle = Value("WS_POPUP | WS_BORDER | WS_SYSMENU");
        uint32_t added = 0;
        bool styleGiven = false;
        uint32_t style = defaultStyle;
        for (;;) {
            if (IsWord("STYLE")) {
                ++pos_;
                style = Styles(added);
                styleGiven = true;
            } else if (IsWord("EXSTYLE")) {
                ++pos_;
                dialog.exStyle = static_cast<uint32_t>(Number());
            } else if (IsWord("CAPTION")) {
                ++pos_;
                dialog.caption = String("for the caption");
                added |= Value("WS_CAPTION");
                style |= Value("WS_CAPTION");
            } else if (IsWord("FONT")) {
                ++pos_;
                dialog.pointSize = static_cast<int>(Number());
                Expect(",", "between the font size and face");
                dialog.fontFace = String("naming the font face");
                added |= Value("DS_SETFONT");
                style |= Value("DS_SETFONT");
            } else if (IsWord("LANGUAGE")) {
                ++pos_;
                Number();
                Expect(",", "between the language and sublanguage");
                Number();
            } else if (IsWord("MENU") || IsWord("CLASS")) {
                Fail(Where(), "dialog " + Current().text + " is not read by this generator");
            } else {
                break;
            }
        }
        (void)styleGiven;
        dialog.style = style;
        Begin();
        while (!AtEndOfStatementList()) dialog.controls.push_back(ControlStatement());
        End();
        resources_.dialogs.push_back(std::move(dialog));
    }

    void Position(Control &control, bool withSize) {
        control.x = static_cast<int>(Number());
        Expect(",", "after the control's x");
        control.y = static_cast<int>(Number());
        if (withSize) {
            Expect(",", "after the control's y");
            control.cx = static_cast<int>(Number());
            Expect(",", "after the control's width");
            control.cy = static_cast<int>(Number());
        }
    }

    Control ControlStatement() {
        if (Current().kind != Kind::Identifier) Fail(Where(), "expected a control statement, found '" + Current().text + "'");
        std::string keyword = Current().text;
        std::string at = Where();
        ++pos_;
        Control control;
        if (keyword == "CONTROL") {
            // The text may be a number: an icon or bitmap static names its image so.
            if (Current().kind == Kind::String) {
                control.text = String("for the control's text");
            } else {
                control.iconId = static_cast<int>(Number());
            }
            Expect(",", "after the control's text");
            control.id = static_cast<int>(Number());
            Expect(",", "after the control's id");
            if (Current().kind == Kind::String || Current().kind == Kind::Identifier) {
                std::string name = Current().text;
                ++pos_;
                control.windowClass = name;
                for (const char *known : kKnownClasses)
                    if (Upper(name) == known) control.windowClass = known;
            } else {
                Fail(Where(), "expected the control's window class");
            }
            Expect(",", "after the control's class");
            control.style = Styles(Value("WS_CHILD | WS_VISIBLE"));
            Expect(",", "after the control's style");
            Position(control, true);
            if (Accept(",")) control.exStyle = static_cast<uint32_t>(Number());
            return control;
        }
        if (keyword == "ICON") {
            // ICON icon, id, x, y [, cx, cy [, style [, exstyle]]]
            control.windowClass = "STATIC";
            if (Current().kind == Kind::String) {
                control.text = String("naming the icon");
            } else {
                control.iconId = static_cast<int>(Number());
            }
            Expect(",", "after the icon");
            control.id = static_cast<int>(Number());
            Expect(",", "after the control's id");
            Position(control, false);
            control.style = Value("SS_ICON | WS_CHILD | WS_VISIBLE");
            if (Accept(",")) {
                // windres reads a size here but compiles 0 x 0 (the icon sizes
                // the control); the tables follow what the DLL gets.
                Number();
                Expect(",", "after the icon's width");
                Number();
                if (Accept(",")) {
                    control.style = Styles(Value("SS_ICON | WS_CHILD | WS_VISIBLE"));
                    if (Accept(",")) control.exStyle = static_cast<uint32_t>(Number());
                }
            }
            return control;
        }
        const ControlKind *kind = nullptr;
        for (const ControlKind &candidate : kControlKinds)
            if (keyword == candidate.keyword) kind = &candidate;
        if (kind == nullptr) Fail(at, "unknown control statement '" + keyword + "'");
        control.windowClass = kind->windowClass;
        if (kind->hasText) {
            control.text = String("for the control's text");
            Expect(",", "after the control's text");
        }
        control.id = static_cast<int>(Number());
        Expect(",", "after the control's id");
        Position(control, true);
        if (Accept(",")) {
            control.style = Styles(Value(kind->baseStyle) | Value("WS_CHILD | WS_VISIBLE"));
            if (Accept(",")) control.exStyle = static_cast<uint32_t>(Number());
        } else {
            control.style = Value(kind->defaultStyle) | Value("WS_CHILD | WS_VISIBLE");
        }
        return control;
    }

    std::vector<Token> tokens_;
    size_t pos_ = 0;
    const Macros &macros_;
    fs::path directory_;
    Resources resources_;
};

// The script after its own directives: #include of a header takes its
// #defines; #include <windows.h> stands for the constants header; other
// directive lines are refused so that nothing is silently dropped.
std::string Preprocess(const fs::path &rc, const fs::path &constants, Macros &macros) {
    std::istringstream lines(StripComments(ReadFile(rc)));
    std::string out, line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::string at = rc.filename().string() + ":" + std::to_string(number);
        size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line[first] == '#') {
            if (macros.Define(line, at)) {
            } else if (line.find("include") != std::string::npos) {
                size_t open = line.find_first_of("\"<");
                size_t close = open == std::string::npos ? open : line.find_first_of("\">", open + 1);
                if (close == std::string::npos) Fail(at, "cannot read this #include");
                std::string file = line.substr(open + 1, close - open - 1);
                if (line[open] == '<') {
                    if (Upper(file) != "WINDOWS.H" && Upper(file) != "WINRES.H" && Upper(file) != "WINUSER.H")
                        Fail(at, "unknown system header <" + file + ">");
                    macros.ReadHeader(constants);
                } else {
                    macros.ReadHeader(rc.parent_path() / file);
                }
            } else {
                Fail(at, "directive not read by this generator: " + line.substr(first));
            }
            line.clear();
        }
        out += line;
        out += '\n';
    }
    return out;
}

// ------------------------------------------------------------------ output

std::string Literal(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F || c == '?') {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08Xu", value);
    return text;
}

std::string Identifier(const std::string &name) {
    std::string out;
    for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return out;
}

std::string Generate(const Resources &resources, const std::string &source, const std::string &module) {
    std::ostringstream out;
    out << "// Generated by rcgen from " << source << ". Do not edit: change the resource script.\n";
    out << "#include \"platform/portable/resources/resources.h\"\n\nnamespace {\n\n";
    out << "using portable::DialogItemTemplate;\nusing portable::DialogTemplate;\nusing portable::StringResource;\n\n";
    for (size_t d = 0; d < resources.dialogs.size(); ++d) {
        const Dialog &dialog = resources.dialogs[d];
        out << "const DialogItemTemplate items" << d << "_" << Identifier(dialog.name) << "[] = {\n";
        for (const Control &c : dialog.controls) {
            out << "    {" << Literal(c.windowClass) << ", " << Literal(c.text) << ", " << c.iconId << ", " << c.id
                << ", " << Hex(c.style) << ", " << Hex(c.exStyle) << ", " << c.x << ", " << c.y << ", " << c.cx
                << ", " << c.cy << "},\n";
        }
        if (dialog.controls.empty()) out << "    {\"\", \"\", 0, 0, 0, 0, 0, 0, 0, 0},\n";
        out << "};\n";
    }
    out << "\nconst DialogTemplate dialogs[] = {\n";
    for (size_t d = 0; d < resources.dialogs.size(); ++d) {
        const Dialog &dialog = resources.dialogs[d];
        out << "    {" << Literal(dialog.name) << ", " << Hex(dialog.style) << ", " << Hex(dialog.exStyle) << ", "
            << dialog.x << ", " << dialog.y << ", " << dialog.cx << ", " << dialog.cy << ", "
            << Literal(dialog.caption) << ", " << dialog.pointSize << ", " << Literal(dialog.fontFace) << ", items"
            << d << "_" << Identifier(dialog.name) << ", " << dialog.controls.size() << ", " << dialog.resourceId
            << "},\n";
    }
    if (resources.dialogs.empty()) out << "    {\"\", 0, 0, 0, 0, 0, 0, \"\", 0, \"\", nullptr, 0, 0},\n";
    out << "};\nconst int dialogCount = " << resources.dialogs.size() << ";\n\n";
    out << "const StringResource strings[] = {\n";
    for (const auto &[id, text] : resources.strings) out << "    {" << id << ", " << Literal(text) << "},\n";
    if (resources.strings.empty()) out << "    {0, nullptr},\n";
    out << "};\nconst int stringCount = " << resources.strings.size() << ";\n\n";
    out << "const int icons[] = {";
    for (const auto &icon : resources.icons) out << icon.first << ", ";
    if (resources.icons.empty()) out << "0";
    out << "};\nconst int iconCount = " << resources.icons.size() << ";\n\n";
    out << "[[maybe_unused]] const bool registered = portable::RegisterModule(\n"
        << "    {" << Literal(module) << ", dialogs, dialogCount, strings, stringCount, icons, iconCount});\n\n";
    out << "}  // namespace\n";
    return out.str();
}

}  // namespace

int main(int argc, char **argv) {
    std::string rc, constants, module, output;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--rc") rc = argv[i + 1];
        else if (option == "--constants") constants = argv[i + 1];
        else if (option == "--module") module = argv[i + 1];
        else if (option == "--out") output = argv[i + 1];
        else Fail("arguments", "unknown option " + option);
    }
    if (rc.empty() || constants.empty() || module.empty() || output.empty())
        Fail("arguments", "usage: rcgen --rc FILE.rc --constants windows.h --module NAME.dll --out FILE.cpp");
    Macros macros;
    std::string text = Preprocess(rc, constants, macros);
    Parser parser(Tokenize(text, fs::path(rc).filename().string()), macros, fs::path(rc).parent_path());
    Resources resources = parser.Parse();
    std::string generated = Generate(resources, fs::path(rc).filename().string(), module);
    // Rewrite only on change, so an unchanged script rebuilds nothing.
    std::ifstream existing(output, std::ios::binary);
    if (existing) {
        std::ostringstream old;
        old << existing.rdbuf();
        if (old.str() == generated) return 0;
    }
    std::ofstream out(output, std::ios::binary);
    if (!out || !(out << generated)) Fail(output, "cannot write");
    return 0;
}
