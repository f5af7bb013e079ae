// The script engine alone: what it reads, what each line asks of the hands
// and eyes, and its messages. The hands here are a stand-in that shows a
// fixed dialog and notes what it is asked to do; both real pairs (portable
// layer, USER32) are tested with their runners.
#include "script/script.h"

#include "res/resource.h"
#include "res/resource_names.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using script::ControlView;
using script::Kind;
using script::Top;

struct StandInHands : script::Hands {
    Top top;
    std::map<int, ControlView> controls;
    std::vector<std::string> done;  // what the hands were asked to do

    StandInHands() {
        top.what = Top::What::Dialog;
        top.caption = "Edit Number";
        Add(IDC_NUMBER_NUMBER, Kind::Edit).text = "555";
        Add(script::kIdOk, Kind::Button);
        Add(IDC_PERSON_NUMBERS, Kind::ListBox).lines = {"home\t1", "work\t2", "home\t1"};
        Add(IDC_FAX_USE_COVER, Kind::CheckBox).checked = true;
    }
    ControlView &Add(int id, Kind kind) {
        ControlView &view = controls[id];
        view.kind = kind;
        view.enabled = view.visible = true;
        return view;
    }
    void ShowBox(const std::string &text, std::vector<int> buttons) {
        top = Top{Top::What::Message, "Question", text, std::move(buttons)};
    }

    Top OnTop() override { return top; }
    // Hands a look without the lines' texts unless asked for, as the real hands do.
    ControlView Look(int id, bool readLines) override {
        if (!controls.count(id)) return ControlView{};
        ControlView view = controls[id];
        view.lineCount = static_cast<int>(view.lines.size());
        if (!readLines) view.lines.clear();
        return view;
    }
    std::string Note(const std::string &what) {
        done.push_back(what);
        return {};
    }
    std::string Type(int id, const std::string &text) override { return Note("type " + std::to_string(id) + " " + text); }
    std::string Clear(int id) override { return Note("clear " + std::to_string(id)); }
    std::string Click(int id) override { return Note("click " + std::to_string(id)); }
    std::string ClickLine(int id, int index, bool twice) override {
        return Note((twice ? "dblclick " : "select ") + std::to_string(id) + " #" + std::to_string(index));
    }
    std::string Focus(int id) override { return Note("focus " + std::to_string(id)); }
    std::string Press(script::Key key) override { return Note("key " + std::to_string(static_cast<int>(key))); }
    std::string CloseBox() override { return Note("close"); }
    std::string Answer(int button) override {
        top = Top{Top::What::Dialog, "Edit Number", "", {}};
        return Note("answer " + std::to_string(button));
    }
};

script::Script Read(const std::string &text) {
    script::Script script(res::ControlIdByName);
    EXPECT_TRUE(script.Parse(text, "t.script")) << script.Report();
    return script;
}

std::string ParseError(const std::string &text) {
    script::Script script(res::ControlIdByName);
    EXPECT_FALSE(script.Parse(text, "t.script"));
    EXPECT_EQ(script.RemainingActions(), 0u);
    return script.Report();
}

// Plays every line on `hands`; the report, empty when all went well.
std::string Play(const std::string &text, StandInHands &hands) {
    script::Script script = Read(text);
    while (script.Step(hands)) {
    }
    return script.Report();
}

TEST(ScriptReading, CommentsBlankLinesIndentationAndLineNumbers) {
    script::Script script(res::ControlIdByName);
    EXPECT_FALSE(script.Parse("# a comment\n\n   \t\n  click 1  \r\n\t# indented\nescape\nfrobnicate\n", "t", 20));
    EXPECT_EQ(script.Report(), "t:26: frobnicate: unknown action \"frobnicate\"\n");
    EXPECT_EQ(Read("# a comment\n\n   \t\n  click 1  \r\n\t# indented comment\nescape\n").RemainingActions(), 2u);
}

