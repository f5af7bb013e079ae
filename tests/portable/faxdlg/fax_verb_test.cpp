// The fax and settings verbs, run as the user runs them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "fax_test_support.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class FaxVerbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(fs::path(PROJECT_SOURCE) / "samples" / "OrvixFax.adb",
                      fs::path(directory.Path()) / "OrvixFax.adb");
    }

    Outcome Orvixfax(const std::string &arguments, const std::string &script = "") {
        const std::string scriptPath = directory.File("job.script");
        if (!script.empty()) faxtest::WriteFile(scriptPath, script);
        const std::string out = directory.File("out.txt"), err = directory.File("err.txt");
        std::string command = std::string("'") + ORVIXFAX_PROGRAM + "' " + arguments;
        if (!script.empty()) command += " --script '" + scriptPath + "'";
        command += " >'" + out + "' 2>'" + err + "' </dev/null";
        Outcome run;
        int raw = std::system(command.c_str());
        run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        run.out = faxtest::ReadFile(out);
        run.err = faxtest::ReadFile(err);
        return run;
    }
    std::string Dir() const { return "--dir '" + directory.Path() + "'"; }

    faxtest::ScratchSystemDirectory directory;
};

TEST_F(FaxVerbTest, TheDemoScriptFaxesAGroupAndAPersonWithACoverNote) {
    Outcome run = Orvixfax("fax --pcl " + Dir() + " --at '1998-12-06 09:05:07'",
                       faxtest::ReadFile(std::string(PROJECT_SOURCE) + "/samples/fax-demo.script"));
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string p = "@PJL COMMENT ";
    EXPECT_EQ(run.out.rfind(p + "@@MJB=SRT\n" + p + "@@DEV=FAX\n" + p + "@@CVS=SRT\n", 0), 0u);
    EXPECT_NE(run.out.find(p + "@@EFR=Max Sender\n" + p + "@@EFF=+49 30 1234 5678\n" + p +
                           "@@EBP=\n" + p + "@@EHP=\n" + p + "@@EDT=Sun 6 Dec 1998 9:5:7\n" + p +
                           "@@EN1=Please find the signed order attached. Call me if \n" + p +
                           "@@EN2=anything is missing or unclear.\n" + p + "@@EN3=\n"),
              std::string::npos);
    EXPECT_NE(run.out.find(p + "@@FXM=FIN\n" + p + "@@FXN=493055501234\n" + p +
                           "@@FXN=390255504433\n" + p + "@@FXN=442079460018\n" + p +
                           "@@FXN=41445551212\n" + p + "@@FXN=END\n" + p + "@@MJB=END\n"),
              std::string::npos);

    Outcome shown = Orvixfax("settings show --json " + Dir());
    ASSERT_EQ(shown.status, 0) << shown.err;
    nlohmann::json settings = nlohmann::json::parse(shown.out);
    EXPECT_EQ(settings["CoverPage"], true);
    EXPECT_EQ(settings["SenderName"], "Max Sender");
    EXPECT_EQ(settings["SenderFaxNumberTrue"], 1);
    EXPECT_EQ(settings["NewRecipient"], false);
}

TEST_F(FaxVerbTest, PrintGivesNoTicketAndExitOneButStillSavesTheSettings) {
    Outcome run = Orvixfax("fax --ps " + Dir(),
                       "dialog \"Fax Document\"\ncheck IDC_FAX_NEW_RECIPIENT\n"
                       "type IDC_FAX_NEW_NAME \"Jane Roe\"\nclick IDC_FAX_PRINT\n");
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.out.find("The user chose Print"), std::string::npos);
    EXPECT_EQ(run.out.find("%%"), std::string::npos);
    auto settings = faxtest::ReadSettings(directory.Path());
    EXPECT_EQ(settings["NewRecipient"], "True");
    EXPECT_EQ(settings["CurrentSelection"], "Jane Roe");
}

TEST_F(FaxVerbTest, APostScriptJobWithoutCoverSheetIsTheCommentHeaderAlone) {
    Outcome run = Orvixfax("fax --ps " + Dir(),
                           "select IDC_FAX_RECIPIENTS \"[Suppliers]\"\nclick IDOK\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "%%   @@MJB=SRT\r\n%%   @@DEV=FAX\r\n%%   @@FXM=FIN\r\n%%   @@FXN=41445551212\r\n"
              "%%   @@FXN=31105557700\r\n%%   @@FXN=END\r\n%%   @@MJB=END\r\n");
}

TEST_F(FaxVerbTest, BadScriptsAndOptionsExitTwoWithAReason) {
    Outcome unreadable = Orvixfax("fax --pcl " + Dir(), "press IDOK\n");
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_NE(unreadable.err.find(":1: press IDOK: unknown action"), std::string::npos) << unreadable.err;

    // The script ends while the dialog is still open: no job, no ticket.
    Outcome shortScript = Orvixfax("fax --pcl " + Dir(), "select IDC_FAX_RECIPIENTS \"[Suppliers]\"\n");
    EXPECT_EQ(shortScript.status, 2);
    EXPECT_EQ(shortScript.out.find("@PJL"), std::string::npos);
    EXPECT_FALSE(shortScript.err.empty());

    Outcome noDriver = Orvixfax("fax " + Dir(), "click IDOK\n");
    EXPECT_EQ(noDriver.status, 2);
    EXPECT_NE(noDriver.err.find("--pcl or --ps"), std::string::npos);

    Outcome badTime = Orvixfax("fax --pcl --at '1998-02-30 10:00:00' " + Dir(), "click IDOK\n");
    EXPECT_EQ(badTime.status, 2);
    EXPECT_NE(badTime.err.find("--at"), std::string::npos);

    Outcome noDir = Orvixfax("settings show --dir '" + directory.File("missing") + "'");
    EXPECT_EQ(noDir.status, 2);
    EXPECT_NE(noDir.err.find("not a directory"), std::string::npos);
}

// Bytes of the settings file never act on the terminal that shows them.
TEST_F(FaxVerbTest, SettingsShowEscapesControlBytes) {
    faxtest::WriteFile(directory.File("orvixfax.ini"), "[User Fax Info]\r\nSenderName=Eve\x1b]0;owned\x07\r\n");
    Outcome shown = Orvixfax("settings show " + Dir());
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("SenderName=Eve\\x1b]0;owned\\x07\n"), std::string::npos) << shown.out;
    EXPECT_EQ(shown.out.find('\x1b'), std::string::npos);
}

}  // namespace
