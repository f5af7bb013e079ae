// CSV reading, writing and merging of the book command.
#include "orvixfax/book_csv.h"

#include "book_fixture.h"

namespace {

class BookCsvTest : public BookTest {
protected:
    std::string Error(const std::string &text) {
        std::vector<CsvPersonRow> rows;
        std::string error;
        EXPECT_FALSE(ParseBookCsv(text, rows, error)) << text;
        return error;
    }
    std::vector<CsvPersonRow> Rows(const std::string &text) {
        std::vector<CsvPersonRow> rows;
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
    EXPECT_NE(Error("firstName,phone\n").find("line 1: unknown column \"phone\""), std::string::npos);
    EXPECT_EQ(Error("number,Number\n"), "line 1: column \"Number\" appears twice");
    EXPECT_EQ(Error("number,details\n1,a\n2\n"), "line 3: 1 fields where the header has 2");
    EXPECT_EQ(Error("number,details\n1,a\n\"2,b\n"), "line 3: a quoted field is not closed");
    EXPECT_EQ(Error("number,details\n1,a\"b\n"), "line 2: a quote inside a field that is not quoted");
    EXPECT_EQ(Error("number,details\n\"1\"x,b\n"), "line 2: text after the closing quote of a field");
    EXPECT_EQ(Error("number,details\n,b\n"), "line 2: details without a number");
    EXPECT_EQ(Error("number\n" + std::string(80, '9') + "\n"), "line 2: number is longer than 79 characters");
    EXPECT_EQ(Error("firstName\n" + std::string(36, 'x') + "\n"), "line 2: firstName is longer than 35 characters");
    EXPECT_EQ(Error("notes\n\"a\nb\"\nx" + std::string(1, '\0') + "\n"), "line 4: notes holds a zero byte");
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
              "firstName,lastName,company,department,notes,number,details\r\n"
              "Ann,Lee,\"Acme, Inc\",,,555,office\r\n"
              "Ann,Lee,\"Acme, Inc\",,,556,\"say \"\"hi\"\"\"\r\n"
              ",,Solo,,\"two\nlines\",,\r\n"
              "\" padded \",,,,,,\r\n");
}

TEST_F(BookCsvTest, ExportThenImportGivesTheSameBook) {
    Empty();
    AddPerson("Ann", "Lee", "Acme, Inc", {{"555", "office"}, {"556", "say \"hi\""}});
    PersonRecord *solo = AddPerson("", "", "Solo");
    CopyField(solo->notes, "two\r\nlines\tand\fmore");
    std::string before = DumpBook(context_);
    std::string csv = FormatBookCsv(context_);

    Empty();
    MergeCounts counts;
    ASSERT_TRUE(MergeBookRows(context_, Rows(csv), counts));
    EXPECT_EQ(counts.persons, 2);
    EXPECT_EQ(counts.numbers, 2);
    EXPECT_EQ(DumpBook(context_), before);
}

TEST_F(BookCsvTest, MergeAddsOnlyWhatIsNew) {
    Empty();
    AddPerson("Ann", "Lee", "Acme", {{"555", "office"}});
    MergeCounts counts;
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

TEST_F(BookCsvTest, MergeStopsWhenMemoryRunsOut) {
    Empty();
    MergeCounts counts;
    auto rows = Rows("firstName,number\nAnn,1\n");
    portable::FailAllocations(1);
    EXPECT_FALSE(MergeBookRows(context_, rows, counts));
    portable::FailAllocations(0);
}

}  // namespace