TEST(ScriptReading, ControlsByNumberOrByTheResourceHeadersNames) {
    script::Script script(res::ControlIdByName);
    int id = 0;
    EXPECT_TRUE(script.ControlId("IDC_FAX_NEW_NUMBER", id));
    EXPECT_EQ(id, IDC_FAX_NEW_NUMBER);
    EXPECT_TRUE(script.ControlId("IDCANCEL", id));
    EXPECT_EQ(id, 2);
    EXPECT_FALSE(script.ControlId("idc_fax_new_number", id));
    EXPECT_FALSE(script.ControlId("IDS_ERROR", id)) << "a string is no control";
    EXPECT_FALSE(script::Script().ControlId("IDC_FAX_PRINT", id)) << "no names given";
    EXPECT_NE(ParseError("\n\nclick IDC_NOTHING\n").find("t.script:3: click IDC_NOTHING: unknown control \"IDC_NOTHING\""),
              std::string::npos);
}

TEST(ScriptReading, EveryBadLineIsReportedAndNothingRuns) {
    std::string report = ParseError("click\nclick 1 2\nenter now\ntype 1 text\nclick 1\n");
    EXPECT_EQ(report,
              "t.script:1: click: click takes 1 argument, not 0\n"
              "t.script:2: click 1 2: click takes 1 argument, not 2\n"
              "t.script:3: enter now: enter takes 0 arguments, not 1\n"
              "t.script:4: type 1 text: \"text\" must be a text in double quotes\n");
}

TEST(ScriptReading, ArgumentShapes) {
    EXPECT_NE(ParseError("select 1000 3\n").find("#N or a text"), std::string::npos);
    EXPECT_NE(ParseError("select 1000 #x\n").find("#N or a text"), std::string::npos);
    EXPECT_NE(ParseError("expect-lines 1000 many\n").find("not a number"), std::string::npos);
    EXPECT_NE(ParseError("expect-line 1000 2 \"a\"\n").find("#N"), std::string::npos);
    EXPECT_NE(ParseError("expect-selected 1000 #3 #1\n").find("ascending"), std::string::npos);
    EXPECT_NE(ParseError("expect-selected 1000 #1 #1\n").find("ascending"), std::string::npos);
    EXPECT_NE(ParseError("expect-selected 1000\n").find("#N lines or none"), std::string::npos);
    EXPECT_NE(ParseError("expect-selected 1000 none #1\n").find("not \"none\""), std::string::npos);
    EXPECT_NE(ParseError("answer maybe\n").find("unknown button"), std::string::npos);
    EXPECT_NE(ParseError("dialog Fax\n").find("double quotes"), std::string::npos);
    EXPECT_NE(ParseError("click \"1\"\n").find("not a text"), std::string::npos);
    EXPECT_NE(ParseError("\"click\" 1\n").find("unknown action"), std::string::npos);
    EXPECT_EQ(Read("select 1000 #0\nselect 1000 \"[Team]\"\nexpect-selected 1000 none\n"
                   "expect-selected 1000 #0 #4\nanswer yes\nanswer no \"Sure?\"\nexpect-line 1019 #1 \"b\"\n")
                  .RemainingActions(),
              7u);
}

TEST(ScriptReading, QuotedTextsAndTheirEscapes) {
    EXPECT_NE(ParseError("type 1 \"open\n").find("not closed"), std::string::npos);
    EXPECT_NE(ParseError("type 1 \"a\\q\"\n").find("unknown escape \\q"), std::string::npos);
    EXPECT_NE(ParseError("type 1 \"\\x4\"\n").find("two hex digits"), std::string::npos);
    EXPECT_NE(ParseError("type 1 \"a\"b\n").find("followed by a blank"), std::string::npos);
    StandInHands hands;
    EXPECT_EQ(Play("type 1012 \"a \\\"b\\\" \\\\ \\t\\r\\n\\x41\\xff  \"\ntype 1012 \"\"\n", hands), "");
    EXPECT_EQ(hands.done, (std::vector<std::string>{"type 1012 a \"b\" \\ \t\r\nA\xff  ", "type 1012 "}));
    EXPECT_EQ(script::Quote("a\"\\\t\x01\xe9"), "\"a\\\"\\\\\\t\\x01\\xE9\"");
}

TEST(ScriptReading, AMissingFileIsAClearError) {
    script::Script script;
    EXPECT_FALSE(script.LoadFile("/nonexistent/dir/x.script"));
    EXPECT_EQ(script.Report(), "/nonexistent/dir/x.script: cannot read the script\n");
}

