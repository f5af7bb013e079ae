// orvixfax ticket, run as a program: exit status, messages and bytes.
#include <gtest/gtest.h>

#include "support/program_run.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

class TicketVerbTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("orvixfax-ticket-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(directory);
    }
    void TearDown() override { fs::remove_all(directory); }


    std::string Job(const std::string &json) {
        fs::path path = directory / ("job" + std::to_string(++jobs) + ".json");
        std::ofstream(path, std::ios::binary) << json;
        return path.string();
    }

    Outcome Orvixfax(const std::string &arguments) {
        return RunProgram(std::string("'") + ORVIXFAX_PROGRAM + "' " + arguments, directory);
    }

    fs::path directory;
    int jobs = 0;
};

// `count` empty JSON strings, comma-separated.
std::string EmptyStrings(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += i ? ",\"\"" : "\"\"";
    return list;
}

const char kMoment[] = "--at '1998-12-06 09:05:07'";

TEST_F(TicketVerbTest, WritesTheExactPjlTicketOfAJobFile) {
    std::string job = Job(R"({"coverSheet": 0, "recipients": [
        {"name": "Carl", "faxNumber": "(030) 555-0100"}, {"faxNumber": "x"}, {"faxNumber": "7"}]})");
    Outcome run = Orvixfax("ticket --pcl --job '" + job + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "@PJL COMMENT @@MJB=SRT\n@PJL COMMENT @@DEV=FAX\n@PJL COMMENT @@FXM=FIN\n"
              "@PJL COMMENT @@FXN=0305550100\n@PJL COMMENT @@FXN=7\n@PJL COMMENT @@FXN=END\n"
              "@PJL COMMENT @@MJB=END\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(TicketVerbTest, EightBitTextAtAFixedMomentInKanjiMode) {
    // U+00E9 stands for the byte 0xE9, written in octal in Kanji mode.
    std::string job = Job(R"({"coverSheet": 1, "senderName": "\u00e9A", "includeRecipName": 1,
        "recipients": [{"name": "B", "faxNumber": "1"}]})");
    Outcome run = Orvixfax("ticket --ps --kanji " + std::string(kMoment) + " --job '" + job + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("/FromStr (\\351\\101) def\r\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("/FaxDataList[(\\102\\40)] def\r\n"), std::string::npos);
    EXPECT_NE(run.out.find("/DateTimeStr (\\123\\165\\156\\40\\66\\40"), std::string::npos);

    run = Orvixfax("ticket --pcl " + std::string(kMoment) + " --job '" + job + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("@@EFR=\xe9" "A\n"), std::string::npos);
    EXPECT_NE(run.out.find("@@EDT=Sun 6 Dec 1998 9:5:7\n"), std::string::npos);
}

TEST_F(TicketVerbTest, OutWritesTheSameBytesToAFile) {
    std::string job = Job(R"({"coverSheet": 1, "noteLines": ["one", "two"]})");
    Outcome toStdout = Orvixfax("ticket --ps " + std::string(kMoment) + " --job '" + job + "'");
    fs::path file = directory / "ticket.ps";
    Outcome toFile = Orvixfax("ticket --ps " + std::string(kMoment) + " --job '" + job + "' --out '" +
                          file.string() + "'");
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(ReadBytes(file), toStdout.out);
    EXPECT_NE(toStdout.out.find("(one)\r\n(two)\r\n()\r\n"), std::string::npos);
    // A device takes the ticket as well, and is still there afterwards.
    Outcome toDevice = Orvixfax("ticket --ps --job '" + job + "' --out /dev/null");
    EXPECT_EQ(toDevice.status, 0) << toDevice.err;
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(TicketVerbTest, StatusZeroWritesNothingAndSaysWhy) {
    std::string job = Job(R"({"status": 0, "recipients": [{"faxNumber": "1"}]})");
    fs::path file = directory / "ticket.pjl";
    Outcome run = Orvixfax("ticket --pcl --job '" + job + "' --out '" + file.string() + "'");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("status is 0"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(TicketVerbTest, BadJobFilesAreRefusedNamingTheKeyAndTheLimit) {
    struct Case {
        std::string json;
        std::string message;  // a part of the message
    };
    const Case cases[] = {
        {R"({"status": 1, "fax": 2})", "fax: unknown key"},
        {R"({"recipients": [{"name": "a", "phone": "1"}]})", "recipients[0].phone: unknown key"},
        {R"({"senderName": ")" + std::string(82, 'x') + R"("})",
         "senderName: text of 82 characters is longer than the limit of 81"},
        {R"({"recipients": [{"company": ")" + std::string(40, 'x') + R"("}]})",
         "recipients[0].company: text of 40 characters is longer than the limit of 39"},
        {R"({"noteLines": ["\u0100"]})", "noteLines[0]: the character U+0100 has no byte in code page 1252"},
        {R"({"senderName": "a\u0000b"})", "senderName: character U+0000"},
        {R"({"noteLines": [)" + EmptyStrings(11) + "]}",
         "noteLines: 11 lines are more than the limit of 10"},
        {R"({"coverSheet": 65536})", "coverSheet: 65536 is above the limit of 65535"},
        {R"({"status": -1})", "status: must be a whole number"},
        {R"({"senderName": 5})", "senderName: must be a string"},
        {R"({"status": 1,})", "malformed JSON"},
        {R"([1, 2])", "one JSON object"},
        {"", "malformed JSON"},
    };
    for (const Case &c : cases) {
        Outcome run = Orvixfax("ticket --pcl --job '" + Job(c.json) + "'");
        EXPECT_EQ(run.status, 2) << c.json;
        EXPECT_EQ(run.out, "") << c.json;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.json << "\n" << run.err;
    }

    std::string many = R"({"recipients": [)";
    for (int i = 0; i < 201; ++i) many += std::string(i ? "," : "") + R"({"faxNumber": "1"})";
    Outcome run = Orvixfax("ticket --ps --job '" + Job(many + "]}") + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("recipients: 201 recipients are more than the limit of 200"),
              std::string::npos)
        << run.err;
}

TEST_F(TicketVerbTest, TheLimitsThemselvesAreAccepted) {
    std::string many = R"({"senderName": ")" + std::string(81, 'x') +
                       R"(", "noteLines": [)" + EmptyStrings(10) + R"(], "recipients": [)";
    for (int i = 0; i < 200; ++i) many += std::string(i ? "," : "") + R"({"faxNumber": "1"})";
    Outcome run = Orvixfax("ticket --pcl --job '" + Job(many + "]}") + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    size_t numbers = 0;
    for (size_t at = run.out.find("@@FXN=1\n"); at != std::string::npos;
         at = run.out.find("@@FXN=1\n", at + 1))
        ++numbers;
    EXPECT_EQ(numbers, 200u);
}

TEST_F(TicketVerbTest, BadOptionsAreRefused) {
    std::string job = Job("{}");
    const std::string bad[] = {
        "ticket --job '" + job + "'",                    // neither --pcl nor --ps
        "ticket --pcl --ps --job '" + job + "'",         // both
        "ticket --pcl",                                  // no job
        "ticket --pcl --job '" + job + "' --at '1998-02-29 10:00:00'",
        "ticket --pcl --job '" + job + "' --at '1998-12-06 24:00:00'",
        "ticket --pcl --job '" + job + "' --at '1998-12-06'",
        "ticket --pcl --job '" + job + "' --at '+024-01-02 03:04:05'",
        "ticket --pcl --job '" + job + "' --at '2024-01-02  3:04:05'",
        "ticket --pcl --job '" + (directory / "missing.json").string() + "'",
        "ticket --pcl --job '" + directory.string() + "'",
        "fly",
    };
    for (const std::string &arguments : bad) {
        Outcome run = Orvixfax(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err, "") << arguments;
    }
    EXPECT_NE(Orvixfax("ticket --pcl --job '" + directory.string() + "'").err.find(": it is a directory"),
              std::string::npos);
}

// A value that carries the printer's universal exit cannot end the job.
TEST_F(TicketVerbTest, ControlBytesNeverReachThePjlTicket) {
    std::string job = Job(R"({"coverSheet": 1, "includeRecipName": 1, "includeRecipNumber": 1,
                              "senderName": "\u001b%-12345X@PJL SET COPIES=99",
                              "recipients": [{"name": "\u001b\u007fEve\t", "faxNumber": "1"}]})");
    Outcome run = Orvixfax("ticket --pcl --job '" + job + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_NE(run.out.find("@@EFR= %-12345X@PJL SET COPIES=99\n"), std::string::npos);
    EXPECT_NE(run.out.find("@@FXP=  Eve\t 1 \n"), std::string::npos) << run.out;
}

// An output that cannot be written is a bad option, said before the job is read.
TEST_F(TicketVerbTest, AnUnwritableOutputIsRefusedFirst) {
    Outcome run = Orvixfax("ticket --pcl --job '" + (directory / "missing.json").string() + "' --out '" +
                           (directory / "no" / "such" / "dir" / "t.pjl").string() + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("--out: the ticket cannot be written to"), std::string::npos) << run.err;
}

TEST_F(TicketVerbTest, HelpExplainsTheVerb) {
    Outcome run = Orvixfax("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("ticket"), std::string::npos);
    run = Orvixfax("ticket --help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--kanji"), std::string::npos);
    EXPECT_NE(run.out.find("recipients"), std::string::npos);
}

TEST_F(TicketVerbTest, TheSampleJobGivesBothTickets) {
    std::string sample = std::string(ORVIXFAX_SAMPLES) + "/job.json";
    Outcome pcl = Orvixfax("ticket --pcl " + std::string(kMoment) + " --job '" + sample + "'");
    EXPECT_EQ(pcl.status, 0) << pcl.err;
    EXPECT_NE(pcl.out.find("@@FXN=351213548870\n"), std::string::npos) << pcl.out;
    EXPECT_NE(pcl.out.find("@@FXP=Tom\xe1s Ferreira 351213548870 Ferreira & Filhos Lda.\n"),
              std::string::npos);
    Outcome ps = Orvixfax("ticket --ps " + std::string(kMoment) + " --job '" + sample + "'");
    EXPECT_EQ(ps.status, 0) << ps.err;
    EXPECT_NE(ps.out.find("(Questions to me directly \\[ext. 2214\\] - thank you!)\r\n"),
              std::string::npos);
}

}  // namespace
