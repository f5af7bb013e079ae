// vCard reading and writing of the book command.
#include "orvixfax/book_vcard.h"

#include "book_fixture.h"

namespace {

class BookVcardTest : public BookTest {
protected:
    std::vector<PersonRow> Rows(const std::string &text) {
        std::vector<PersonRow> rows;
        std::string error;
        EXPECT_TRUE(ParseVcards(text, rows, error)) << error;
        return rows;
    }
    std::string Error(const std::string &text) {
        std::vector<PersonRow> rows;
        std::string error;
        EXPECT_FALSE(ParseVcards(text, rows, error)) << text;
        return error;
    }
    static std::string Card(const std::string &lines) {
        return "BEGIN:VCARD\r\nVERSION:4.0\r\n" + lines + "END:VCARD\r\n";
    }
};

TEST_F(BookVcardTest, FoldedLinesAndEscapesAreRead) {
    auto rows = Rows(Card("N:Lee;Ann;;;\r\nNOTE:one\\, two\\; thr\r\n ee\\nfour\\\\\r\n\tfive\r\n"
                          "ORG:Acme\\, Inc;Sales;East\r\nTEL;TYPE=fax:+1 5\r\n 55\r\n"));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].firstName, "Ann");
    EXPECT_EQ(rows[0].lastName, "Lee");
    EXPECT_EQ(rows[0].notes, "one, two; three\r\nfour\\five");
    EXPECT_EQ(rows[0].company, "Acme, Inc");
    EXPECT_EQ(rows[0].department, "Sales, East");
    EXPECT_EQ(rows[0].number, "+1 555");
    // LF alone ends lines too, and a byte-order mark is no text.
    EXPECT_EQ(Rows("\xEF\xBB\xBF" "BEGIN:VCARD\nVERSION:3.0\nFN:Bo\nTEL;TYPE=FAX:1\nEND:VCARD\n").size(), 1u);
}

// Every way the versions write a fax number's types; the other types are
// its details, the registered ones in lower case.
TEST_F(BookVcardTest, EveryFaxTelIsANumberWithItsOtherTypesAsDetails) {
    auto rows = Rows(Card("FN:Ann Lee\r\n"
                          "TEL;TYPE=fax,work:1\r\n"
                          "TEL;TYPE=\"fax,home\";PREF=1:2\r\n"
                          "TEL;TYPE=WORK;TYPE=FAX;TYPE=pref:3\r\n"
                          "TEL;FAX;Berlin desk:4\r\n"
                          "TEL;VALUE=uri;TYPE=fax:tel:+49-30-5\r\n"
                          "TEL;TYPE=voice,work:6\r\n"
                          "TEL;TYPE=\"fax,a:b ^'x^' ^^\":7\r\n"));
    std::string numbers;
    for (const PersonRow &row : rows) numbers += row.number + "=" + row.details + "|";
    EXPECT_EQ(numbers, "1=work|2=home|3=work, pref|4=Berlin desk|+49-30-5=|7=a:b \"x\" ^|");
    EXPECT_EQ(rows[0].firstName + "|" + rows[0].lastName, "Ann|Lee") << "FN when there is no N";
}

TEST_F(BookVcardTest, NamesCompaniesAndGroups) {
    auto rows = Rows(Card("N:;;;;\r\nFN:Acme Support\r\nORG:Acme\r\nTEL;TYPE=fax:1\r\nCATEGORIES:A,B\\,C\r\n"
                          "x.TEL;TYPE=fax:2\r\nX.CATEGORIES:D\r\nCATEGORIES:A\r\n") +
                     Card("N:Ek;Bo,Jan;;;\r\nTEL;TYPE=voice:9\r\n") + Card("FN:Cy\r\nTEL;TYPE=fax:3\r\n"));
    ASSERT_EQ(rows.size(), 3u);
    // A card without a name is its company's: the book's nameless person.
    EXPECT_EQ(rows[0].firstName + "|" + rows[0].lastName + "|" + rows[0].company, "||Acme");
    EXPECT_EQ(rows[0].groups, (std::vector<std::string>{"A", "B,C"}));
    EXPECT_EQ(rows[1].groups, (std::vector<std::string>{"A", "B,C", "D"})) << "a grouped CATEGORIES is its TEL's";
    EXPECT_EQ(rows[2].firstName, "Cy");
    ImportSummary summary;
    std::string error;
    ASSERT_TRUE(ReadVcards(Card("FN:Bo\r\nTEL:1\r\n") + Card("FN:Cy\r\n"), nullptr,
                           [](const PersonRow &) { return true; }, summary, error));
    EXPECT_EQ(summary.skipped, 2) << "cards without a fax number";
}

