// The fax and settings verbs, run as the user runs them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "fax_test_support.h"
#include "support/program_run.h"

namespace {

namespace fs = std::filesystem;

class FaxVerbTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(fs::path(PROJECT_SOURCE) / "samples" / "OrvixFax.adb",
                      fs::path(directory.Path()) / "OrvixFax.adb");
    }

    Outcome Orvixfax(const std::string &arguments, const std::string &script = "") {
        const std::string scriptPath = directory.File("job.script");
        if (!script.empty()) faxtest::WriteFile(scriptPath, script);
        std::string command = std::string("'") + ORVIXFAX_PROGRAM + "' " + arguments;
        if (!script.empty()) command += " --script '" + scriptPath + "'";
        return RunProgram(command + " </dev/null", directory.Path());
    }
    std::string Dir() const { return "--dir '" + directory.Path() + "'"; }
    std::string Settings() const { return faxtest::ReadFile(directory.File("orvixfax.ini")); }

    faxtest::ScratchSystemDirectory directory;
};

// The same job in a second directory with the same book, worked by a script.
struct ScriptedTwin : FaxVerbTest {
    faxtest::ScratchSystemDirectory twin;
    void SetUp() override {
        FaxVerbTest::SetUp();
        fs::copy_file(fs::path(PROJECT_SOURCE) / "samples" / "OrvixFax.adb", fs::path(twin.Path()) / "OrvixFax.adb");
    }
    std::string TwinDir() const { return "--dir '" + twin.Path() + "'"; }
};

const std::string kAt = " --at '1998-12-06 09:05:07'";

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
    EXPECT_NE(run.err.find("the user chose Print"), std::string::npos);
    EXPECT_EQ(run.out, "") << "messages go to standard error, so that a piped ticket holds only a ticket";
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

// The options are the clicks of the demo script: the ticket and the settings
// they leave are the script's, byte for byte.
TEST_F(ScriptedTwin, ToOptionsGiveTheScriptedJobsTicketAndSettings) {
    Outcome scripted = Orvixfax("fax --pcl " + TwinDir() + kAt,
                                faxtest::ReadFile(std::string(PROJECT_SOURCE) + "/samples/fax-demo.script"));
    Outcome options = Orvixfax("fax --pcl " + Dir() + kAt +
                               " --to '[Sales Team]' --to 'keller, bruno' --sender-name 'Max Sender'"
                               " --sender-fax '+49 30 1234 5678' --note 'Please find the signed order attached. "
                               "Call me if anything is missing or unclear.'");
    ASSERT_EQ(scripted.status, 0) << scripted.err;
    ASSERT_EQ(options.status, 0) << options.err;
    EXPECT_EQ(options.out, scripted.out);
    EXPECT_EQ(options.err, "");
    EXPECT_EQ(Settings(), faxtest::ReadFile(twin.File("orvixfax.ini")));

    // A bare number in Fine resolution, without a cover sheet: the new
    // recipient's fields, and the resolution the dialog takes from the settings.
    Outcome set = Orvixfax("settings set resolution fine " + TwinDir());
    ASSERT_EQ(set.status, 0) << set.err;
    scripted = Orvixfax("fax --ps " + TwinDir() + kAt,
                        "check IDC_FAX_NEW_RECIPIENT\ntype IDC_FAX_NEW_NAME \"Jane Ro\xe9\"\n"
                        "type IDC_FAX_NEW_NUMBER \"+1 555 0100\"\nuncheck IDC_FAX_USE_COVER\nclick IDOK\n");
    options = Orvixfax("fax --ps " + Dir() + kAt + " --to ' +1 555 0100' --name 'Jane Ro\xc3\xa9' --fine --no-cover");
    ASSERT_EQ(scripted.status, 0) << scripted.err;
    ASSERT_EQ(options.status, 0) << options.err;
    EXPECT_EQ(options.out, scripted.out);
    EXPECT_EQ(Settings(), faxtest::ReadFile(twin.File("orvixfax.ini")));
    EXPECT_EQ(faxtest::ReadSettings(directory.Path())["CurrentSelection"], "Jane Ro\xe9");
}

