// The address book survives what a shared machine, a hostile user and an
// unlucky one do to it, each case run through the real orvixfax program:
// a book that cannot be read, two commands at once, planted files beside
// it, and a save that must keep the book's properties.
//
// Permissions do not stop root, so where a case needs them the program runs
// as the unprivileged user "nobody" (setpriv), from a copy of it that user
// can reach; run as another user, the test is unprivileged already.
#include <gtest/gtest.h>

#include "support/program_run.h"
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class BookSurvivalTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = fs::temp_directory_path() / ("orvixfax-survival-" + std::to_string(::getpid()));
        fs::create_directories(scratch_);
        fs::permissions(scratch_, fs::perms::all);
        // A copy every user can run, wherever the build tree lies.
        program_ = scratch_ / "orvixfax";
        fs::copy_file(ORVIXFAX_PROGRAM, program_, fs::copy_options::overwrite_existing);
        fs::permissions(program_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
    }
    static void TearDownTestSuite() { fs::remove_all(scratch_); }

    void SetUp() override {
        directory_ = scratch_ / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(directory_);
        // The unprivileged user may write the directory, as the book's owner would.
        fs::permissions(directory_, fs::perms::all);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    fs::path Book() const { return directory_ / "OrvixFax.adb"; }
    std::string Dir() const { return " --dir '" + directory_.string() + "'"; }

    // Runs the program; a hang counts as a failure (status 124), not a stuck test.
    Outcome Orvixfax(const std::string &arguments, bool unprivileged = false) {
        std::string user = unprivileged && ::geteuid() == 0 ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
        return RunProgram("timeout 20 " + user + "'" + program_.string() + "' " + arguments + " </dev/null", scratch_);
    }
    // A file the unprivileged user may not read: root's own with mode 0600,
    // or, when the test is not root, one with no permission at all.
    void MakeUnreadable(const fs::path &path) {
        fs::permissions(path, ::geteuid() == 0 ? fs::perms::owner_read | fs::perms::owner_write : fs::perms::none);
    }
    // Gives a file to the unprivileged user, when the test may.
    static void GiveToNobody(const fs::path &path) {
        if (::geteuid() == 0) {
            ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
        }
    }

    static fs::path scratch_;
    static fs::path program_;
    fs::path directory_;
};

fs::path BookSurvivalTest::scratch_;
fs::path BookSurvivalTest::program_;

const std::string kBook = ",Ann,Lee,,Acme,,,555-1,office\n,Bo,Ek,,,,,555-2,\n\fTeam,0.0,1.0\n";

// Only "no such file" is a missing book. Any other failure to read it ends
// each command with status 1, naming the path and the reason, and the
// book is left exactly as it was; nothing blocks on a pipe.
TEST_F(BookSurvivalTest, ABookThatCannotBeReadIsNeverTakenForAMissingOne) {
    WriteBytes(Book(), kBook);
    MakeUnreadable(Book());
    WriteBytes(directory_ / "one.csv", "firstName,number\nCy,9\n");
    WriteBytes(directory_ / "edit.script", "dialog \"Edit Address Book\"\nclick IDOK\n");
    const std::string verbs[] = {"book resave", "book show", "book import '" + (directory_ / "one.csv").string() + "'",
                                 "book edit --script '" + (directory_ / "edit.script").string() + "'"};
    for (const std::string &verb : verbs) {
        Outcome run = Orvixfax(verb + Dir(), true);
        EXPECT_EQ(run.status, 1) << verb << ": " << run.err;
        EXPECT_NE(run.err.find("the address book " + Book().string() + " cannot be read: access is denied"),
                  std::string::npos)
            << verb << ": " << run.err;
        EXPECT_EQ(run.out, "") << verb;
    }
    fs::permissions(Book(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes(Book()), kBook);

    fs::remove(Book());
    fs::create_directory(Book());
    Outcome run = Orvixfax("book resave" + Dir());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot be read: it is a directory"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_directory(Book()));

    fs::remove(Book());
    ASSERT_EQ(::mkfifo(Book().c_str(), 0644), 0);
    run = Orvixfax("book show" + Dir());
    EXPECT_EQ(run.status, 1) << "a pipe must not be waited on";
    EXPECT_NE(run.err.find("cannot be read: it is not a regular file"), std::string::npos) << run.err;

    fs::remove(Book());
    fs::create_symlink("OrvixFax.adb", Book());
    run = Orvixfax("book show" + Dir());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot be read: its name cannot be resolved"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_symlink(Book()));
}

// Commands that change the book hold it from load to save: started
// together, every one's change is in the book, which is one whole book.
TEST_F(BookSurvivalTest, CommandsRunTogetherEachKeepTheirChange) {
    std::string book;
    for (int i = 0; i < 20000; ++i) book += ",Person,Number " + std::to_string(i) + ",,Company,,,555-" + std::to_string(i) + ",\n";
    book += "\f";
    for (int g = 0; g < 100; ++g) book += "Group " + std::to_string(g) + "," + std::to_string(g) + ".0\n";
    WriteBytes(Book(), book);
    std::string command = "true";
    for (int i = 0; i < 4; ++i) {
        fs::path csv = directory_ / ("add" + std::to_string(i) + ".csv");
        WriteBytes(csv, "firstName,lastName,number\nNew,Person " + std::to_string(i) + ",9" + std::to_string(i) + "\n");
        command += " & '" + program_.string() + "' book import '" + csv.string() + "'" + Dir() + " >/dev/null 2>>'" +
                   (directory_ / "err").string() + "'";
    }
    ASSERT_EQ(std::system(("timeout 120 sh -c \"" + command + " & wait\"").c_str()), 0);
    // Nothing but each one's report and word that one waited for another.
    std::istringstream said(ReadBytes(directory_ / "err"));
    for (std::string line; std::getline(said, line);)
        EXPECT_TRUE(line.rfind("waiting for another command", 0) == 0 || line.rfind("Added 1 person and 1 number", 0) == 0)
            << line;
    std::string saved = ReadBytes(Book());
    EXPECT_EQ(saved.rfind(book.substr(0, book.find('\f')), 0), 0u) << "the old persons first, unchanged";
    size_t persons = 0;
    for (size_t at = 0; at < saved.find('\f'); at = saved.find('\n', at) + 1) ++persons;
    EXPECT_EQ(persons, 20004u);
    for (int i = 0; i < 4; ++i) EXPECT_NE(saved.find(",New,Person " + std::to_string(i) + ",,,,,9"), std::string::npos) << i;
    EXPECT_EQ(saved.substr(saved.find('\f')), book.substr(book.find('\f')));
    fs::remove(directory_ / "err");
    for (const auto &entry : fs::directory_iterator(directory_)) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "OrvixFax.adb" || name == "OrvixFax.adb.lock" || name.ends_with(".csv")) << name;
    }
}

