// CSV reading, writing and merging of the book command.
#include "orvixfax/book_csv.h"

#include <set>

#include "book_fixture.h"

namespace {

class BookCsvTest : public BookTest {
protected:
    std::string Error(const std::string &text) {
        std::vector<PersonRow> rows;
        std::string error;
        EXPECT_FALSE(ParseBookCsv(text, rows, error)) << text;
        return error;
    }
    std::vector<PersonRow> Rows(const std::string &text) {
        std::vector<PersonRow> rows;
        std::string error;
        EXPECT_TRUE(ParseBookCsv(text, rows, error)) << error;
        return rows;
    }
};

TEST_F(BookCsvTest, QuotedFieldsHoldSeparatorsQuotesAndLineBreaks) {
    auto rows = Rows("number,notes,firstName\r\n"
                     "\"1,2\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\n"
                     "3,,Bo\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].number, "1,2");
    EXPECT_EQ(rows[0].notes, "say \"hi\"");
    EXPECT_EQ(rows[0].firstName, "two\r\nlines");
    EXPECT_EQ(rows[0].line, 2);
    EXPECT_EQ(rows[1].line, 4) << "counted from where the row starts, past the quoted line break";
    EXPECT_EQ(rows[1].firstName, "Bo");
}

TEST_F(BookCsvTest, HeaderNamesColumnsInAnyOrderAndCase) {
    auto rows = Rows("\xEF\xBB\xBF" "DETAILS,Number,lastname\nhome,5,Lee\n\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].details, "home");
    EXPECT_EQ(rows[0].number, "5");
    EXPECT_EQ(rows[0].lastName, "Lee");
}

TEST_F(BookCsvTest, MalformedTextNamesItsLine) {
    EXPECT_EQ(Error(""), "line 1: no header row");
    EXPECT_NE(Error("phone,email\n1,a\n").find("line 1: no column the book reads"), std::string::npos);
    EXPECT_EQ(Error("number,Number\n"), "line 1: column \"Number\" appears twice");
    EXPECT_EQ(Error("First Name,firstname\n"), "line 1: column \"firstname\" appears twice");
    EXPECT_EQ(Error("firstName,number\nA,1\nB\n"), "line 3: 1 fields where the header has 2");
    EXPECT_EQ(Error("firstName,number\nA,1\n\"B,2\n"), "line 3: a quoted field is not closed");
    EXPECT_EQ(Error("firstName,number\nA,1\"b\n"), "line 2: a quote inside a field that is not quoted");
    EXPECT_EQ(Error("firstName,number\n\"A\"x,b\n"), "line 2: text after the closing quote of a field");
    EXPECT_EQ(Error("firstName,number,details\nA,,b\n"), "line 2: details without a number");
    EXPECT_EQ(Error("firstName,number\nA," + std::string(80, '9') + "\n"), "line 2: number is longer than 79 characters");
    EXPECT_EQ(Error("firstName\n" + std::string(36, 'x') + "\n"), "line 2: firstName is longer than 35 characters");
    EXPECT_EQ(Error("notes,firstName\n\"a\nb\",A\nx" + std::string(1, '\0') + ",B\n"), "line 4: notes holds a zero byte");
    // The person editor's rule: a name or a company.
    EXPECT_EQ(Error("firstName,department,number\nA,,1\n,Sales,2\n"),
              "line 3: a person needs a first name, a last name or a company");
    // The group editor's rules, and members are numbers.
    EXPECT_EQ(Error("firstName,number,groups\nA,,Team\n"),
              "line 2: groups without a number (a group's members are numbers)");
    EXPECT_EQ(Error("firstName,number,groups\nA,1,Team;[Odd]\n"),
              "line 2: groups: a group's name cannot hold [ or ] (the lists show groups in brackets)");
    EXPECT_NE(Error("firstName,number,groups\nA,1," + std::string(80, 'g') + "\n").find("line 2: groups: a group's name is longer than"),
              std::string::npos);
}

TEST_F(BookCsvTest, BlankRowsAndRowsOfEmptyFieldsAreSkipped) {
    auto rows = Rows("firstName;number\r\n\r\n;\r\nAnn;1\r\n;;\r\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].firstName, "Ann");
    EXPECT_EQ(rows[0].line, 4);
}

TEST_F(BookCsvTest, TheSeparatorIsTheHeaderRowsOrTheOneGiven) {
    EXPECT_EQ(DetectSeparator("firstName;lastName;\"a,b,c\"\n1,2,3,4,5\n"), ';');
    EXPECT_EQ(DetectSeparator("\xEF\xBB\xBF" "First Name\tLast Name\tFax Number\n"), '\t');
    EXPECT_EQ(DetectSeparator("firstName,notes;x\n"), ',');
    EXPECT_EQ(DetectSeparator("number\n"), ',');
    std::vector<PersonRow> rows;
    std::string error;
    ASSERT_TRUE(ParseBookCsv("firstName;notes\nAnn;a,b\n", rows, error, nullptr, ';')) << error;
    EXPECT_EQ(rows[0].notes, "a,b");
    EXPECT_FALSE(ParseBookCsv("firstName;notes\nAnn;a,b\n", rows, error, nullptr, ',')) << "a,b is two fields here";
}

// The columns Outlook, Google Contacts and Thunderbird write, read beside
// the book's own; each fax column is a number with its kind as details.
TEST_F(BookCsvTest, ContactsProgramsColumnsGiveNumbersWithTheirKinds) {
    auto rows = Rows("Given Name,Family Name,Organization 1 - Name,Organization 1 - Department,Business Fax,"
                     "Home  Fax,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,Group Membership\n"
                     "Ann,Lee,Acme,Sales,1,,* Work Fax,2 ::: 3,Mobile,4,* myContacts ::: Team ::: Night\n");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].company, "Acme");
    EXPECT_EQ(rows[0].department, "Sales");
    EXPECT_EQ(rows[0].number + "|" + rows[0].details, "1|business fax");
    EXPECT_EQ(rows[1].number + "|" + rows[1].details, "2|work fax");
    EXPECT_EQ(rows[2].number + "|" + rows[2].details, "3|work fax");
    EXPECT_EQ(rows[2].groups, (std::vector<std::string>{"Team", "Night"}));
    // A contact without a fax is skipped, and counted; a name from the
    // display name when there is no other.
    ImportSummary summary;
    std::vector<PersonRow> read;
    std::string error;
    ASSERT_TRUE(ReadBookCsv("Display Name,Fax Number,E-mail Address,Categories\nBo Ek,5,b@x,A;B\\;C\nCy,,c@x,\n", nullptr,
                            0,
                            [&](const PersonRow &row) {
                                read.push_back(row);
                                return true;
                            },
                            summary, error))
        << error;
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].firstName + "|" + read[0].lastName + "|" + read[0].details, "Bo|Ek|");
    EXPECT_EQ(read[0].groups, (std::vector<std::string>{"A", "B;C"}));
    EXPECT_EQ(summary.skipped, 1);
    EXPECT_EQ(summary.ignored, (std::vector<std::string>{"E-mail Address"}));
}

