// orvixfax book, run as the user runs it, on hand-made files.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class BookVerbTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("orvixfax-book-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory / "book");
    }
    void TearDown() override { fs::remove_all(directory); }

    static std::string Read(const fs::path &path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    void Write(const fs::path &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    fs::path Book() const { return directory / "book" / "OrvixFax.adb"; }

    Outcome Orvixfax(const std::string &arguments, const std::string &environment = "") {
        fs::path out = directory / "stdout";
        fs::path err = directory / "stderr";
        std::string command = environment + " '" + ORVIXFAX_PROGRAM + "' " + arguments + " >'" + out.string() +
                              "' 2>'" + err.string() + "'";
        int raw = std::system(command.c_str());
        int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return {status, Read(out), Read(err)};
    }
    std::string Dir() const { return " --dir '" + (directory / "book").string() + "'"; }

    fs::path directory;
};

const std::string kBook = ",Ann,Lee,,Acme,Sales,likes\\, fax,555-1234,office,555-9,home\n"
                          ",,,,Solo Inc,,,\n"
                          ",Zo\xe9,,,,,,7,\n"
                          "\fTeam,0.0,2.0\nGone,9.9\nAll,0.1,0.0\n";

TEST_F(BookVerbTest, ShowJsonIsTheBookAsLoaded) {
    Write(Book(), kBook);
    Outcome run = Orvixfax("book show --json" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    nlohmann::json expected = nlohmann::json::parse(R"({
      "persons": [
        {"firstName": "Ann", "lastName": "Lee", "company": "Acme", "department": "Sales",
         "notes": "likes, fax",
         "numbers": [{"number": "555-1234", "details": "office"}, {"number": "555-9", "details": "home"}]},
        {"firstName": "", "lastName": "", "company": "Solo Inc", "department": "", "notes": "", "numbers": []},
        {"firstName": "Zo\u00e9", "lastName": "", "company": "", "department": "", "notes": "",
         "numbers": [{"number": "7", "details": ""}]}
      ],
      "groups": [
        {"name": "Team", "members": [[0, 0], [2, 0]]},
        {"name": "All", "members": [[0, 1], [0, 0]]}
      ]})");
    EXPECT_EQ(nlohmann::json::parse(run.out), expected);
    EXPECT_EQ(Read(Book()), kBook) << "showing never writes";
}

TEST_F(BookVerbTest, ShowListsPersonsNumbersAndGroups) {
    Write(Book(), kBook);
    Outcome run = Orvixfax("book show" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("3 persons, 2 groups"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("number 0.1: 555-9  (home)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Group [All]\n  0.1: Ann Lee, 555-9\n  0.0: Ann Lee, 555-1234\n"), std::string::npos)
        << run.out;
}

TEST_F(BookVerbTest, MissingBookShowsEmpty) {
    Outcome run = Orvixfax("book show --json" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out), nlohmann::json::parse(R"({"persons": [], "groups": []})"));
    EXPECT_FALSE(fs::exists(Book()));
}

TEST_F(BookVerbTest, ResaveWritesTheBookAsTheDialogWould) {
    Write(Book(), kBook);
    Outcome run = Orvixfax("book resave" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    // The group without resolvable members is gone; the rest is unchanged.
    EXPECT_EQ(Read(Book()), ",Ann,Lee,,Acme,Sales,likes\\, fax,555-1234,office,555-9,home\n"
                            ",,,,Solo Inc,,,\n"
                            ",Zo\xe9,,,,,,7,\n"
                            "\fTeam,0.0,2.0\nAll,0.1,0.0\n");
}

TEST_F(BookVerbTest, ResaveIntoTheDefaultDirectoryMakesIt) {
    Outcome run = Orvixfax("book resave", "HOME='" + (directory / "home").string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(directory / "home/.local/share/orvixfax/OrvixFax.adb"), "\f");
}

TEST_F(BookVerbTest, ImportMergesAndCounts) {
    Write(Book(), ",Ann,Lee,,Acme,,,555,office\n\fTeam,0.0\n");
    Write(directory / "in.csv", "firstName,lastName,company,number,details\r\n"
                                "Ann,Lee,Acme,555,office\r\n"
                                "Ann,Lee,Acme,556,\"desk, left\"\r\n"
                                "Bo,Ek,,1,\r\n");
    Outcome run = Orvixfax("book import '" + (directory / "in.csv").string() + "'" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Added 1 person and 2 numbers"), std::string::npos) << run.out;
    EXPECT_EQ(Read(Book()), ",Ann,Lee,,Acme,,,555,office,556,desk\\, left\n,Bo,Ek,,,,,1,\n\fTeam,0.0\n");
}

TEST_F(BookVerbTest, MalformedImportNamesTheLineAndWritesNothing) {
    Write(Book(), kBook);
    Write(directory / "in.csv", "firstName,number\nBo,1\nCy,2,extra\nDi,3\n");
    Outcome run = Orvixfax("book import '" + (directory / "in.csv").string() + "'" + Dir());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("line 3: 3 fields where the header has 2"), std::string::npos) << run.err;
    EXPECT_EQ(Read(Book()), kBook);
    run = Orvixfax("book import '" + (directory / "missing.csv").string() + "'" + Dir());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(Read(Book()), kBook);
}

TEST_F(BookVerbTest, ExportWritesCsv) {
    Write(Book(), kBook);
    Outcome run = Orvixfax("book export '" + (directory / "out.csv").string() + "'" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Read(directory / "out.csv"), "firstName,lastName,company,department,notes,number,details\r\n"
                                           "Ann,Lee,Acme,Sales,\"likes, fax\",555-1234,office\r\n"
                                           "Ann,Lee,Acme,Sales,\"likes, fax\",555-9,home\r\n"
                                           ",,Solo Inc,,,,\r\n"
                                           "Zo\xe9,,,,,7,\r\n");
}

TEST_F(BookVerbTest, UsageErrorsAreBadInput) {
    EXPECT_EQ(Orvixfax("book").status, 2);
    EXPECT_EQ(Orvixfax("book import" + Dir()).status, 2);
    EXPECT_EQ(Orvixfax("book show --bogus").status, 2);
}

}  // namespace