// A WHO that names nothing, or more than one line of the dialog's list, is
// refused with the candidates before the dialog opens: nothing is saved.
TEST_F(FaxVerbTest, UnknownAndAmbiguousRecipientsAreRefusedWithTheCandidates) {
    Outcome ambiguous = Orvixfax("fax --pcl " + Dir() + " --to 'Ann Lee' --to '[Suppliers]'");
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_EQ(ambiguous.out, "");
    EXPECT_NE(ambiguous.err.find("--to \"Ann Lee\": matches 2 lines of the fax dialog's list; name one of them:\n"
                                 "  Ann Lee:+49 30 5550 1234  (Acme Tools, Purchasing, office)\n"
                                 "  Ann Lee:+49 30 5550 9876  (Acme Tools, Purchasing, home)\n"),
              std::string::npos)
        << ambiguous.err;

    Outcome unknown = Orvixfax("fax --pcl " + Dir() + " --to 'Suppliers' --to 'ross'");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--to \"ross\": matches nothing in the address book; these contain it:\n"
                               "  Chiara Rossi:+39 02 5550 4433  (Studio Rossi, Design, studio)\n"),
              std::string::npos)
        << unknown.err;
    EXPECT_EQ(Orvixfax("fax --pcl " + Dir() + " --to 'Nobody At All'").status, 2);

    // Choices that cannot go together, and texts the dialog cannot take.
    Outcome mixed = Orvixfax("fax --pcl " + Dir() + " --to '555 0100' --to 'Suppliers'");
    EXPECT_EQ(mixed.status, 2);
    EXPECT_NE(mixed.err.find("goes alone"), std::string::npos) << mixed.err;
    Outcome longName = Orvixfax("fax --pcl " + Dir() + " --to 'Suppliers' --sender-name '" + std::string(41, 'x') + "'");
    EXPECT_EQ(longName.status, 2);
    EXPECT_NE(longName.err.find("--sender-name: is longer than the dialog's limit of 40 characters"), std::string::npos)
        << longName.err;
    Outcome euro = Orvixfax("fax --pcl " + Dir() + " --to 'Suppliers' --codepage 932 --note '\xe2\x82\xac'");
    EXPECT_EQ(euro.status, 2);
    EXPECT_NE(euro.err.find("--note: the character U+20AC has no byte in code page 932"), std::string::npos) << euro.err;
    EXPECT_NE(Orvixfax("fax --pcl " + Dir() + " --note 'hi'").err.find("go with --to"), std::string::npos);
    EXPECT_EQ(Orvixfax("fax --pcl " + Dir() + " --to Suppliers 'Dev Patel'").status, 2) << "one WHO a --to";
    EXPECT_FALSE(faxtest::FileExists(directory.File("orvixfax.ini")));
}

// More recipients than the dialog takes: the one that crosses the limit is named.
TEST_F(FaxVerbTest, TheDialogsRecipientLimitHolds) {
    std::vector<std::string> persons;
    std::vector<std::pair<int, int>> big, small;
    for (int i = 0; i < 210; ++i) {
        persons.push_back(faxtest::PersonLine("P" + std::to_string(i), "Q", "", {{std::to_string(1000 + i), ""}}));
        (i < 150 ? big : small).push_back({i, 0});
    }
    faxtest::WriteFile(directory.File("OrvixFax.adb"),
                       faxtest::Book(persons, {faxtest::GroupLine("Big", big), faxtest::GroupLine("Small", small)}));
    Outcome run = Orvixfax("fax --pcl " + Dir() + " --to Big --to Small");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--to \"Small\": brings the job to 210 recipients, and the fax dialog takes at most 200"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Orvixfax("fax --pcl " + Dir() + " --to Big --to 'P151 Q' --to Big").status, 0);
}

// --dry-run shows the job and writes nothing; --no-save keeps the settings
// file as it was, also for a script.
TEST_F(FaxVerbTest, DryRunAndNoSaveLeaveTheFilesAsTheyWere) {
    faxtest::WriteFile(directory.File("orvixfax.ini"), "[User Fax Info]\r\nSenderName=Old\r\n");
    Outcome dry = Orvixfax("fax --pcl " + Dir() + " --dry-run --to 'Dev Patel' --fine --sender-name 'Max \xc3\x9f'"
                           " --note 'One\nTwo'");
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "Recipients: 1\n  Dev Patel\t+44 20 7946 0018\tNorthwind Traders\nResolution: Fine\n"
                       "Cover sheet:\n  recipient names:   Dev Patel\n  recipient number:  +44 20 7946 0018\n"
                       "  recipient company: Northwind Traders\n"
                       "  shows the recipient's name: yes, number: yes, company: yes\n"
                       "  sender name:       Max \xc3\x9f\n  note:\n    One\n    Two\n");
    EXPECT_EQ(Settings(), "[User Fax Info]\r\nSenderName=Old\r\n");
    EXPECT_EQ(faxtest::ReadFile(directory.File("OrvixFax.adb")),
              faxtest::ReadFile(std::string(PROJECT_SOURCE) + "/samples/OrvixFax.adb"));
    EXPECT_FALSE(faxtest::FileExists(directory.File("OrvixFax.adb.lock")));

    Outcome kept = Orvixfax("fax --ps --no-save " + Dir(), "select IDC_FAX_RECIPIENTS \"[Suppliers]\"\nclick IDOK\n");
    ASSERT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(Settings(), "[User Fax Info]\r\nSenderName=Old\r\n");
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