TEST_F(BookCsvTest, LongestFieldsThatFitAreTaken) {
    auto rows = Rows("firstName,lastName,company,department,notes,number,details\n" + std::string(35, 'f') + ',' +
                     std::string(45, 'l') + ',' + std::string(39, 'c') + ',' + std::string(39, 'd') + ',' +
                     std::string(249, 'n') + ',' + std::string(79, '9') + ',' + std::string(29, 't') + '\n');
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].notes.size(), 249u);
}

TEST_F(BookCsvTest, ExportWritesOneRowPerNumberAndQuotesWhereNeeded) {
    Empty();
    AddPerson("Ann", "Lee", "Acme, Inc", {{"555", "office"}, {"556", "say \"hi\""}});
    PersonRecord *solo = AddPerson("", "", "Solo");
    CopyField(solo->notes, "two\nlines");
    AddPerson(" padded ", "", "");
    EXPECT_EQ(FormatBookCsv(context_),
              "firstName,lastName,company,department,notes,number,details,groups\r\n"
              "Ann,Lee,\"Acme, Inc\",,,555,office,\r\n"
              "Ann,Lee,\"Acme, Inc\",,,556,\"say \"\"hi\"\"\",\r\n"
              ",,Solo,,\"two\nlines\",,,\r\n"
              "\" padded \",,,,,,,\r\n");
}

TEST_F(BookCsvTest, ExportThenImportGivesTheSameBook) {
    for (char separator : {',', ';', '\t'}) {
        Empty();
        PersonRecord *ann = AddPerson("Ann", "Lee", "Acme, Inc", {{"555", "office"}, {"556", "say \"hi\""}});
        PersonRecord *solo = AddPerson("", "", "Solo; Ltd", {{"7", ""}});
        CopyField(solo->notes, "two\r\nlines\tand\fmore");
        AddPerson("Bo", "", "");
        // Groups in the order an import makes them, members in the editor's.
        AddGroup("Team", {{ann, NumberAt(ann, 0)}, {ann, NumberAt(ann, 1)}});
        AddGroup("R&D; Lab\\1", {{ann, NumberAt(ann, 1)}, {solo, NumberAt(solo, 0)}});
        std::string before = DumpBook(context_);
        std::string csv = FormatBookCsv(context_, nullptr, separator);

        Empty();
        MergeReport counts;
        std::vector<PersonRow> rows;
        std::string error;
        ASSERT_TRUE(ParseBookCsv(csv, rows, error, nullptr, 0)) << error << csv;
        ASSERT_TRUE(MergeBookRows(context_, rows, counts));
        EXPECT_EQ(counts.persons, 3);
        EXPECT_EQ(counts.numbers, 3);
        EXPECT_EQ(counts.groupsMade, 2);
        EXPECT_EQ(DumpBook(context_), before) << csv;
    }
}

