// The scenario description both runners read, and the comparison that
// decides whether a run left what was expected.
#include "support/scenario/scenario.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

namespace scenario {
namespace {

TEST(ScenarioFile, ReadsEverySettingAndKeepsTheScriptLineNumbers) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario("# about\ncall CreatePSOrvixFaxInfo\nclock 2026-12-07 09:05:03\nbook b.adb\n"
                              "settings s.ini\nexporter system\nexporter-book e.adb\nrecord preset\n"
                              "number edit \"555 12\" \"office, 2nd\"\ncall OrvixFaxBookCall\nuser-book u.adb\n"
                              "user-settings u.ini\nsystem-directory unwritable\nscript\n# first\nclick IDOK\n",
                              "demo", s, error))
        << error;
    EXPECT_EQ(s.call, "CreatePSOrvixFaxInfo");
    EXPECT_EQ(s.calls, (std::vector<std::string>{"CreatePSOrvixFaxInfo", "OrvixFaxBookCall"}));
    EXPECT_EQ(s.userBook, "u.adb");
    EXPECT_EQ(s.userSettings, "u.ini");
    EXPECT_TRUE(s.systemDirectoryUnwritable);
    EXPECT_TRUE(s.hasClock);
    EXPECT_EQ(s.clock.year, 2026);
    EXPECT_EQ(s.clock.minute, 5);
    EXPECT_EQ(s.clock.second, 3);
    EXPECT_EQ(s.book, "b.adb");
    EXPECT_EQ(s.settings, "s.ini");
    EXPECT_EQ(s.exporter, "system");
    EXPECT_EQ(s.exporterBook, "e.adb");
    EXPECT_EQ(s.record, "preset");
    EXPECT_EQ(s.numberMode, "edit");
    EXPECT_EQ(s.number, "555 12");
    EXPECT_EQ(s.numberDetails, "office, 2nd");
    EXPECT_EQ(s.scriptFirstLine, 15);
    EXPECT_EQ(s.script, "# first\nclick IDOK\n");
}

TEST(ScenarioFile, RefusesWhatItCannotRun) {
    Scenario s;
    std::string error;
    EXPECT_FALSE(ParseScenario("call Nothing\nscript\n", "x", s, error));
    EXPECT_NE(error.find("x:1: unknown export"), std::string::npos) << error;
    EXPECT_FALSE(ParseScenario("call PSOrvixFaxCall\nclock 2026-13-01 00:00:00\nscript\n", "x", s, error));
    EXPECT_NE(error.find("x:2:"), std::string::npos) << error;
    EXPECT_FALSE(ParseScenario("call PSOrvixFaxCall\nbook ../../etc/passwd\nscript\n", "x", s, error));
    EXPECT_NE(error.find("not a path"), std::string::npos) << error;
    EXPECT_FALSE(ParseScenario("call PSOrvixFaxCall\nexporter somewhere\nscript\n", "x", s, error));
    EXPECT_FALSE(ParseScenario("call PSOrvixFaxCall\nsystem-directory gone\nscript\n", "x", s, error));
    EXPECT_FALSE(ParseScenario("call PSOrvixFaxCall\n", "x", s, error));
    EXPECT_NE(error.find("no script line"), std::string::npos) << error;
    EXPECT_FALSE(ParseScenario("script\n", "x", s, error));
    EXPECT_NE(error.find("no call line"), std::string::npos) << error;
}

class OutcomeComparison : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = (std::filesystem::temp_directory_path() / "orvix-outcome-test").string();
        std::filesystem::remove_all(dir_);
        WriteOutcome({{"result.txt", "returned: 1\n"}, {"ticket.bin", std::string("a\0b", 3)}}, dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string dir_;
};

TEST_F(OutcomeComparison, AgreesOnlyWithTheSameFilesAndBytes) {
    EXPECT_TRUE(CompareOutcome({{"result.txt", "returned: 1\n"}, {"ticket.bin", std::string("a\0b", 3)}}, dir_).empty());
    auto d = CompareOutcome({{"result.txt", "returned: 1\n"}, {"ticket.bin", std::string("a\0c", 3)}}, dir_);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NE(d[0].find("ticket.bin: first difference at byte 2"), std::string::npos) << d[0];
    d = CompareOutcome({{"result.txt", "returned: 1\n"}}, dir_);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NE(d[0].find("run left none"), std::string::npos);
    d = CompareOutcome({{"result.txt", "returned: 1\n"}, {"ticket.bin", std::string("a\0b", 3)}, {"x", "y"}}, dir_);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NE(d[0].find("none is expected"), std::string::npos);
}

TEST_F(OutcomeComparison, WithoutAnExpectedDirectoryNothingPasses) {
    auto d = CompareOutcome({}, dir_ + "/missing");
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NE(d[0].find("no expected outcome"), std::string::npos);
}

TEST(ResultText, ShowsBytesAndFieldsAsTheyAre) {
    EXPECT_EQ(QuoteBytes("a\"\\\t\xe9", 5), "\"a\\\"\\\\\\x09\\xE9\"");
    char field[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(QuoteField(field, 4), "\"abcd\" (no terminator)");
    field[2] = 0;
    EXPECT_EQ(QuoteField(field, 4), "\"ab\"");
}

TEST(ResultText, DescribesARecordWithItsUnusedBytesAndSlots) {
    static FaxInfo info;
    static RecipientEntry slots[FAX_MAX_RECIPIENTS];
    std::memset(&info, 0, sizeof info);
    info.status = 1;
    info.unused6[0] = 0xAB;
    info.unused6[1] = 0xCD;
    info.recipients = slots;
    info.recipientCount = 1;
    std::strcpy(slots[0].name, "Ann Lee");
    std::strcpy(slots[0].faxNumber, "5551234");
    std::strcpy(info.noteLines[9], "tenth");
    std::string text = DescribeFaxInfo(&info);
    EXPECT_NE(text.find("status: 1\n"), std::string::npos);
    EXPECT_NE(text.find("bytes6and7: AB CD\n"), std::string::npos);
    EXPECT_NE(text.find("slot 0: \"Ann Lee\" \"5551234\" \"\"\n"), std::string::npos);
    EXPECT_EQ(text.find("slot 1:"), std::string::npos);
    EXPECT_NE(text.find("note 9: \"tenth\"\n"), std::string::npos);
    EXPECT_EQ(DescribeFaxInfo(nullptr), "record: none\n");
}

}  // namespace
}  // namespace scenario
