// Reading scripts: what is accepted, and the messages for what is not.
#include "platform/portable/script_front_end.h"

#include "res/resource.h"

#include <gtest/gtest.h>

namespace {

using portable::ScriptFrontEnd;

std::string ParseError(const std::string &text) {
    ScriptFrontEnd script;
    EXPECT_FALSE(script.Parse(text, "t.script"));
    return script.Report();
}

TEST(ScriptParse, CommentsBlankLinesAndIndentationAreSkipped) {
    ScriptFrontEnd script;
    ASSERT_TRUE(script.Parse("# a comment\n\n   \t\n  click 1  \r\n\t# indented comment\nescape\n"))
        << script.Report();
    EXPECT_EQ(script.RemainingActions(), 2u);
}

TEST(ScriptParse, ControlsByNumberOrResourceName) {
    int id = 0;
    EXPECT_TRUE(ScriptFrontEnd::ControlIdByName("IDC_FAX_NEW_NUMBER", id));
    EXPECT_EQ(id, IDC_FAX_NEW_NUMBER);
    EXPECT_TRUE(ScriptFrontEnd::ControlIdByName("IDCANCEL", id));
    EXPECT_EQ(id, IDCANCEL);
    EXPECT_FALSE(ScriptFrontEnd::ControlIdByName("idc_fax_new_number", id));
    ScriptFrontEnd script;
    EXPECT_TRUE(script.Parse("click 1043\nclick IDC_FAX_PRINT\nexpect-lines IDC_BOOK_LIST 0\n"))
        << script.Report();
}

TEST(ScriptParse, UnknownActionsAndControlsNameTheLine) {
    std::string report = ParseError("click 1\nfrobnicate 2\n");
    EXPECT_NE(report.find("t.script:2: frobnicate 2: unknown action \"frobnicate\""), std::string::npos)
        << report;
    report = ParseError("\n\nclick IDC_NOTHING\n");
    EXPECT_NE(report.find("t.script:3:"), std::string::npos) << report;
    EXPECT_NE(report.find("unknown control \"IDC_NOTHING\""), std::string::npos) << report;
}

TEST(ScriptParse, EveryBadLineIsReportedAndNothingRuns) {
    ScriptFrontEnd script;
    EXPECT_FALSE(script.Parse("click\nclick 1 2\nenter now\ntype 1 text\nclick 1\n"));
    EXPECT_EQ(script.Errors().size(), 4u) << script.Report();
    EXPECT_EQ(script.RemainingActions(), 0u);
}

TEST(ScriptParse, ArgumentShapes) {
    EXPECT_NE(ParseError("select 1000 3\n").find("#N or a text"), std::string::npos);
    EXPECT_NE(ParseError("select 1000 #x\n").find("#N or a text"), std::string::npos);
    EXPECT_NE(ParseError("expect-lines 1000 many\n").find("not a number"), std::string::npos);
    EXPECT_NE(ParseError("expect-line 1000 2 \"a\"\n").find("#N"), std::string::npos);
    EXPECT_NE(ParseError("expect-selected 1000 #3 #1\n").find("ascending"), std::string::npos);
    EXPECT_NE(ParseError("expect-selected 1000\n").find("#N lines or none"), std::string::npos);
    EXPECT_NE(ParseError("answer maybe\n").find("unknown button"), std::string::npos);
    EXPECT_NE(ParseError("dialog Fax\n").find("double quotes"), std::string::npos);
    EXPECT_NE(ParseError("click \"1\"\n").find("not a text"), std::string::npos);
    ScriptFrontEnd script;
    EXPECT_TRUE(script.Parse("select 1000 #0\nselect 1000 \"[Team]\"\nexpect-selected 1000 none\n"
                             "expect-selected 1000 #0 #4\nanswer yes\nanswer no \"Sure?\"\n"
                             "expect-line 1019 #1 \"b\"\n"))
        << script.Report();
}

TEST(ScriptParse, QuotedTextsAndTheirEscapes) {
    EXPECT_NE(ParseError("type 1 \"open\n").find("not closed"), std::string::npos);
    EXPECT_NE(ParseError("type 1 \"a\\q\"\n").find("unknown escape \\q"), std::string::npos);
    EXPECT_NE(ParseError("type 1 \"\\x4\"\n").find("two hex digits"), std::string::npos);
    EXPECT_NE(ParseError("type 1 \"a\"b\n").find("followed by a blank"), std::string::npos);
    ScriptFrontEnd script;
    EXPECT_TRUE(script.Parse("type 1 \"tab\\there \\\"q\\\" \\\\ \\r\\n \\x41\\x7e\"\n")) << script.Report();
    EXPECT_TRUE(script.Parse("type 1 \"\"\n")) << script.Report();
}

TEST(ScriptParse, MissingFileIsAClearError) {
    ScriptFrontEnd script;
    EXPECT_FALSE(script.LoadFile("/nonexistent/dir/x.script"));
    EXPECT_NE(script.Report().find("/nonexistent/dir/x.script: cannot read the script"),
              std::string::npos);
    EXPECT_TRUE(script.Failed());
}

}  // namespace
