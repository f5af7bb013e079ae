// What every verb of orvixfax does alike: unknown verbs, help texts, "-" for
// standard input and output, data and messages apart, outputs checked
// before the work, job files in the code page.
#include <gtest/gtest.h>

#include "support/program_run.h"
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class CommandLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() / ("orvixfax-command-" + std::to_string(::getpid()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory);
        fs::copy_file(fs::path(PROJECT_SOURCE) / "samples/OrvixFax.adb", directory / "OrvixFax.adb");
    }
    void TearDown() override { fs::remove_all(directory); }


    // `input` is a shell redirection or pipe source for standard input.
    Outcome Orvixfax(const std::string &arguments, const std::string &input = "</dev/null") {
        return RunProgram("env -u ORVIXFAX_DIR '" + std::string(ORVIXFAX_PROGRAM) + "' " + arguments + " " + input,
                          directory);
    }
    std::string Dir() const { return " --dir '" + directory.string() + "'"; }

    fs::path directory;
};

TEST_F(CommandLineTest, AnUnknownVerbIsSaidWithTheNearestOne) {
    Outcome typo = Orvixfax("tickt --pcl");
    EXPECT_EQ(typo.status, 2);
    EXPECT_EQ(typo.err, "orvixfax: unknown command \"tickt\"; did you mean \"ticket\"?\n");
    Outcome nested = Orvixfax("--dir /tmp book shwo");
    EXPECT_EQ(nested.err, "orvixfax book: unknown command \"shwo\"; did you mean \"show\"?\n");
    Outcome far = Orvixfax("frobnicate");
    EXPECT_EQ(far.err, "orvixfax: unknown command \"frobnicate\"\n");
    Outcome none = Orvixfax("settings");
    EXPECT_EQ(none.status, 2);
    EXPECT_NE(none.err.find("orvixfax settings: name a command: show, set"), std::string::npos) << none.err;
}

// Every verb's help says its exit statuses in a section of their own.
TEST_F(CommandLineTest, EveryHelpHasItsExitStatuses) {
    for (const char *verb : {"ticket", "fax", "book show", "book resave", "book import", "book export", "book edit",
                             "book add", "book remove", "book find", "book group add", "book group remove",
                             "book group members", "settings show", "settings set"}) {
        Outcome help = Orvixfax(std::string(verb) + " --help");
        EXPECT_EQ(help.status, 0) << verb;
        EXPECT_NE(help.out.find("Exit status:\n  0  "), std::string::npos) << verb << "\n" << help.out;
        EXPECT_NE(help.out.find("--codepage"), std::string::npos) << verb;
    }
}

// Tickets and listings on standard output, every message on standard error,
// "-" for the job file and the ticket.
TEST_F(CommandLineTest, DataGoesToStandardOutputAndMessagesToStandardError) {
    const std::string job = R"({"recipients": [{"name": "Bo", "faxNumber": "7"}], "coverSheet": 1,
                                "senderName": "Caf\u00e9 \u201cNord\u201d \u20ac"})";
    WriteBytes(directory / "job.json", job);
    Outcome piped = Orvixfax("ticket --pcl --job - --out -", "<'" + (directory / "job.json").string() + "'");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_NE(piped.out.find("@@EFR=Caf\xe9 \x93Nord\x94 \x80\n"), std::string::npos) << piped.out;
    EXPECT_EQ(piped.err, "");
    Outcome japanese = Orvixfax("ticket --pcl --codepage 932 --job -", "<'" + (directory / "job.json").string() + "'");
    EXPECT_EQ(japanese.status, 2);
    EXPECT_EQ(japanese.err, "orvixfax ticket: standard input: senderName: the character U+00E9 has no byte in code "
                            "page 932\n");
    EXPECT_EQ(japanese.out, "");

    WriteBytes(directory / "print.script", "click IDC_FAX_PRINT\n");
    Outcome print = Orvixfax("fax --pcl --script -" + Dir(), "<'" + (directory / "print.script").string() + "'");
    EXPECT_EQ(print.status, 1);
    EXPECT_EQ(print.out, "");
    EXPECT_NE(print.err.find("the user chose Print"), std::string::npos);
}

// An output that cannot be written is said before anyone works the dialog.
TEST_F(CommandLineTest, OutputsAreCheckedBeforeTheDialogRuns) {
    Outcome run = Orvixfax("fax --pcl --to Suppliers --out '" + (directory / "no/such/dir/t.pjl").string() + "'" + Dir());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--out: the ticket cannot be written to"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(directory / "orvixfax.ini")) << "the dialog never ran";
    run = Orvixfax("fax --pcl --to Suppliers --out '" + directory.string() + "'" + Dir());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("it is a directory"), std::string::npos) << run.err;
    EXPECT_EQ(Orvixfax("ticket --pcl --job x --out '" + directory.string() + "'").status, 2);
    EXPECT_FALSE(fs::exists(directory / "orvixfax.ini"));
    // A good output is not made before there is something to write.
    run = Orvixfax("fax --pcl --to '555 1' --out '" + (directory / "t.pjl").string() + "'" + Dir());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadBytes(directory / "t.pjl").find("@@FXN=5551\n"), std::string::npos);
}

TEST_F(CommandLineTest, SettingsSetKeepsTheDialogsRules) {
    ASSERT_EQ(Orvixfax("settings set SenderName 'Zo\xc3\xab \xe2\x82\xac'" + Dir()).status, 0);
    ASSERT_EQ(Orvixfax("settings set coverpage yes" + Dir()).status, 0);
    const std::string file = ReadBytes(directory / "orvixfax.ini");
    EXPECT_NE(file.find("CoverPage=True\r\nSenderName=Zo\xeb \x80\r\n"), std::string::npos) << file;
    Outcome shown = Orvixfax("settings show --json" + Dir());
    EXPECT_NE(shown.out.find("\"SenderName\": \"Zo\xc3\xab \xe2\x82\xac\""), std::string::npos) << shown.out;
    Outcome bad = Orvixfax("settings set Resolution Coarse" + Dir());
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "orvixfax settings set: Resolution: \"Coarse\" is neither Fine nor Ultrafine\n");
    EXPECT_EQ(Orvixfax("settings set Colour red" + Dir()).status, 2);
    EXPECT_EQ(Orvixfax("settings set SenderFaxNumber " + std::string(41, '1') + Dir()).status, 2);
    EXPECT_EQ(ReadBytes(directory / "orvixfax.ini"), file);
}

}  // namespace
