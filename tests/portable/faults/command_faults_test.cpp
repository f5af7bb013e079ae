// The command line's flows with each of their kernel calls failing in
// turn: a ticket from a job file, a CSV import and the book verbs.
#include "flow_fixture.h"

#include <filesystem>
#include <functional>

namespace {

class CommandFaults : public FlowTest {
protected:
    // Runs `arguments` with each kernel call failing in turn, on a book that
    // reads `old` each time: the book reads `changed` after a run that ends
    // well, `old` after one that fails with a message, and nothing else is
    // left in the directory (its files then read `names`), no memory and no
    // file handle. Gives how many runs failed.
    int SweepBookChange(const std::vector<std::string> &arguments, const std::string &old,
                        const std::string &changed, const std::string &names,
                        const std::function<void(const Command &)> &checkSuccess = {}) {
        Write("OrvixFax.adb", old);
        const faults::Leaks before = faults::Now();
        Command run{};
        int failures = 0;
        faults::Sweep([&] { run = Orvixfax(arguments); },
                      [&](const faults::Run &fault) {
                          SCOPED_TRACE(fault.failed);
                          if (run.status == 0) {
                              if (checkSuccess) checkSuccess(run);
                              EXPECT_EQ(Read("OrvixFax.adb"), changed);
                          } else {
                              ++failures;
                              EXPECT_NE(run.err, "");
                              EXPECT_EQ(Read("OrvixFax.adb"), old);
                          }
                          EXPECT_EQ(Names(), names);
                          Write("OrvixFax.adb", old);
                          EXPECT_EQ(faults::Now().blocks, before.blocks);
                          EXPECT_EQ(faults::Now().files, before.files);
                      });
        return failures;
    }
};

// A ticket is written whole with status 0, or not at all with a message
// and a non-zero status.
TEST_F(CommandFaults, TicketIsWrittenWholeOrNotAtAll) {
    Write("job.json", R"({"coverSheet": 1, "senderName": "Ann", "noteLines": ["Hello"],
                         "recipients": [{"name": "Bo", "faxNumber": "555-1"}]})");
    const std::vector<std::string> arguments = {"ticket", "--pcl", "--job", File("job.json"), "--at",
                                                "1998-12-06 09:05:07", "--out", File("ticket.pjl")};
    ASSERT_EQ(Orvixfax(arguments).status, 0);
    const std::string ticket = Read("ticket.pjl");
    std::filesystem::remove(File("ticket.pjl"));
    const faults::Leaks before = faults::Now();
    Command run{};
    int failures = 0;
    faults::Sweep([&] { run = Orvixfax(arguments); },
                  [&](const faults::Run &fault) {
                      SCOPED_TRACE(fault.failed);
                      if (run.status == 0) {
                          EXPECT_EQ(Read("ticket.pjl"), ticket);
                      } else {
                          ++failures;
                          EXPECT_NE(run.err, "");
                          EXPECT_FALSE(Exists("ticket.pjl")) << "no part of a ticket is left";
                      }
                      std::filesystem::remove(File("ticket.pjl"));
                      EXPECT_EQ(faults::Now().blocks, before.blocks);
                      EXPECT_EQ(faults::Now().files, before.files);
                  });
    EXPECT_GE(failures, 8) << "the job file's open, size and read, the record, the ticket block, "
                              "the ticket file's open, write and close";
}

// An import changes the book whole and says so, or leaves it as it was
// and says why.
TEST_F(CommandFaults, ImportChangesTheBookWholeOrNotAtAll) {
    const std::string old = ",Ann,Lee,,Acme,,,555-1,office\n\fTeam,0.0\n";
    Write("OrvixFax.adb", old);
    Write("in.csv", "firstName,lastName,number\nBo,Ek,7\nAnn,Lee,555-3\n");
    const std::vector<std::string> arguments = {"book", "import", File("in.csv"), "--dir", directory_};
    ASSERT_EQ(Orvixfax(arguments).status, 0);
    const std::string merged = Read("OrvixFax.adb");
    ASSERT_NE(merged, old);
    int failures = SweepBookChange(arguments, old, merged, "OrvixFax.adb OrvixFax.adb.lock in.csv",
                                   [](const Command &run) {
                                       EXPECT_NE(run.err.find("Added 2 persons and 2 numbers"), std::string::npos)
                                           << run.out << "/" << run.err;
                                   });
    EXPECT_GE(failures, 15);
}

// The book verbs change the book whole and say so, or leave it as it was
// and say why.
TEST_F(CommandFaults, BookVerbsChangeTheBookWholeOrNotAtAll) {
    const std::string old = ",Ann,Lee,,Acme,,,555-1,office\n\fTeam,0.0\n";
    const std::vector<std::vector<std::string>> commands = {
        {"book", "add", "--first-name", "Bo", "--number", "7", "--details", "desk", "--dir", directory_},
        {"book", "group", "add", "Night", "Ann Lee", "--dir", directory_},
        {"book", "remove", "Ann Lee", "--dir", directory_},
    };
    for (const std::vector<std::string> &arguments : commands) {
        SCOPED_TRACE(arguments[1]);
        Write("OrvixFax.adb", old);
        ASSERT_EQ(Orvixfax(arguments).status, 0);
        const std::string changed = Read("OrvixFax.adb");
        ASSERT_NE(changed, old);
        EXPECT_GE(SweepBookChange(arguments, old, changed, "OrvixFax.adb OrvixFax.adb.lock"), 10);
    }
}

}  // namespace