// An import adds its numbers to the groups of the book, keeping what they
// hold, and makes the groups that are missing.
TEST_F(BookCsvTest, ImportedNumbersJoinTheirGroups) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme", {{"555", "office"}});
    AddGroup("Team", {{ann, NumberAt(ann, 0)}});
    MergeReport report;
    ASSERT_TRUE(MergeBookRows(context_,
                              Rows("firstName,lastName,company,number,groups\n"
                                   "Ann,Lee,Acme,555,Team;Night\n"  // known number, known group: no change there
                                   "Bo,Ek,,1,team\n"                // names compare as the group editor's do
                                   "Bo,Ek,,2,Team\n"),
                              report));
    EXPECT_EQ(report.groupsMade, 2);
    EXPECT_EQ(report.groupsChanged, 1);
    EXPECT_EQ(report.members, 3);
    // "Ek, Bo" before "Lee, Ann": the group editor's order.
    EXPECT_EQ(DumpBook(context_), "P|Ann|Lee|Acme||\n  N|555|office\nP|Bo|Ek|||\n  N|1|\n  N|2|\n"
                                  "G|Team| 1.1 0.0\nG|Night| 0.0\nG|team| 1.0\n");
}

TEST_F(BookCsvTest, MergeAddsOnlyWhatIsNew) {
    Empty();
    AddPerson("Ann", "Lee", "Acme", {{"555", "office"}});
    MergeReport counts;
    ASSERT_TRUE(MergeBookRows(context_,
                              Rows("firstName,lastName,company,number,details\n"
                                   "Ann,Lee,Acme,555,other details\n"  // known number
                                   "Ann,Lee,Acme,777,home\n"           // new number of a known person
                                   "Ann,Lee,,888,\n"                   // another company: another person
                                   "Bo,,,,\n"                          // a person without numbers
                                   "Bo,,,999,\n"),                     // who then gets one
                              counts));
    EXPECT_EQ(counts.persons, 2);
    EXPECT_EQ(counts.numbers, 3);
    EXPECT_EQ(DumpBook(context_), "P|Ann|Lee|Acme||\n  N|555|office\n  N|777|home\n"
                                  "P|Ann|Lee|||\n  N|888|\nP|Bo||||\n  N|999|\n");
}

// Many rows for one person: every number is checked against all the
// person has (also those of earlier rows, past the tables' first size), the
// first of twin persons takes the rows, and a group gets each number once.
TEST_F(BookCsvTest, ManyRowsOfOnePersonAddEachNumberOnce) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme", {{"1", "a"}, {"1", "b"}});
    PersonRecord *twin = AddPerson("Ann", "Lee", "Acme", {{"2", ""}});
    AddGroup("Team", {{ann, NumberAt(ann, 0)}});
    std::string csv = "firstName,lastName,company,number,groups\nAnn,Lee,Acme,1,Team\nAnn,Lee,Acme,2,\n";
    std::string expected = "P|Ann|Lee|Acme||\n  N|1|a\n  N|1|b\n  N|2|\n";
    for (int number = 100; number < 300; ++number) {
        for (int twice = 0; twice < 2; ++twice) csv += "Ann,Lee,Acme," + std::to_string(number) + ",Team\n";
        expected += "  N|" + std::to_string(number) + "|\n";
    }
    MergeReport report;
    ASSERT_TRUE(MergeBookRows(context_, Rows(csv), report));
    EXPECT_EQ(report.persons, 0);
    EXPECT_EQ(report.numbers, 201);
    EXPECT_EQ(report.members, 200);
    EXPECT_EQ(DumpBook(context_).rfind(expected + "P|Ann|Lee|Acme||\n  N|2|\nG|Team|", 0), 0u) << DumpBook(context_);
    std::set<const NumberRecord *> members;
    size_t links = 0;
    for (const MemberLink *link = context_->groups->next->members->next; link; link = link->next, ++links) {
        EXPECT_EQ(link->person, ann);
        members.insert(link->number);
    }
    EXPECT_EQ(links, 201u);
    EXPECT_EQ(members.size(), 201u);
    EXPECT_EQ(members.count(NumberAt(ann, 1)), 0u);  // the second "1" is not the one the rows name
    EXPECT_EQ(twin->numbers->next->next, nullptr);
}

TEST_F(BookCsvTest, MergeStopsWhenMemoryRunsOut) {
    Empty();
    MergeReport counts;
    auto rows = Rows("firstName,number\nAnn,1\n");
    portable::FailAllocations(1);
    EXPECT_FALSE(MergeBookRows(context_, rows, counts));
    portable::FailAllocations(0);
}

}  // namespace