TEST_F(BookVcardTest, MalformedCardsNameTheirLine) {
    EXPECT_EQ(Error(""), "line 1: no card in the file (a card starts with BEGIN:VCARD)");
    EXPECT_EQ(Error("hello\r\n"), "line 1: text outside a card (a card starts with BEGIN:VCARD)");
    EXPECT_EQ(Error(Card("FN:Ann\r\nTEL;TYPE=fax 1\r\n")), "line 4: a line without ':' after its name");
    EXPECT_EQ(Error(Card("FN:Ann\r\nTEL;TYPE=\"fax:1\r\n")), "line 4: a quoted parameter value is not closed");
    EXPECT_EQ(Error("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann\r\n"), "line 1: the card is not closed (END:VCARD is missing)");
    EXPECT_EQ(Error(" folded\r\n"), "line 1: a folded line that continues nothing");
    EXPECT_EQ(Error(Card("BEGIN:VCARD\r\n")), "line 3: BEGIN inside a card (its END:VCARD is missing)");
    EXPECT_EQ(Error("BEGIN:VCARD\r\nVERSION:5.0\r\nEND:VCARD\r\n"), "line 2: vCard version 5.0 is not read (3.0 and 4.0 are)");
    EXPECT_NE(Error(Card("FN:Ann\r\nNOTE;ENCODING=QUOTED-PRINTABLE:caf=C3=A9\r\n")).find("line 4: quoted-printable"),
              std::string::npos);
    EXPECT_NE(Error(Card("N;CHARSET=ISO-8859-1:Lee;Ann\r\n")).find("line 3: CHARSET=ISO-8859-1"), std::string::npos);
    // The editors' rules, for the card from its first line.
    EXPECT_EQ(Error("\r\n" + Card("N:" + std::string(46, 'x') + ";;;;\r\nTEL;TYPE=fax:1\r\n")),
              "line 2: the card: lastName is longer than 45 characters");
    EXPECT_EQ(Error(Card("FN:Ann\r\nTEL;TYPE=fax:1\r\nCATEGORIES:[Odd]\r\n")),
              "line 1: the card: groups: a group's name cannot hold [ or ] (the lists show groups in brackets)");
    EXPECT_EQ(Error(Card("NOTE:only notes\r\nTEL;TYPE=fax:1\r\n")),
              "line 1: the card: a person needs a first name, a last name or a company");
}

// Lines longer than 75 octets are folded between characters, never inside
// one, and read back as they were.
TEST_F(BookVcardTest, WrittenLinesFoldAtSeventyFiveOctetsOnCharacterBoundaries) {
    Empty();
    std::string notes;
    for (int i = 0; i < 100; ++i) notes += "\xc3\xa9";  // without a code page, texts are written as they are
    PersonRecord *person = AddPerson("Ann", "Lee", "");
    CopyField(person->notes, ("x" + notes).c_str());
    std::string cards = FormatVcards(context_);
    size_t at = 0;
    int folds = 0;
    while (at < cards.size()) {
        size_t end = cards.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - at, 75u) << cards.substr(at, end - at);
        if (cards[at] == ' ') {
            ++folds;
            EXPECT_NE(static_cast<unsigned char>(cards[at + 1]) & 0xC0, 0x80) << "a fold inside a character";
        }
        at = end + 2;
    }
    EXPECT_EQ(folds, 2);
    auto rows = Rows(cards);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].notes, "x" + notes);
}

TEST_F(BookVcardTest, WriteThenReadGivesTheSameBook) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme, Inc", {{"555", "office, left"}, {"556", "a:b \"c\""}});
    CopyField(ann->department, "R;D");
    CopyField(ann->notes, "two\r\nlines, and\\ more");
    PersonRecord *solo = AddPerson("", "", "Solo", {{"7", ""}});
    AddPerson("Bo", "", "");  // no numbers: kept, as the book's own card
    AddGroup("Team", {{ann, NumberAt(ann, 0)}, {ann, NumberAt(ann, 1)}, {solo, NumberAt(solo, 0)}});
    AddGroup("Night, late", {{ann, NumberAt(ann, 1)}});
    const std::string before = DumpBook(context_);
    const std::string cards = FormatVcards(context_);
    EXPECT_NE(cards.find("\r\nVERSION:3.0\r\n"), std::string::npos);
    EXPECT_NE(cards.find("\r\nFN:Solo\r\n"), std::string::npos) << cards;
    EXPECT_NE(cards.find("\r\nTEL;TYPE=fax,office,left:555\r\n"), std::string::npos) << cards;
    EXPECT_NE(cards.find("\r\nfax2.TEL;TYPE=\"fax,a:b ^'c^'\":556\r\n"), std::string::npos) << cards;
    EXPECT_NE(cards.find("\r\nCATEGORIES:Team\r\nfax2.CATEGORIES:Night\\, late\r\n"), std::string::npos) << cards;

    Empty();
    std::vector<PersonRow> rows;
    std::string error;
    ASSERT_TRUE(ParseVcards(cards, rows, error)) << error;
    MergeReport report;
    ASSERT_TRUE(MergeBookRows(context_, rows, report));
    // Details go back as their pieces joined by ", ".
    EXPECT_EQ(DumpBook(context_), before);
}

}  // namespace
