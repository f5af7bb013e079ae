// orvixfax book import and export with the files contacts programs write,
// run as the user runs them, on samples made for these tests.
#include <algorithm>
#include <vector>

#include <nlohmann/json.hpp>

#include "book_program.h"

namespace {

const fs::path kSamples = CONTACTS_SAMPLES;

class BookContactsTest : public BookVerbTest {
protected:
    // The book as `book show --json` gives it, one line per person, number
    // and group; groups by name and their members sorted, as their order
    // in the file means nothing to the dialogs' sorted lists.
    std::string Shown(const std::string &dir) {
        Outcome run = Orvixfax("book show --json --dir '" + dir + "'");
        EXPECT_EQ(run.status, 0) << run.err;
        nlohmann::json book = nlohmann::json::parse(run.out);
        std::string text;
        std::vector<std::vector<std::string>> numbers;
        for (const auto &person : book["persons"]) {
            text += "P " + person["firstName"].get<std::string>() + "|" + person["lastName"].get<std::string>() + "|" +
                    person["company"].get<std::string>() + "|" + person["department"].get<std::string>() + "|" +
                    person["notes"].get<std::string>() + "\n";
            numbers.emplace_back();
            for (const auto &number : person["numbers"]) {
                text += "  N " + number["number"].get<std::string>() + "|" + number["details"].get<std::string>() + "\n";
                numbers.back().push_back(number["number"].get<std::string>());
            }
        }
        std::vector<std::string> groups;
        for (const auto &group : book["groups"]) {
            std::vector<std::string> members;
            for (const auto &member : group["members"])
                members.push_back(std::to_string(member[0].get<int>()) + ":" +
                                  numbers[member[0].get<size_t>()][member[1].get<size_t>()]);
            std::sort(members.begin(), members.end());
            std::string line = "G " + group["name"].get<std::string>() + ":";
            for (const std::string &member : members) line += " " + member;
            groups.push_back(line + "\n");
        }
        std::sort(groups.begin(), groups.end());
        for (const std::string &line : groups) text += line;
        return text;
    }
    using BookVerbTest::Dir;
    std::string Dir(const std::string &name) {
        fs::create_directories(directory / name);
        return (directory / name).string();
    }
    Outcome Import(const fs::path &file, const std::string &dir, const std::string &options = "") {
        return Orvixfax("book import '" + file.string() + "' --dir '" + dir + "'" + options);
    }
};

int Occurrences(const std::string &text, const std::string &part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

struct Sample {
    const char *file;
    const char *book;     // as Shown gives it
    const char *message;  // what import says on standard error
};

const Sample kSamplesRead[] = {
    {"outlook.csv",
     "P Ann|Lee|Acme Tools|Purchasing|Calls back, mornings only\n"
     "  N +49 30 5550 1234|business fax\n  N +49 30 5550 9876|home fax\n"
     "P ||Nordic Freight AB|Dispatch|\n  N +46 31 555 0199|business fax\n  N +46 31 555 0198|other fax\n"
     "P Chlo\xc3\xa9|Dubois|Caf\xc3\xa9 Cr\xc3\xa8me||Vacances en ao\xc3\xbbt\n  N +33 1 55 50 12 12|other fax\n"
     "G Berlin: 0:+49 30 5550 1234 0:+49 30 5550 9876\n"
     "G Suppliers: 0:+49 30 5550 1234 0:+49 30 5550 9876 1:+46 31 555 0198 1:+46 31 555 0199\n",
     "columns not read: \"Middle Name\", \"Title\", \"Suffix\", \"Job Title\", \"Business Street\", \"Business City\", "
     "\"Business Phone\", \"Home Phone\", \"Mobile Phone\", \"E-mail Address\"\n"
     "orvixfax book import: OUT: 1 contact without a fax number skipped\n"
     "Added 3 persons, 5 numbers and 2 groups (6 members added to 2 groups) to"},
    {"google.csv",
     "P Ann|Lee|Acme Tools|Purchasing|\n  N +49 30 5550 1234|work fax\n  N +49 30 5550 1235|work fax\n"
     "P Ravi|Shah|Shah & Sons||Night shift, ask for Ravi\n  N +44 20 5550 3344|home fax\n"
     "G Clients: 1:+44 20 5550 3344\nG Night: 1:+44 20 5550 3344\n"
     "G Suppliers: 0:+49 30 5550 1234 0:+49 30 5550 1235\n",
     "1 contact without a fax number skipped\nAdded 2 persons, 3 numbers and 3 groups"},
    {"thunderbird.tab",
     "P Ann|Lee|Acme Tools|Purchasing|\n  N +49 30 5550 1234|\n"
     "P Helpdesk|\xc3\x98" "deg\xc3\xa5rd|||Open 8-16\n  N +47 22 55 50 10|\n",
     "1 contact without a fax number skipped\nAdded 2 persons and 2 numbers to"},
    {"contacts-3.0.vcf",
     "P Ann|Lee|Acme Tools|Purchasing|Calls back, mornings only; the warehouse fax is on the ground floor.\r\n"
     "Ask for Ann.\n"
     "  N +49 30 5550 1234|work, pref\n  N +49 30 5550 9876|home\n  N +49 30 5550 4455|\n"
     "P ||Nordic Freight AB|Dispatch|\n  N +46 31 555 0199|work\n"
     "G Berlin: 0:+49 30 5550 1234 0:+49 30 5550 4455 0:+49 30 5550 9876\n"
     "G Suppliers: 0:+49 30 5550 1234 0:+49 30 5550 4455 0:+49 30 5550 9876 1:+46 31 555 0199\n",
     "1 card without a fax number skipped\nAdded 2 persons, 4 numbers and 2 groups"},
    {"contacts-4.0.vcf",
     "P Chlo\xc3\xa9|Dubois|Caf\xc3\xa9 Cr\xc3\xa8me, Paris|R\xc3\xa9" "ception|Vacances en ao\xc3\xbbt. Les "
     "t\xc3\xa9l\xc3\xa9" "copies arrivent \xc3\xa0 la r\xc3\xa9" "ception et sont remises \xc3\xa0 Chlo\xc3\xa9 ; le "
     "samedi, personne.\n"
     "  N +33-1-55-50-12-12|work\n  N +33 1 55 50 12 13|Salle de r\xc3\xa9union\n"
     "P ||Shah & Sons||\n  N +44 20 5550 3344|\n"
     "G Clients: 0:+33 1 55 50 12 13 0:+33-1-55-50-12-12\n"
     "G R\xc3\xa9unions: 0:+33 1 55 50 12 13\n"
     "G \xc3\x8ele-de-France: 0:+33 1 55 50 12 13 0:+33-1-55-50-12-12\n",
     "Added 2 persons, 3 numbers and 3 groups"},
};

// Each contacts program's file gives its contacts with fax numbers, and
// what the book writes back reads as the same book, as CSV and as vCard.
TEST_F(BookContactsTest, EachProgramsFileImportsAndExportsBack) {
    for (const Sample &sample : kSamplesRead) {
        SCOPED_TRACE(sample.file);
        const std::string dir = Dir(std::string("in-") + sample.file);
        Outcome run = Import(kSamples / sample.file, dir);
        ASSERT_EQ(run.status, 0) << run.err;
        std::string message = sample.message;
        const std::string name = "OUT";
        if (message.find(name) != std::string::npos)
            message.replace(message.find(name), name.size(), (kSamples / sample.file).string());
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        for (const char *said : {"columns not read", "skipped", "Added"})
            EXPECT_LE(Occurrences(run.err, said), 1) << "each thing said once:\n" << run.err;
        const std::string book = Shown(dir);
        EXPECT_EQ(book, sample.book);
        for (const char *format : {"csv", "vcf"}) {
            const fs::path written = directory / (std::string("out-") + sample.file + "." + format);
            Outcome exported = Orvixfax("book export '" + written.string() + "' --dir '" + dir + "'");
            ASSERT_EQ(exported.status, 0) << exported.err;
            const std::string again = Dir(std::string("again-") + sample.file + "." + format);
            Outcome back = Import(written, again);
            ASSERT_EQ(back.status, 0) << back.err;
            EXPECT_EQ(back.err.find("skipped"), std::string::npos) << back.err;
            EXPECT_EQ(Shown(again), book) << format << ":\n" << ReadBytes(written);
        }
    }
}

// A book of every kind of text: book -> CSV -> book and book -> vCard ->
// book keep persons, numbers with their details, and groups.
TEST_F(BookContactsTest, RoundTripsKeepPersonsNumbersDetailsAndGroups) {
    WriteBytes(Book(), ",Ann,Lee,,Acme\\, Inc,R;D,two\r\nlines \"quoted\"\\\\,555-1,office\\, left,555-2,a:b;c\n"
                  ",,,,Caf\xe9 \x80,,,+33 1,\n"
                  ",Bo,\xd8" "degaard,,,,,\n"
                  ",Cy,,,,,,7,desk\n"
                  "\fTeam;1,0.0,1.0\nNight \\\\ late,0.1,2.0\n");
    const std::string before = Shown((directory / "book").string());
    for (const char *how : {"x.csv", "x.csv --separator ';'", "x.csv --separator tab", "x.vcf", "x.txt --format vcard"}) {
        SCOPED_TRACE(how);
        const std::string file = (directory / how).string();
        const std::string options = std::string(how).substr(std::string(how).find(' ') == std::string::npos
                                                                 ? std::string(how).size()
                                                                 : std::string(how).find(' '));
        const std::string path = (directory / std::string(how).substr(0, 5)).string();
        Outcome exported = Orvixfax("book export '" + path + "'" + options + Dir());
        ASSERT_EQ(exported.status, 0) << exported.err;
        const std::string again = Dir(std::string("again-") + std::to_string(std::hash<std::string>()(how)));
        Outcome back = Import(path, again, options);
        ASSERT_EQ(back.status, 0) << back.err;
        EXPECT_EQ(Shown(again), before) << ReadBytes(path);
    }
    EXPECT_NE(before.find("G Team;1: 0:555-1 1:+33 1\n"), std::string::npos) << before;
}

TEST_F(BookContactsTest, DryRunListsWhatWouldChangeAndWritesNothing) {
    const std::string book = ",Ann,Lee,,Acme,,,555,office\n\fTeam,0.0\n";
    WriteBytes(Book(), book);
    WriteBytes(directory / "in.csv", "First Name;Last Name;Company;Business Fax;Home Fax;Categories\n"
                                "Ann;Lee;Acme;555;556;\"Team;Night\"\n"
                                ";;;;;\n"
                                "Bo;Ek;;;1;Team\n");
    Outcome run = Orvixfax("book import --dry-run '" + (directory / "in.csv").string() + "'" + Dir());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "add number Ann Lee:556  (home fax)\n"
                       "add person Bo Ek\n"
                       "add number Bo Ek:1  (home fax)\n"
                       "add to [Team]: Bo Ek:1\n"
                       "add to [Team]: Ann Lee:556\n"
                       "make group [Night]\n"
                       "add to [Night]: Ann Lee:555\n"
                       "add to [Night]: Ann Lee:556\n");
    EXPECT_NE(run.err.find("Would add 1 person, 2 numbers and 1 group (4 members added to 2 groups) to " +
                           Book().string() + "; nothing was written"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(Book()), book);
    EXPECT_FALSE(fs::exists(directory / "book" / "OrvixFax.adb.lock")) << "a dry run takes no lock";
    // Without a book, the import is shown as into an empty one, and the
    // default directory is not made.
    const fs::path data = directory / "data";
    Outcome fresh = Orvixfax("book import --dry-run '" + (directory / "in.csv").string() + "'",
                             "XDG_DATA_HOME='" + data.string() + "'");
    EXPECT_EQ(fresh.status, 0) << fresh.err;
    EXPECT_NE(fresh.err.find("Would add 2 persons, 3 numbers and 2 groups"), std::string::npos) << fresh.err;
    EXPECT_FALSE(fs::exists(data));
}

TEST_F(BookContactsTest, BadFilesAndOptionsAreRefusedAndNothingIsWritten) {
    const std::string book = ",Ann,Lee,,Acme,,,555,office\n\f";
    WriteBytes(Book(), book);
    const fs::path cards = directory / "bad.vcf";
    WriteBytes(cards, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bo\r\nTEL;TYPE=fax:1\r\nEND:VCARD\r\n"
                 "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cy\r\nTEL;TYPE=fax 2\r\nEND:VCARD\r\n");
    Outcome run = Import(cards, (directory / "book").string());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(cards.string() + ", line 9: a line without ':' after its name; nothing was imported"),
              std::string::npos)
        << run.err;
    WriteBytes(directory / "team.csv", "firstName,number,groups\nBo,1,Team\nCy,2,[Team]\n");
    run = Import(directory / "team.csv", (directory / "book").string());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("line 3: groups: a group's name cannot hold [ or ]"), std::string::npos) << run.err;
    WriteBytes(directory / "greek.vcf", "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:\xce\xa9mega\r\nTEL;TYPE=fax:1\r\nEND:VCARD\r\n");
    run = Import(directory / "greek.vcf", (directory / "book").string());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("line 3: FN: the character U+03A9 has no byte in code page 1252"), std::string::npos)
        << run.err;
    EXPECT_EQ(Import(directory / "team.csv", (directory / "book").string(), " --separator '|'").status, 2);
    EXPECT_EQ(Import(cards, (directory / "book").string(), " --separator ';'").status, 2) << "no separator in vCard";
    EXPECT_EQ(Import(cards, (directory / "book").string(), " --format xml").status, 2);
    Outcome latin = Orvixfax("book export '" + (directory / "out.vcf").string() + "' --encoding latin1" + Dir());
    EXPECT_EQ(latin.status, 2);
    EXPECT_NE(latin.err.find("vCard files are written in UTF-8"), std::string::npos) << latin.err;
    EXPECT_FALSE(fs::exists(directory / "out.vcf"));
    EXPECT_EQ(ReadBytes(Book()), book);
}

}  // namespace