TEST(ScriptPlaying, TheEyesCheckAndSayWhatTheySaw) {
    StandInHands hands;
    EXPECT_EQ(Play("dialog \"Edit Number\"\nexpect-text IDC_NUMBER_NUMBER \"555\"\nexpect-enabled IDOK\n"
                   "expect-checked IDC_FAX_USE_COVER\nexpect-visible IDOK\nexpect-lines IDC_PERSON_NUMBERS 3\n"
                   "expect-line IDC_PERSON_NUMBERS #1 \"work\\t2\"\nexpect-selected IDC_PERSON_NUMBERS none\n",
                   hands),
              "");
    struct Case {
        const char *line;
        const char *message;
    };
    const Case cases[] = {
        {"dialog \"Fax Document\"", "expected the dialog \"Fax Document\""},
        {"expect-text 1012 \"13\"", "control 1012 reads \"555\""},
        {"expect-disabled IDOK", "control 1 is enabled"},
        {"expect-unchecked 1037", "control 1037 is checked"},
        {"expect-hidden IDOK", "control 1 is visible"},
        {"expect-focus IDOK", "control 1 does not have the focus"},
        {"expect-lines 1028 2", "control 1028 has 3 lines"},
        {"expect-lines IDOK 1", "control 1 is a button, not a list box or an edit"},
        {"expect-line 1028 #3 \"x\"", "control 1028 has only 3 lines"},
        {"expect-line 1028 #0 \"x\"", "line #0 of control 1028 reads \"home\\t1\""},
        {"expect-selected 1028 #1", "the selected lines of control 1028 are none"},
        {"expect-selected 1012 none", "control 1012 is an edit, not a list box"},
        {"expect-text 4711 \"\"", "the dialog has no control 4711"},
    };
    for (const Case &c : cases) {
        StandInHands failing;
        EXPECT_EQ(Play(std::string("escape\n") + c.line + "\nescape\n", failing),
                  std::string("t.script:2: ") + c.line + ": in \"Edit Number\": " + c.message + "\n");
        EXPECT_EQ(failing.done.size(), 1u) << "the run stops at the failing line";
    }
}

TEST(ScriptPlaying, TheHandsActOnlyOnWhatTheUserCanReachAndOfTheRightKind) {
    StandInHands hands;
    EXPECT_EQ(Play("check IDC_FAX_USE_COVER\nuncheck IDC_FAX_USE_COVER\nselect 1028 \"home\\t1\"\n"
                   "dblclick 1028 #2\nclear 1012\nfocus 1028\nclose\nenter\ntab\n",
                   hands),
              "");
    EXPECT_EQ(hands.done, (std::vector<std::string>{"click 1037", "select 1028 #0", "dblclick 1028 #2", "clear 1012",
                                                    "focus 1028", "close", "key 0", "key 2"}));
    struct Case {
        const char *line;
        const char *message;
    };
    const Case cases[] = {
        {"check IDOK", "control 1 is a button, not a check box"},
        {"click 1028", "control 1028 is a list box, not a button"},
        {"type 1028 \"x\"", "control 1028 is a list box, not an edit"},
        {"select 1012 #0", "control 1012 is an edit, not a list box"},
        {"select 1028 #3", "control 1028 has 3 lines, no line #3"},
        {"select 1028 \"away\"", "control 1028 has no line \"away\""},
        {"click 1999", "the dialog has no control 1999"},
        {"answer ok", "no message box is shown"},
    };
    for (const Case &c : cases) {
        StandInHands failing;
        EXPECT_EQ(Play(c.line, failing), std::string("t.script:1: ") + c.line + ": in \"Edit Number\": " + c.message + "\n");
        EXPECT_TRUE(failing.done.empty());
    }
    StandInHands unreachable;
    unreachable.controls[script::kIdOk].enabled = false;
    unreachable.controls[IDC_NUMBER_NUMBER].visible = false;
    unreachable.Add(IDC_NUMBER_DETAILS, Kind::Edit).readOnly = true;
    EXPECT_EQ(Play("click IDOK", unreachable), "t.script:1: click IDOK: in \"Edit Number\": control 1 is disabled\n");
    EXPECT_EQ(Play("type 1012 \"1\"", unreachable),
              "t.script:1: type 1012 \"1\": in \"Edit Number\": control 1012 is hidden\n");
    EXPECT_EQ(Play("type 1003 \"1\"", unreachable),
              "t.script:1: type 1003 \"1\": in \"Edit Number\": control 1003 is read-only\n");
    EXPECT_TRUE(unreachable.done.empty());
}

