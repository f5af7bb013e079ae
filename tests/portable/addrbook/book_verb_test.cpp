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

#include "book_program.h"

namespace {

namespace fs = std::filesystem;

const std::string kBook = ",Ann,Lee,,Acme,Sales,likes\\, fax,555-1234,office,555-9,home\n"
                          ",,,,Solo Inc,,,\n"
                          ",Zo\xe9,,,,,,7,\n"
                          "\fTeam,0.0,2.0\nGone,9.9\nAll,0.1,0.0\n";

TEST_F(BookVerbTest, ShowJsonIsTheBookAsLoaded) {
    WriteBytes(Book(), kBook);
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
    EXPECT_EQ(ReadBytes(Book()), kBook) << "showing never writes";
}

TEST_F(BookVerbTest, ShowListsPersonsNumbersAndGroups) {
    WriteBytes(Book(), kBook);
    Outcome run = Orvixfax("book show" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("3 persons, 2 groups"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("number 0.1: 555-9  (home)"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Group [All]\n  0.1: Ann Lee, 555-9\n  0.0: Ann Lee, 555-1234\n"), std::string::npos)
        << run.out;
}

// The read-only verbs create nothing: a missing book is said, and the
// default directory is not made.
TEST_F(BookVerbTest, AMissingBookIsSaidAndNothingIsMade) {
    for (const char *verb : {"book show --json", "book export -", "book find x", "book group members Team"}) {
        Outcome run = Orvixfax(std::string(verb) + Dir());
        EXPECT_EQ(run.status, 1) << verb;
        EXPECT_NE(run.err.find("no address book at " + Book().string()), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const fs::path data = directory / "data";
    Outcome shown = Orvixfax("book show", "XDG_DATA_HOME='" + data.string() + "'");
    EXPECT_EQ(shown.status, 1);
    EXPECT_NE(shown.err.find("no address book at " + (data / "orvixfax/OrvixFax.adb").string()), std::string::npos)
        << shown.err;
    Outcome settings = Orvixfax("settings show", "XDG_DATA_HOME='" + data.string() + "'");
    EXPECT_EQ(settings.status, 0) << settings.err;
    EXPECT_NE(settings.out.find("(missing: every value is its default)"), std::string::npos);
    EXPECT_FALSE(fs::exists(data));
    EXPECT_EQ(fs::directory_iterator(directory / "book"), fs::directory_iterator());
}

TEST_F(BookVerbTest, ResaveWritesTheBookAsTheDialogWould) {
    WriteBytes(Book(), kBook);
    Outcome run = Orvixfax("book resave" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    // The group without resolvable members is gone; the rest is unchanged.
    EXPECT_EQ(ReadBytes(Book()), ",Ann,Lee,,Acme,Sales,likes\\, fax,555-1234,office,555-9,home\n"
                            ",,,,Solo Inc,,,\n"
                            ",Zo\xe9,,,,,,7,\n"
                            "\fTeam,0.0,2.0\nAll,0.1,0.0\n");
}

// The directory: --dir before or after the verb, else ORVIXFAX_DIR, else
// $XDG_DATA_HOME/orvixfax, else ~/.local/share/orvixfax (made by a verb
// that saves).
TEST_F(BookVerbTest, TheDirectoryComesFromTheOptionTheEnvironmentOrTheDefault) {
    Outcome run = Orvixfax("book resave", "HOME='" + (directory / "home").string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(directory / "home/.local/share/orvixfax/OrvixFax.adb"), "\f");
    run = Orvixfax("book resave", "XDG_DATA_HOME='" + (directory / "xdg").string() + "' HOME=/nonexistent");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(directory / "xdg/orvixfax/OrvixFax.adb"), "\f");

    WriteBytes(Book(), kBook);
    const std::string book = (directory / "book").string();
    EXPECT_EQ(Orvixfax("book show --json", "ORVIXFAX_DIR='" + book + "'").status, 0);
    EXPECT_EQ(Orvixfax("--dir '" + book + "' book show").status, 0);
    EXPECT_EQ(Orvixfax("book show --dir '" + book + "'").status, 0);
    Outcome missing = Orvixfax("book show", "ORVIXFAX_DIR='" + (directory / "nowhere").string() + "'");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("ORVIXFAX_DIR: \"" + (directory / "nowhere").string() + "\" is not a directory"),
              std::string::npos)
        << missing.err;
}

TEST_F(BookVerbTest, ImportMergesAndCounts) {
    WriteBytes(Book(), ",Ann,Lee,,Acme,,,555,office\n\fTeam,0.0\n");
    WriteBytes(directory / "in.csv", "firstName,lastName,company,number,details\r\n"
                                "Ann,Lee,Acme,555,office\r\n"
                                "Ann,Lee,Acme,556,\"desk, left\"\r\n"
                                "Bo,Ek,,1,\r\n");
    Outcome run = Orvixfax("book import '" + (directory / "in.csv").string() + "'" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Added 1 person and 2 numbers"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << "messages go to standard error";
    EXPECT_EQ(ReadBytes(Book()), ",Ann,Lee,,Acme,,,555,office,556,desk\\, left\n,Bo,Ek,,,,,1,\n\fTeam,0.0\n");
}

TEST_F(BookVerbTest, MalformedImportNamesTheLineAndWritesNothing) {
    WriteBytes(Book(), kBook);
    WriteBytes(directory / "in.csv", "firstName,number\nBo,1\nCy,2,extra\nDi,3\n");
    Outcome run = Orvixfax("book import '" + (directory / "in.csv").string() + "'" + Dir());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("line 3: 3 fields where the header has 2"), std::string::npos) << run.err;
    EXPECT_EQ(ReadBytes(Book()), kBook);
    EXPECT_FALSE(fs::exists(directory / "book" / "OrvixFax.adb.lock")) << "a bad CSV file is refused before the book is";
    run = Orvixfax("book import '" + (directory / "missing.csv").string() + "'" + Dir());
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(ReadBytes(Book()), kBook);
}

TEST_F(BookVerbTest, ExportWritesCsv) {
    WriteBytes(Book(), kBook);
    Outcome run = Orvixfax("book export '" + (directory / "out.csv").string() + "'" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(directory / "out.csv"), "firstName,lastName,company,department,notes,number,details,groups\r\n"
                                           "Ann,Lee,Acme,Sales,\"likes, fax\",555-1234,office,Team;All\r\n"
                                           "Ann,Lee,Acme,Sales,\"likes, fax\",555-9,home,All\r\n"
                                           ",,Solo Inc,,,,,\r\n"
                                           "Zo\xc3\xa9,,,,,7,,Team\r\n");
}

// The book's bytes are in the code page; CSV and JSON are UTF-8 (or the
// CSV's --encoding), converted at the edge and back without a change.
TEST_F(BookVerbTest, TextsRoundTripThroughTheCodePage) {
    const std::string csv = "firstName,lastName,company,department,notes,number,details,groups\r\n"
                            "Ren\xc3\xa9,Stra\xc3\x9f" "e,Caf\xc3\xa9 \xe2\x82\xac,,\xe2\x80\x9cquoted\xe2\x80\x9d,1,,\r\n";
    WriteBytes(directory / "in.csv", csv);
    ASSERT_EQ(Orvixfax("book import '" + (directory / "in.csv").string() + "'" + Dir()).status, 0);
    EXPECT_EQ(ReadBytes(Book()), ",Ren\xe9,Stra\xdf" "e,,Caf\xe9 \x80,,\x93quoted\x94,1,\n\f");
    Outcome json = Orvixfax("book show --json" + Dir());
    ASSERT_EQ(json.status, 0) << json.err;
    nlohmann::json person = nlohmann::json::parse(json.out)["persons"][0];
    EXPECT_EQ(person["lastName"], "Stra\xc3\x9f" "e");
    EXPECT_EQ(person["company"], "Caf\xc3\xa9 \xe2\x82\xac");
    Outcome back = Orvixfax("book export -" + Dir());
    ASSERT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out, csv);
    Outcome listing = Orvixfax("book show" + Dir());
    EXPECT_NE(listing.out.find("Person 0: Ren\xc3\xa9 Stra\xc3\x9f" "e\n  company:    Caf\xc3\xa9 \xe2\x82\xac\n"), std::string::npos)
        << listing.out;

    // Another encoding on the way in and out; a text it has no form for.
    WriteBytes(directory / "latin.csv", "lastName,number\n\xd8" "deg\xe5rd,2\n");
    Outcome latin = Orvixfax("book import --encoding ISO-8859-1 '" + (directory / "latin.csv").string() + "'" + Dir());
    ASSERT_EQ(latin.status, 0) << latin.err;
    Outcome refused = Orvixfax("book export --encoding latin1 '" + (directory / "out.csv").string() + "'" + Dir());
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("CSV line 2: U+20AC has no form in latin1"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(directory / "out.csv"));

    // A character the code page lacks is refused with its line and column.
    const std::string before = ReadBytes(Book());
    WriteBytes(directory / "greek.csv", "firstName,lastName\nAnn,Lee\nBo,\xce\xa9mega\n");
    Outcome greek = Orvixfax("book import '" + (directory / "greek.csv").string() + "'" + Dir());
    EXPECT_EQ(greek.status, 2);
    EXPECT_NE(greek.err.find("line 3: lastName: the character U+03A9 has no byte in code page 1252"), std::string::npos)
        << greek.err;
    EXPECT_EQ(ReadBytes(Book()), before);

    // Japanese systems: the same texts in code page 932.
    fs::remove(Book());
    WriteBytes(directory / "jp.csv", "lastName,number\n\xe5\xb1\xb1\xe7\x94\xb0,3\n");
    ASSERT_EQ(Orvixfax("book import --codepage 932 '" + (directory / "jp.csv").string() + "'" + Dir()).status, 0);
    EXPECT_EQ(ReadBytes(Book()), ",,\x8eR\x93" "c,,,,,3,\n\f");
    Outcome jp = Orvixfax("book export - --codepage 932" + Dir());
    EXPECT_EQ(jp.out, "firstName,lastName,company,department,notes,number,details,groups\r\n,\xe5\xb1\xb1\xe7\x94\xb0,,,,3,,\r\n");
}

// "-" is standard input and output for the file arguments.
TEST_F(BookVerbTest, ADashIsStandardInputOrOutput) {
    WriteBytes(directory / "in.csv", "firstName,number\nBo,7\n");
    Outcome run = Orvixfax("book import -" + Dir() + " <'" + (directory / "in.csv").string() + "'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(Book()), ",Bo,,,,,,7,\n\f");
    run = Orvixfax("book export -" + Dir());
    EXPECT_EQ(run.out, "firstName,lastName,company,department,notes,number,details,groups\r\nBo,,,,,7,,\r\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(BookVerbTest, UsageErrorsAreBadInput) {
    EXPECT_EQ(Orvixfax("book").status, 2);
    EXPECT_EQ(Orvixfax("book import" + Dir()).status, 2);
    EXPECT_EQ(Orvixfax("book show --bogus").status, 2);
}

}  // namespace

namespace {

// The book verbs keep the editors' rules.
class BookChangeTest : public BookVerbTest {
protected:
    void SetUp() override {
        BookVerbTest::SetUp();
        WriteBytes(Book(), ",Ann,Lee,,Acme,,,555-1,office,555-2,home\n"
                      ",Bo,\xd8" "degaard,,Caf\xe9 Nord,,,777,\n"
                      ",,,,Solo Inc,,,888,\n"
                      "\fTeam,0.0,1.0\nSolo,2.0\n");
    }
};

TEST_F(BookChangeTest, AddKeepsThePersonEditorsLimitsAndPairsDetailsWithNumbers) {
    Outcome run = Orvixfax("book add --first-name Cy --last-name 'R\xc3\xb8" "d' --number 1 --details desk --number 2"
                           " --details mobile --number 3" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("Added Cy R\xc3\xb8" "d (3 numbers)"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(ReadBytes(Book()).find(",Cy,R\xf8" "d,,,,,1,desk,2,mobile,3,\n\f"), std::string::npos) << ReadBytes(Book());

    const std::string before = ReadBytes(Book());
    Outcome tooLong = Orvixfax("book add --last-name " + std::string(46, 'x') + Dir());
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.err.find("--last-name: \"" + std::string(46, 'x') +
                               "\" is longer than the person editor's limit of 45 characters"),
              std::string::npos)
        << tooLong.err;
    Outcome longNumber = Orvixfax("book add --company X --number " + std::string(41, '9') + Dir());
    EXPECT_NE(longNumber.err.find("the number editor's limit of 40"), std::string::npos) << longNumber.err;
    EXPECT_EQ(Orvixfax("book add --department Sales" + Dir()).status, 2) << "no name and no company";
    EXPECT_EQ(Orvixfax("book add --company X --details early --number 1" + Dir()).status, 2);
    EXPECT_EQ(ReadBytes(Book()), before);
}

TEST_F(BookChangeTest, FindIgnoresCaseInTheCodePage) {
    Outcome caf = Orvixfax("book find caf" + Dir());
    ASSERT_EQ(caf.status, 0) << caf.err;
    EXPECT_EQ(caf.out, "person Bo \xc3\x98" "degaard  (Caf\xc3\xa9 Nord)\n");
    Outcome odeg = Orvixfax("book find \xc3\xb8" "deg" + Dir());
    EXPECT_EQ(odeg.out, "person Bo \xc3\x98" "degaard  (Caf\xc3\xa9 Nord)\n");
    Outcome team = Orvixfax("book find o" + Dir());
    EXPECT_NE(team.out.find("group  [Solo]\n"), std::string::npos) << team.out;
    EXPECT_NE(team.out.find("person Solo Inc\n"), std::string::npos) << team.out;
    EXPECT_NE(team.out.find("number Ann Lee:555-2  (Acme, home)\n"), std::string::npos) << team.out;
    EXPECT_EQ(Orvixfax("book find zzz" + Dir()).status, 1);
}

TEST_F(BookChangeTest, GroupsHaveUniqueSafeNamesAndTheEditorsMemberOrder) {
    Outcome made = Orvixfax("book group add Night 'Solo Inc' 'bo \xc3\xb8" "degaard' 'Ann Lee:555-2'" + Dir());
    ASSERT_EQ(made.status, 0) << made.err;
    // The group editor's lines sort "Lee, Ann", "Solo Inc", "\xd8degaard, Bo" (bytes above ASCII last here).
    Outcome members = Orvixfax("book group members '[Night]'" + Dir());
    EXPECT_EQ(members.out, "Ann Lee:555-2  (Acme, home)\nSolo Inc:888\nBo \xc3\x98" "degaard:777  (Caf\xc3\xa9 Nord)\n");
    // The same name again adds to that group; a member already there stays once.
    ASSERT_EQ(Orvixfax("book group add Night 'Ann Lee:555-1' 'Solo Inc'" + Dir()).status, 0);
    EXPECT_NE(ReadBytes(Book()).find("\fTeam,0.0,1.0\nSolo,2.0\nNight,0.0,0.1,2.0,1.0\n"), std::string::npos) << ReadBytes(Book());

    const std::string before = ReadBytes(Book());
    Outcome bracket = Orvixfax("book group add '[Odd]' 'Solo Inc'" + Dir());
    EXPECT_EQ(bracket.status, 2);
    EXPECT_NE(bracket.err.find("cannot hold [ or ]"), std::string::npos) << bracket.err;
    EXPECT_EQ(Orvixfax("book group add Empty" + Dir()).status, 2) << "a group needs members";
    Outcome ambiguous = Orvixfax("book group add Home 'Ann Lee'" + Dir());
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_NE(ambiguous.err.find("Ann Lee:555-1  (Acme, office)\n  Ann Lee:555-2  (Acme, home)"), std::string::npos)
        << ambiguous.err;
    EXPECT_EQ(Orvixfax("book group add " + std::string(80, 'g') + " 'Solo Inc'" + Dir()).status, 2);
    EXPECT_EQ(ReadBytes(Book()), before);

    // Members out, and a group left empty goes.
    ASSERT_EQ(Orvixfax("book group remove Team 'Ann Lee:555-1'" + Dir()).status, 0);
    Outcome last = Orvixfax("book group remove Team 'Bo \xc3\x98" "degaard'" + Dir());
    ASSERT_EQ(last.status, 0) << last.err;
    EXPECT_NE(last.err.find("Removed the last members of [Team], and with them the group"), std::string::npos) << last.err;
    ASSERT_EQ(Orvixfax("book group remove solo" + Dir()).status, 0);
    EXPECT_NE(ReadBytes(Book()).find("\fNight,0.0,0.1,2.0,1.0\n"), std::string::npos) << ReadBytes(Book());
}

TEST_F(BookChangeTest, RemovingAPersonTakesItOutOfItsGroupsAndEmptyGroupsGo) {
    Outcome number = Orvixfax("book remove 'Ann Lee:555-1'" + Dir());
    ASSERT_EQ(number.status, 0) << number.err;
    EXPECT_EQ(ReadBytes(Book()), ",Ann,Lee,,Acme,,,555-2,home\n,Bo,\xd8" "degaard,,Caf\xe9 Nord,,,777,\n,,,,Solo Inc,,,888,\n"
                            "\fTeam,1.0\nSolo,2.0\n");
    Outcome person = Orvixfax("book remove 'bo \xc3\xb8" "degaard'" + Dir());
    ASSERT_EQ(person.status, 0) << person.err;
    EXPECT_NE(person.err.find("1 group left without members went too"), std::string::npos) << person.err;
    EXPECT_EQ(ReadBytes(Book()), ",Ann,Lee,,Acme,,,555-2,home\n,,,,Solo Inc,,,888,\n\fSolo,1.0\n");
    ASSERT_EQ(Orvixfax("book remove 'lee, ann'" + Dir()).status, 0);
    // "Solo" names a group; "Solo Inc" the person: each names one thing.
    ASSERT_EQ(Orvixfax("book remove '[Solo]'" + Dir()).status, 0);
    EXPECT_EQ(ReadBytes(Book()), ",,,,Solo Inc,,,888,\n\f");
    Outcome unknown = Orvixfax("book remove 'Nobody'" + Dir());
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("matches nothing"), std::string::npos) << unknown.err;
    EXPECT_EQ(ReadBytes(Book()), ",,,,Solo Inc,,,888,\n\f");
}

}  // namespace