// A link planted where saves once put their new file, or a stale file
// there with no permissions, changes nothing of a save.
TEST_F(BookSurvivalTest, PlantedAndStaleFilesBesideTheBookChangeNothing) {
    WriteBytes(Book(), kBook);
    fs::permissions(Book(), fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(directory_ / "target", "not a book");
    const fs::path old = directory_ / "OrvixFax.adb.new";
    fs::create_symlink(directory_ / "target", old);
    for (int round = 0; round < 2; ++round) {
        Outcome run = Orvixfax("book resave" + Dir());
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(fs::is_symlink(Book()));
        EXPECT_EQ(ReadBytes(Book()), kBook);
        EXPECT_EQ(fs::status(Book()).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(ReadBytes(directory_ / "target"), "not a book");
        fs::remove(old);
        WriteBytes(old, "stale");
        fs::permissions(old, fs::perms::none);
    }
}

// A save keeps what the book was: its permissions, its owner, its place
// behind a link; and a book its user may not write is not replaced.
TEST_F(BookSurvivalTest, ASaveKeepsTheBooksProperties) {
    WriteBytes(Book(), kBook);
    fs::permissions(Book(), fs::perms::owner_read | fs::perms::owner_write);
    GiveToNobody(Book());
    struct stat before{};
    ASSERT_EQ(::stat(Book().c_str(), &before), 0);
    Outcome run = Orvixfax("book resave" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat after{};
    ASSERT_EQ(::stat(Book().c_str(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_uid, before.st_uid) << "the owner stays";
    EXPECT_EQ(after.st_gid, before.st_gid);

    // Read-only to its user, in a directory that user may write.
    fs::permissions(Book(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    WriteBytes(directory_ / "one.csv", "firstName,number\nCy,9\n");
    run = Orvixfax("book import '" + (directory_ / "one.csv").string() + "'" + Dir(), true);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("could not be saved to " + Book().string() + ": access is denied"), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(Book()), kBook);

    // A link to the book elsewhere: the book there is saved, the link stays.
    fs::create_directory(directory_ / "real");
    fs::permissions(directory_ / "real", fs::perms::all);
    fs::rename(Book(), directory_ / "real" / "book.adb");
    fs::permissions(directory_ / "real" / "book.adb", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/book.adb", Book());
    run = Orvixfax("book import '" + (directory_ / "one.csv").string() + "'" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(fs::is_symlink(Book()));
    EXPECT_EQ(ReadBytes(directory_ / "real" / "book.adb"), ",Ann,Lee,,Acme,,,555-1,office\n,Bo,Ek,,,,,555-2,\n,Cy,,,,,,9,\n\fTeam,0.0,1.0\n");
}

}  // namespace
