// The script reader must read exactly what the portable scripted front end
// reads: the same file drives both runners.
#include "script.h"

#include <gtest/gtest.h>

#include "res/resource.h"

namespace e2e {
namespace {

std::vector<ScriptAction> Read(const std::string &text) {
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_TRUE(ParseScript(text, "t", 1, actions, error)) << error;
    return actions;
}

std::string ErrorOf(const std::string &text, int firstLine = 1) {
    std::vector<ScriptAction> actions;
    std::string error;
    EXPECT_FALSE(ParseScript(text, "t", firstLine, actions, error));
    return error;
}

TEST(ScriptReader, ReadsControlsByNumberAndByName) {
    auto a = Read("click 1047\nclick IDC_FAX_PRINT\nclick IDOK\nclick IDCANCEL\n");
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0].control, 1047);
    EXPECT_EQ(a[1].control, IDC_FAX_PRINT);
    EXPECT_EQ(a[2].control, 1);
    EXPECT_EQ(a[3].control, 2);
}

TEST(ScriptReader, DecodesEveryEscapeAndKeepsBlanksInQuotes) {
    auto a = Read("type 1042 \"a \\\"b\\\" \\\\ \\t\\r\\n\\x41\\xff  \"");
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].text, std::string("a \"b\" \\ \t\r\nA\xff  "));
}

TEST(ScriptReader, SkipsCommentsAndBlankLinesButCountsThem) {
    auto a = Read("# a comment\n\n   \n  dialog \"Fax Document\"  \n\t# indented comment\nescape\n");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].line, 4);
    EXPECT_EQ(a[0].text, "Fax Document");
    EXPECT_EQ(a[1].line, 6);
}

TEST(ScriptReader, NumbersLinesFromWhereTheScriptStarts) {
    std::string error = ErrorOf("escape\nfrobnicate 3\n", 20);
    EXPECT_NE(error.find("t:21:"), std::string::npos) << error;
    EXPECT_NE(error.find("unknown action frobnicate"), std::string::npos) << error;
}

TEST(ScriptReader, ReadsListLinesByIndexAndByText) {
    auto a = Read("select 1000 #12\ndblclick IDC_BOOK_LIST \"Smith\\tJohn\"\n");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_TRUE(a[0].lineByIndex);
    EXPECT_EQ(a[0].number, 12);
    EXPECT_FALSE(a[1].lineByIndex);
    EXPECT_EQ(a[1].text, "Smith\tJohn");
}

TEST(ScriptReader, ReadsAnswersWithAndWithoutText) {
    auto a = Read("answer yes\nanswer ok \"Too many\"\n");
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].number, 6);  // IDYES
    EXPECT_FALSE(a[0].hasText);
    EXPECT_EQ(a[1].number, 1);
    EXPECT_EQ(a[1].text, "Too many");
}

TEST(ScriptReader, ReadsExpectations) {
    auto a = Read("expect-selected 1000 #0 #3\nexpect-selected 1000 none\nexpect-lines 1000 7\n"
                  "expect-line 1019 #2 \"x\"\n");
    ASSERT_EQ(a.size(), 4u);
    EXPECT_EQ(a[0].indexes, (std::vector<int>{0, 3}));
    EXPECT_TRUE(a[1].indexes.empty());
    EXPECT_EQ(a[2].number, 7);
    EXPECT_EQ(a[3].number, 2);
    EXPECT_EQ(a[3].text, "x");
}

TEST(ScriptReader, RefusesLinesItCannotRead) {
    EXPECT_NE(ErrorOf("click IDC_NO_SUCH_THING").find("unknown control IDC_NO_SUCH_THING"), std::string::npos);
    EXPECT_NE(ErrorOf("type 1042 \"open").find("closing quote"), std::string::npos);
    EXPECT_NE(ErrorOf("type 1042 \"\\q\"").find("unknown escape"), std::string::npos);
    EXPECT_NE(ErrorOf("type 1042 \"\\x4\"").find("two hex digits"), std::string::npos);
    EXPECT_NE(ErrorOf("type 1042").find("double quotes"), std::string::npos);
    EXPECT_NE(ErrorOf("click").find("control id is missing"), std::string::npos);
    EXPECT_NE(ErrorOf("select 1000 12").find("list line"), std::string::npos);
    EXPECT_NE(ErrorOf("answer maybe").find("unknown button"), std::string::npos);
    EXPECT_NE(ErrorOf("escape now").find("unexpected words"), std::string::npos);
    EXPECT_NE(ErrorOf("expect-selected 1000").find("#i"), std::string::npos);
    EXPECT_NE(ErrorOf("expect-selected 1000 none #1").find("none"), std::string::npos);
    EXPECT_NE(ErrorOf("type 1042 \"a\"b").find("after its closing quote"), std::string::npos);
}

}  // namespace
}  // namespace e2e
