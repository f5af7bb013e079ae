// Playing scripts: what each line means, checked against what the eyes
// see before the hands act, and the messages when it cannot be done.
#include "script/script.h"

namespace script {
namespace {

const char *KindName(Kind kind) {
    switch (kind) {
    case Kind::None: return "";
    case Kind::Button: return "button";
    case Kind::CheckBox: return "check box";
    case Kind::RadioButton: return "radio button";
    case Kind::GroupBox: return "group box";
    case Kind::Edit: return "edit";
    case Kind::ListBox: return "list box";
    case Kind::Static: return "static";
    case Kind::Icon: return "icon";
    }
    return "";
}

std::string WithArticle(const std::string &noun) {
    if (noun.empty()) return "nothing";
    return (std::string("aeiou").find(noun[0]) != std::string::npos ? "an " : "a ") + noun;
}

std::string Box(const Top &top) { return "message box " + Quote(top.caption) + " " + Quote(top.text); }

std::string LinesLeft(size_t count) {
    return "no dialog is open for this line (" + std::to_string(count) + " line" + (count == 1 ? "" : "s") +
           " left unused)";
}

}  // namespace

int SafeAnswer(const std::vector<int> &buttons) {
    for (int wanted : {kIdCancel, kIdNo, kIdAbort}) {
        for (int id : buttons)
            if (id == wanted) return id;
    }
    return kIdOk;
}

void Script::Fail(const Action *action, const Top *top, const std::string &why) {
    std::string message = name_;
    if (action) message += ":" + std::to_string(action->line) + ": " + action->source;
    if (top && top->what == Top::What::Dialog) message += ": in " + Quote(top->caption);
    errors_.push_back(message + ": " + why);
}

bool Script::Step(Hands &hands) {
    if (Failed() || next_ >= actions_.size()) return false;
    const Action &action = actions_[next_];
    Top top = hands.OnTop();
    if (top.what == Top::What::Nothing) {
        Fail(&action, nullptr, LinesLeft(actions_.size() - next_));
        return false;
    }
    ++next_;
    bool done = top.what == Top::What::Message ? Answer(action, hands, top) : Perform(action, hands, top);
    return done && !Failed();
}

bool Script::Answer(const Action &action, Hands &hands, const Top &top) {
    if (action.verb != "answer") {
        Fail(&action, nullptr, "the " + Box(top) + " is shown; answer it first");
        return false;
    }
    if (action.hasText && action.text != top.text) {
        Fail(&action, nullptr, "the " + Box(top) + " does not read " + Quote(action.text));
        return false;
    }
    bool offered = false;
    std::string names;
    for (int id : top.buttons) {
        offered = offered || id == action.number;
        names += (names.empty() ? "" : ", ") + ButtonWord(id);
    }
    if (!offered) {
        Fail(&action, nullptr,
             "the " + Box(top) + " has no button " + ButtonWord(action.number) + " (it has " + names + ")");
        return false;
    }
    boxes_.push_back({top.caption, top.text, action.number});
    std::string why = hands.Answer(action.number);
    if (!why.empty()) Fail(&action, nullptr, why);
    return why.empty();
}

bool Script::Perform(const Action &action, Hands &hands, const Top &top) {
    const std::string &verb = action.verb;
    auto fail = [&](const std::string &why) {
        Fail(&action, &top, why);
        return false;
    };
    auto done = [&](const std::string &why) { return why.empty() ? true : fail(why); };
    if (verb == "answer") return fail("no message box is shown");
    if (verb == "dialog") return top.caption == action.text ? true : fail("expected the dialog " + Quote(action.text));
    if (verb == "enter") return done(hands.Press(Key::Enter));
    if (verb == "escape") return done(hands.Press(Key::Escape));
    if (verb == "tab") return done(hands.Press(Key::Tab));
    if (verb == "close") return done(hands.CloseBox());

    const bool readLines = verb == "expect-line" || ((verb == "select" || verb == "dblclick") && !action.lineByIndex);
    const ControlView view = hands.Look(action.control, readLines);
    const std::string control = "control " + std::to_string(action.control);
    const std::string kind = KindName(view.kind);
    if (view.kind == Kind::None) return fail("the dialog has no " + control);
    auto notA = [&](const std::string &wanted) { return fail(control + " is " + WithArticle(kind) + ", not " + wanted); };
    const bool listOrEdit = view.kind == Kind::ListBox || view.kind == Kind::Edit;

    // The eyes.
    if (verb == "expect-text")
        return view.text == action.text ? true : fail(control + " reads " + Quote(view.text));
    if (verb == "expect-enabled" || verb == "expect-disabled") {
        if (view.enabled == (verb == "expect-enabled")) return true;
        return fail(control + " is " + (view.enabled ? "enabled" : "disabled"));
    }
    if (verb == "expect-checked" || verb == "expect-unchecked") {
        if (view.checked == (verb == "expect-checked")) return true;
        return fail(control + " is " + (view.checked ? "checked" : "not checked"));
    }
    if (verb == "expect-visible" || verb == "expect-hidden") {
        if (view.visible == (verb == "expect-visible")) return true;
        return fail(control + " is " + (view.visible ? "visible" : "hidden"));
    }
    if (verb == "expect-focus") return view.focused ? true : fail(control + " does not have the focus");
    if (verb == "expect-lines") {
        if (!listOrEdit) return notA("a list box or an edit");
        if (view.lineCount == action.number) return true;
        return fail(control + " has " + std::to_string(view.lineCount) + " lines");
    }
    if (verb == "expect-line") {
        if (!listOrEdit) return notA("a list box or an edit");
        if (action.number >= view.lineCount)
            return fail(control + " has only " + std::to_string(view.lineCount) + " lines");
        const std::string &line = view.lines[static_cast<size_t>(action.number)];
        if (line == action.text) return true;
        return fail("line #" + std::to_string(action.number) + " of " + control + " reads " + Quote(line));
    }
    if (verb == "expect-selected") {
        if (view.kind != Kind::ListBox) return notA("a list box");
        if (view.selected == action.indexes) return true;
        std::string list;
        for (int index : view.selected) list += " #" + std::to_string(index);
        return fail("the selected lines of " + control + " are" + (list.empty() ? std::string(" none") : list));
    }

    // The hands: only on what a user can reach.
    if (!view.visible) return fail(control + " is hidden");
    if (!view.enabled) return fail(control + " is disabled");
    if (verb == "type" || verb == "clear") {
        if (view.kind != Kind::Edit) return notA("an edit");
        if (view.readOnly) return fail(control + " is read-only");
        return done(verb == "type" ? hands.Type(action.control, action.text) : hands.Clear(action.control));
    }
    if (verb == "click") {
        if (view.kind != Kind::Button && view.kind != Kind::CheckBox && view.kind != Kind::RadioButton)
            return notA("a button");
        return done(hands.Click(action.control));
    }
    if (verb == "check" || verb == "uncheck") {
        if (view.kind != Kind::CheckBox) return notA("a check box");
        if (view.checked == (verb == "check")) return true;
        return done(hands.Click(action.control));
    }
    if (verb == "select" || verb == "dblclick") {
        if (view.kind != Kind::ListBox) return notA("a list box");
        int index = action.number;
        if (!action.lineByIndex) {
            index = -1;
            for (size_t i = 0; i < view.lines.size() && index < 0; ++i)
                if (view.lines[i] == action.text) index = static_cast<int>(i);
            if (index < 0) return fail(control + " has no line " + Quote(action.text));
        }
        if (index >= view.lineCount)
            return fail(control + " has " + std::to_string(view.lineCount) + " lines, no line #" +
                        std::to_string(index));
        return done(hands.ClickLine(action.control, index, verb == "dblclick"));
    }
    if (verb == "focus") return done(hands.Focus(action.control));
    return fail("cannot perform this action");
}

void Script::RanOut(Hands &hands) {
    if (Failed()) return;
    Top top = hands.OnTop();
    if (top.what == Top::What::Dialog)
        Fail(nullptr, &top, "the script ended while the dialog is still open");
    else if (top.what == Top::What::Message)
        Fail(nullptr, nullptr, "the script ended while the " + Box(top) + " is shown");
}

bool Script::DismissMessageBox(Hands &hands) {
    Top top = hands.OnTop();
    if (top.what != Top::What::Message) return false;
    int answer = SafeAnswer(top.buttons);
    boxes_.push_back({top.caption, top.text, answer});
    hands.Answer(answer);
    return true;
}

bool Script::Finish() {
    if (!Failed() && next_ < actions_.size()) Fail(&actions_[next_], nullptr, LinesLeft(actions_.size() - next_));
    return !Failed();
}

std::string Script::Report() const {
    std::string report;
    for (const auto &error : errors_) report += error + "\n";
    return report;
}

}  // namespace script