TEST(ScriptPlaying, AMessageBoxTakesTheNextLineAndIsKept) {
    StandInHands hands;
    hands.ShowBox("Keep it?", {script::kIdYes, script::kIdNo});
    script::Script script = Read("answer yes \"Keep it?\"\nclick IDOK\n");
    EXPECT_TRUE(script.Step(hands));
    EXPECT_TRUE(script.Step(hands));
    EXPECT_TRUE(script.Finish()) << script.Report();
    ASSERT_EQ(script.MessageBoxes().size(), 1u);
    EXPECT_EQ(script.MessageBoxes()[0].caption, "Question");
    EXPECT_EQ(script.MessageBoxes()[0].answer, script::kIdYes);
    EXPECT_EQ(hands.done, (std::vector<std::string>{"answer 6", "click 1"}));

    const char *const mistakes[][2] = {
        {"click IDOK", "t.script:1: click IDOK: the message box \"Question\" \"Keep it?\" is shown; answer it first"},
        {"answer ok", "t.script:1: answer ok: the message box \"Question\" \"Keep it?\" has no button ok (it has yes, no)"},
        {"answer yes \"Keep?\"",
         "t.script:1: answer yes \"Keep?\": the message box \"Question\" \"Keep it?\" does not read \"Keep?\""},
    };
    for (const auto &mistake : mistakes) {
        StandInHands failing;
        failing.ShowBox("Keep it?", {script::kIdYes, script::kIdNo});
        script::Script wrong = Read(mistake[0]);
        EXPECT_FALSE(wrong.Step(failing));
        EXPECT_EQ(wrong.Report(), std::string(mistake[1]) + "\n");
        // The user who wants out says No, and the box is kept all the same.
        EXPECT_TRUE(wrong.DismissMessageBox(failing));
        EXPECT_EQ(failing.done, std::vector<std::string>{"answer 7"});
        ASSERT_EQ(wrong.MessageBoxes().size(), 1u);
        EXPECT_EQ(wrong.MessageBoxes()[0].answer, script::kIdNo);
        EXPECT_FALSE(wrong.DismissMessageBox(failing)) << "no box is left";
    }
    EXPECT_EQ(script::SafeAnswer({script::kIdAbort, script::kIdRetry, script::kIdIgnore}), script::kIdAbort);
    EXPECT_EQ(script::SafeAnswer({script::kIdYes, script::kIdNo, script::kIdCancel}), script::kIdCancel);
    EXPECT_EQ(script::SafeAnswer({script::kIdOk}), script::kIdOk);
}

TEST(ScriptPlaying, RunningOutOfLinesAndLinesLeftOver) {
    StandInHands hands;
    script::Script shortScript = Read("escape\n");
    EXPECT_TRUE(shortScript.Step(hands));
    EXPECT_FALSE(shortScript.Step(hands));
    EXPECT_FALSE(shortScript.Failed());
    shortScript.RanOut(hands);
    EXPECT_EQ(shortScript.Report(), "t.script: in \"Edit Number\": the script ended while the dialog is still open\n");

    hands.ShowBox("Sure?", {script::kIdOk});
    script::Script boxLeft = Read("");
    boxLeft.RanOut(hands);
    EXPECT_EQ(boxLeft.Report(), "t.script: the script ended while the message box \"Question\" \"Sure?\" is shown\n");

    StandInHands nothing;
    nothing.top = Top{};
    script::Script leftover = Read("click IDOK\nescape\n");
    EXPECT_FALSE(leftover.Step(nothing));
    EXPECT_EQ(leftover.Report(), "t.script:1: click IDOK: no dialog is open for this line (2 lines left unused)\n");
    script::Script finished = Read("escape\n");
    EXPECT_FALSE(finished.Finish());
    EXPECT_EQ(finished.Report(), "t.script:1: escape: no dialog is open for this line (1 line left unused)\n");
    nothing.top = Top{};
    finished.RanOut(nothing);
    EXPECT_EQ(finished.Errors().size(), 1u) << "after a failure nothing more is said";
}

}  // namespace
