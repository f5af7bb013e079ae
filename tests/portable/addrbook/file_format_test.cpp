// The address book file: the bytes the writer produces and what the reader
// makes of them, including the odd cases older files and other tools give.
#include <cstring>
#include <memory>
#include <string>

#include "book_fixture.h"

namespace {

using namespace std::string_literals;

class FileFormatTest : public BookTest {
protected:
    // Saves the context and gives back the bytes written.
    std::string Saved() {
        Save();
        return ReadBook();
    }
    std::string Reloaded() { return DumpBook(Open()); }
};

const std::string kAnnWithGroup = ",Ann,Lee,,Acme,,,555-1234,office\n\fTeam,0.0\n";
const std::string kAnnAlone = ",Ann,Lee,,Acme,,,\n\f";

TEST_F(FileFormatTest, ExampleBooksAreWrittenExactly) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme", {{"555-1234", "office"}});
    AddGroup("Team", {{ann, NumberAt(ann, 0)}});
    EXPECT_EQ(Saved(), kAnnWithGroup);

    Empty();
    AddPerson("Ann", "Lee", "Acme");
    EXPECT_EQ(Saved(), kAnnAlone);
}

TEST_F(FileFormatTest, ExampleBooksReadBack) {
    EXPECT_EQ(DumpBook(Load(kAnnWithGroup)), "P|Ann|Lee|Acme||\n  N|555-1234|office\nG|Team| 0.0\n");
    EXPECT_EQ(DumpBook(Load(kAnnAlone)), "P|Ann|Lee|Acme||\n");
}

TEST_F(FileFormatTest, EmptyBookIsOneFormFeed) {
    Empty();
    EXPECT_EQ(Saved(), "\f");
    EXPECT_EQ(DumpBook(Load("\f")), "");
    EXPECT_EQ(DumpBook(Load("")), "");
}

TEST_F(FileFormatTest, SeparatorsAndLineBreaksInFieldsSurvive) {
    Empty();
    PersonRecord *person = AddPerson("a,b", "c\\d", "e\rf", {{"1,2", "x\ny"}});
    CopyField(person->department, "\\,\\");
    CopyField(person->notes, "one, two\r\nthree\\");
    EXPECT_EQ(Saved(), ",a\\,b,c\\\\d,,e\\rf,\\\\\\,\\\\,one\\, two\\r\\nthree\\\\,1\\,2,x\\ny\n\f");
    EXPECT_EQ(Reloaded(), "P|a,b|c\\x5cd|e\\x0df|\\x5c,\\x5c|one, two\\x0d\\x0athree\\x5c\n"
                          "  N|1,2|x\\x0ay\n");
}

// Written bare, a TAB split its field and an FF in a company name turned
// every later person into a group. Each now gets a backslash in front.
TEST_F(FileFormatTest, TabAndFormFeedInPersonFieldsSurvive) {
    Empty();
    PersonRecord *first = AddPerson("A\tB", "C\fD", "Acme\f Inc", {{"1\t2", "de\ftails"}});
    CopyField(first->department, "\t");
    CopyField(first->notes, "n\to\ft");
    AddPerson("Bo", "Ek", "Beta", {{"9", ""}});
    EXPECT_EQ(Saved(), ",A\\\tB,C\\\fD,,Acme\\\f Inc,\\\t,n\\\to\\\ft,1\\\t2,de\\\ftails\n"
                       ",Bo,Ek,,Beta,,,9,\n\f");
    EXPECT_EQ(Reloaded(), "P|A\\x09B|C\\x0cD|Acme\\x0c Inc|\\x09|n\\x09o\\x0ct\n"
                          "  N|1\\x092|de\\x0ctails\n"
                          "P|Bo|Ek|Beta||\n  N|9|\n");
}

TEST_F(FileFormatTest, OlderFilesWithBareTabsReadAsTheyAlwaysDid) {
    // Inside the notes, whose only separator is the comma, a bare TAB or FF
    // stays; in a name a bare TAB splits the field.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,Acme,,n\to\ft,1,x\n\f")), "P|Ann|Lee|Acme||n\\x09o\\x0ct\n  N|1|x\n");
    EXPECT_EQ(DumpBook(Load(",An\tn,Lee,,Acme,,,1,x\n\f")), "P|An|n Lee||Acme|\n  N||1\n");
}

TEST_F(FileFormatTest, LeadingBlanksOfAFieldAreLost) {
    EXPECT_EQ(DumpBook(Load(",  Ann, \t Lee,,  Acme,,  notes,  1,  x\n\f")),
              "P|Ann|Lee|Acme||notes\n  N|1|x\n");
}

// So the writer puts a backslash before a field's first space (and before
// every TAB); the rest of the field is written as it is.
TEST_F(FileFormatTest, LeadingBlanksWrittenByTheModuleSurvive) {
    Empty();
    PersonRecord *person = AddPerson("  Ann", "\tLee", " ", {{" 1 2 ", " x"}});
    CopyField(person->notes, "  two  ");
    EXPECT_EQ(Saved(), ",\\  Ann,\\\tLee,,\\ ,,\\  two  ,\\ 1 2 ,\\ x\n\f");
    EXPECT_EQ(Reloaded(), "P|  Ann|\\x09Lee| ||  two  \n  N| 1 2 | x\n");
}

TEST_F(FileFormatTest, GroupNameWithCommaReadsBack) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "", {{"1", ""}});
    AddGroup("Sales, North", {{ann, NumberAt(ann, 0)}});
    AddGroup(",", {{ann, NumberAt(ann, 0)}});
    EXPECT_EQ(Saved(), ",Ann,Lee,,,,,1,\n\fSales\\, North,0.0\n\\,,0.0\n");
    EXPECT_EQ(Reloaded(), "P|Ann|Lee|||\n  N|1|\nG|Sales, North| 0.0\nG|,| 0.0\n");
}

TEST_F(FileFormatTest, GroupNameWithBackslashesSeparatorsAndLeadingBlanksReadsBack) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "", {{"1", ""}});
    AddGroup("Dept\\", {{ann, NumberAt(ann, 0)}});
    AddGroup(" Lead", {{ann, NumberAt(ann, 0)}});
    AddGroup("a\tb\\,c", {{ann, NumberAt(ann, 0)}});
    EXPECT_EQ(Saved(), ",Ann,Lee,,,,,1,\n\fDept\\\\,0.0\n\\ Lead,0.0\na\\\tb\\\\\\,c,0.0\n");
    std::string before = DumpBook(context_);
    EXPECT_EQ(Reloaded(), before);
}

TEST_F(FileFormatTest, GroupNamesOfOlderFilesReadBackWholeAndAreWrittenAsTheyWere) {
    // Earlier writers wrote a name as it stands. A backslash that is not in
    // front of a separator, of a blank that starts the name, or of the end
    // is the byte itself, and a save writes it back unchanged.
    const std::string older = ",Ann,Lee,,,,,1,\n\fR&D \\ Sales,0.0\nA\\\\B\\n\\r,0.0\n\\x\\ y,0.0\n";
    EXPECT_EQ(DumpBook(Load(older)), "P|Ann|Lee|||\n  N|1|\n"
                                     "G|R&D \\x5c Sales| 0.0\nG|A\\x5c\\x5cB\\x5cn\\x5cr| 0.0\nG|\\x5cx\\x5c y| 0.0\n");
    Save();
    EXPECT_EQ(ReadBook(), older);
    // A backslash run that starts a name before a blank is doubled, so the
    // blank is not taken for an escaped one.
    Empty();
    PersonRecord *ann = AddPerson("Ann", "Lee", "", {{"1", ""}});
    AddGroup("\\ x", {{ann, NumberAt(ann, 0)}});
    EXPECT_EQ(Saved(), ",Ann,Lee,,,,,1,\n\f\\\\ x,0.0\n");
    EXPECT_EQ(Reloaded(), "P|Ann|Lee|||\n  N|1|\nG|\\x5c x| 0.0\n");
    // An unescaped comma still splits the name; the rest is taken as a
    // reference that does not resolve.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,\n\fSales, North,0.0\n")),
              "P|Ann|Lee|||\n  N|1|\nG|Sales| 0.0\n");
}

TEST_F(FileFormatTest, UnresolvableMembersAreDroppedAndEmptyGroupsGo) {
    const std::string persons = ",Ann,Lee,,,,,1,,2,\n,Bo,Ek,,,,,3,\n\f";
    EXPECT_EQ(DumpBook(Load(persons + "G1,3\nG2,\nG3,2.0\nG4,0.2\nG5,-1.0\nG6,1.0,3,0.1\n")),
              "P|Ann|Lee|||\n  N|1|\n  N|2|\n"
              "P|Bo|Ek|||\n  N|3|\n"
              "G|G6| 1.0 0.1\n");
    // A group line with no members at all.
    EXPECT_EQ(DumpBook(Load(persons + "Lonely\nG,0.1\n")),
              "P|Ann|Lee|||\n  N|1|\n  N|2|\nP|Bo|Ek|||\n  N|3|\nG|G| 0.1\n");
}

TEST_F(FileFormatTest, MemberReferencesAreReadTheWayStrtokAndAtoiReadThem) {
    const std::string persons = ",Ann,Lee,,,,,1,,2,\n,Bo,Ek,,,,,3,\n\f";
    // Leading full stops skipped, trailing junk after the digits ignored,
    // only the first 20 bytes looked at, a number part beyond a second
    // full stop read up to it.
    EXPECT_EQ(DumpBook(Load(persons + "G,..1.0,0.1x,1x.0y,0.1.5,00000000000000000001.0,0.1\n")),
              "P|Ann|Lee|||\n  N|1|\n  N|2|\nP|Bo|Ek|||\n  N|3|\n"
              "G|G| 1.0 0.1 1.0 0.1 0.1\n");
}

TEST_F(FileFormatTest, HugePositionsDoNotWrapRound) {
    // 65537 would become 1 in 16 bits; positions count in full.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,\n,Bo,Ek,,,,,3,\n\fG,65537.0,4294967297.0,0.0\n")),
              "P|Ann|Lee|||\n  N|1|\nP|Bo|Ek|||\n  N|3|\nG|G| 0.0\n");
}

// Short number lists are walked, longer ones looked up by position; both
// find the same numbers and refuse a position past the end.
TEST_F(FileFormatTest, MembersOfShortAndLongNumberListsResolve) {
    const std::string persons = ",A,A,,,,,a0,,a1,\n,B,B,,,,,b0,,b1,,b2,,b3,,b4,,b5,\n,C,C,,,,,\n,D,D,,,,,d0,\n\f";
    EXPECT_EQ(DumpBook(Load(persons + "G,1.5,0.1,1.0,3.0,0.2,1.6,2.0,1.4\n")),
              "P|A|A|||\n  N|a0|\n  N|a1|\n"
              "P|B|B|||\n  N|b0|\n  N|b1|\n  N|b2|\n  N|b3|\n  N|b4|\n  N|b5|\n"
              "P|C|C|||\nP|D|D|||\n  N|d0|\n"
              "G|G| 1.5 0.1 1.0 3.0 1.4\n");
}

TEST_F(FileFormatTest, LastNumberWithoutDetailsIsLostButThePersonStays) {
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,a,2\n,Bo,Ek,,,,,3,b\n\f")),
              "P|Ann|Lee|||\n  N|1|a\nP|Bo|Ek|||\n  N|3|b\n");
}

TEST_F(FileFormatTest, LongFirstAndFourthTokensJoinTheNames) {
    EXPECT_EQ(DumpBook(Load("Dr,Ann,Lee,Jr,Acme,,,1,\nX,Bo,Ek,Y,,,,2,\n\f")),
              "P|Dr Ann|Lee Jr|Acme||\n  N|1|\nP|Bo|Ek|||\n  N|2|\n");
    // The first token is taken as it stands, the fourth decoded; an empty
    // second or third token adds nothing.
    EXPECT_EQ(DumpBook(Load("D\\,r,,,J\\,r,,,,1,\n\f")), "P|D\\x5c,r|J,r|||\n  N|1|\n");
}

TEST_F(FileFormatTest, FormFeedThenLineFeedBeforeTheGroups) {
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,\n\f\nTeam,0.0\n")), "P|Ann|Lee|||\n  N|1|\nG|Team| 0.0\n");
}

TEST_F(FileFormatTest, LastByteIsNeverData) {
    // Without its final LF the last member reference loses its last digit:
    // 0.11 names no number, 0.1 does.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,,2,\n\fTeam,0.0,0.11")),
              "P|Ann|Lee|||\n  N|1|\n  N|2|\nG|Team| 0.0 0.1\n");
    // And a last person line loses the last byte of its details.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,office")), "P|Ann|Lee|||\n  N|1|offic\n");
}

TEST_F(FileFormatTest, CarriageReturnLineEndsKeepTheCarriageReturn) {
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,x\r\n\f")), "P|Ann|Lee|||\n  N|1|x\\x0d\n");
}

TEST_F(FileFormatTest, ShortPersonLinesRunOnOrAreDropped) {
    // Fields are counted, not lines: a short line takes the next one's.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,Acme\n,Bo,Ek,,,,,2,\n\f")),
              "P|Ann|Lee|Acme||Bo\n  N|Ek|\n  N||\n  N||2\n");
    // Notes ended by the end of the text after a line break: dropped.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,Acme,Dept\nnotes,")), "");
    // The text ends before the notes: dropped.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,Ac")), "");
    // The text ends while numbers are read: kept with what was complete.
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,Acme,,notes\n\f")), "P|Ann|Lee|Acme||notes\\x0a\n");
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,a,2")), "P|Ann|Lee|||\n  N|1|a\n");
}

TEST_F(FileFormatTest, FieldsAreCutToTheirRecords) {
    std::string line = "," + std::string(50, 'f') + "," + std::string(60, 'l') + ",," + std::string(50, 'c') +
                       "," + std::string(50, 'd') + "," + std::string(300, 'n') + "," + std::string(100, '9') +
                       "," + std::string(40, 't') + "\n\f" + std::string(100, 'g') + ",0.0\n";
    std::string dump = DumpBook(Load(line));
    EXPECT_EQ(dump, "P|" + std::string(35, 'f') + "|" + std::string(45, 'l') + "|" + std::string(39, 'c') + "|" +
                        std::string(39, 'd') + "|" + std::string(249, 'n') + "\n  N|" + std::string(79, '9') +
                        "|" + std::string(29, 't') + "\nG|" + std::string(79, 'g') + "| 0.0\n");
    // Escapes count once they are decoded.
    EXPECT_EQ(DumpBook(Load(",\\,\\,\\,,,,,,,1,\n\f")), "P|,,,||||\n  N|1|\n");
}

TEST_F(FileFormatTest, ZeroByteEndsTheText) {
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,\n,Bo"s + '\0' + "b,Ek,,,,,2,\n\f")), "P|Ann|Lee|||\n  N|1|\n");
}

TEST_F(FileFormatTest, BacklashAtTheVeryEndEscapesNothing) {
    EXPECT_EQ(DumpBook(Load(",Ann,Lee,,,,,1,x\\\\")), "P|Ann|Lee|||\n  N|1|x\n");
}

TEST_F(FileFormatTest, EveryPrintableAndHighByteSurvivesASaveAndALoad) {
    Empty();
    std::string all;
    for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
    PersonRecord *person = AddPerson("", "", "");
    CopyField(person->notes, all.c_str());
    PersonRecord *other = AddPerson(all.c_str() + 200, all.c_str() + 100, all.c_str() + 50,
                                    {{all.c_str() + 10, all.c_str() + 230}});
    AddGroup(all.c_str() + 176 /* no control bytes in a typed name */, {{other, NumberAt(other, 0)}});
    std::string before = DumpBook(context_);
    Save();
    EXPECT_EQ(Reloaded(), before);
}

TEST_F(FileFormatTest, SavingIsStableOverASecondRound) {
    std::string first = ",Ann,Lee,,Acme,Sales,likes\\, fax,1,a,2,b\n,,,,Solo Inc,,,\n,Bo,,,,,,3,\n\f"
                        "Team,0.1,2.0\nAll,0.0,0.1,2.0\n";
    Load(first);
    EXPECT_EQ(Saved(), first);
    EXPECT_EQ(Saved(), first);
}

// Thousands of members, in an order of their own, each listed once or
// twice: every one is written back at its place.
TEST_F(FileFormatTest, ManyMembersAreWrittenBackWhereTheyStand) {
    std::string book;
    const int persons = 3000;
    for (int p = 0; p < persons; ++p) book += ",P" + std::to_string(p) + ",,,,,," + std::to_string(p) + ",,x,\n";
    book += "\f";
    for (int g = 0; g < 7; ++g) {
        book += "G" + std::to_string(g);
        for (int p = g; p < persons; p += 2 + g) book += "," + std::to_string((p * 7919) % persons) + "." + std::to_string(p % 2);
        book += "\n";
    }
    Load(book);
    EXPECT_EQ(Saved(), book);
}

TEST_F(FileFormatTest, MembersOutsideTheListsAreWrittenEmpty) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "", "", {{"1", ""}});
    PersonRecord *stranger = nullptr;
    ASSERT_EQ(NewPerson(&stranger), 1);
    NumberRecord *strayNumber = nullptr;
    ASSERT_EQ(NewNumber(&strayNumber), 1);
    PersonRecord *bo = AddPerson("Bo", "", "", {{"2", ""}});
    // A stranger, a number that is not the person's, and a good member.
    AddGroup("G", {{stranger, strayNumber}, {ann, NumberAt(bo, 0)}, {bo, NumberAt(bo, 0)}});
    EXPECT_EQ(Saved(), ",Ann,,,,,,1,\n,Bo,,,,,,2,\n\fG,,,1.0\n");
    EXPECT_EQ(Reloaded(), "P|Ann||||\n  N|1|\nP|Bo||||\n  N|2|\nG|G| 1.0\n");
    FreePerson(&stranger);
    void *block = strayNumber;
    FreeRecord(&block);
}

TEST_F(FileFormatTest, FormatAndParseMemberRefAgree) {
    Empty();
    PersonRecord *ann = AddPerson("Ann", "", "", {{"1", ""}});
    PersonRecord *bo = AddPerson("Bo", "", "", {{"2", ""}, {"3", ""}});
    MemberLink link{nullptr, bo, NumberAt(bo, 1)};
    char text[32];
    FormatMemberRef(context_, &link, text, sizeof text);
    EXPECT_STREQ(text, "1.1");
    PersonRecord *person = nullptr;
    NumberRecord *number = nullptr;
    EXPECT_EQ(ParseMemberRef(context_, text, &person, &number), 1);
    EXPECT_EQ(person, bo);
    EXPECT_EQ(number, NumberAt(bo, 1));
    EXPECT_EQ(ParseMemberRef(context_, "0.1", &person, &number), 0);
    EXPECT_EQ(ParseMemberRef(context_, "1", &person, &number), 0);
    EXPECT_EQ(ParseMemberRef(context_, "1.", &person, &number), 0);
    EXPECT_EQ(ParseMemberRef(context_, "", &person, &number), 0);
    MemberLink wrong{nullptr, ann, NumberAt(bo, 0)};
    FormatMemberRef(context_, &wrong, text, sizeof text);
    EXPECT_STREQ(text, "");
}

// Memory running out anywhere in the load fails the whole load: no part of
// a book is ever kept, so none can be saved in place of the whole one.
TEST_F(FileFormatTest, MemoryRunningOutMidLoadKeepsNothing) {
    const std::string book = ",Ann,Lee,,Acme,,n\f,1,a,2,b\n,Bo,Ek,,,,,3,c\n,Cy,Oh,,,,,\n\fT1,0.1,1.0\nT2,2.0,0.0\n";
    Empty();
    int live = portable::LiveGlobalBlocks();
    int failures = 0;
    for (int skip = 0;; ++skip) {
        std::string bytes = book;
        portable::FailAllocations(1, skip);
        uint16_t result = ParseAddressBook(context_, bytes.data(), bytes.size());
        portable::FailAllocations(0);
        if (result == ERR_NONE) break;
        ++failures;
        EXPECT_EQ(result, ERR_NO_MEMORY) << skip;
        EXPECT_EQ(DumpBook(context_), "") << skip;
        EXPECT_EQ(portable::LiveGlobalBlocks(), live) << skip;
    }
    // Three persons with their lists and three numbers, two groups with
    // their lists and three links that resolve.
    EXPECT_EQ(failures, 3 * 2 + 3 + 2 * 2 + 3);
    RemoveEmptyGroups(context_);
    EXPECT_EQ(DumpBook(context_), "P|Ann|Lee|Acme||n\\x0c\n  N|1|a\n  N|2|b\nP|Bo|Ek|||\n  N|3|c\nP|Cy|Oh|||\n"
                                  "G|T1| 0.1 1.0\nG|T2| 0.0\n");
}

TEST_F(FileFormatTest, GarbageEndsWithoutLoopingOrCrashing) {
    const std::string samples[] = {
        "\\", "\f", "\f\f\f", "\n\n\n", ",,,,,,,,,,,,,,,,", "\f,,,,,,", "\f\n\n\n", "a\fb,c.d,\\", "\\\\\\\\\\\\",
        ",a,b,,c,d,e\f1,2,3\n", "\t \t \t", ",\f,\f,\f,\f,\f,\f,\f,\f\n", std::string(3000, ','),
    };
    for (const std::string &sample : samples) {
        Load(sample);
        SCOPED_TRACE(sample);
        std::string first = DumpBook(context_);
        Save();
        EXPECT_EQ(Reloaded(), first);
    }
}

// The reader over a heap block of exactly the text's size, as the fuzzer
// gives it: a read past the text is a sanitizer report.
class FieldScanTest : public FileFormatTest {
protected:
    std::string Parsed(const std::string &bytes) {
        Empty();
        auto block = std::make_unique<char[]>(bytes.size());
        std::memcpy(block.get(), bytes.data(), bytes.size());
        EXPECT_EQ(ParseAddressBook(context_, block.get(), bytes.size()), ERR_NONE);
        return DumpBook(context_);
    }
};

// Fields are found many bytes at a time: where a field, an escape or the
// end of the text falls among those bytes must never matter.
TEST_F(FieldScanTest, FieldsReadTheSameWhereverTheyFall) {
    const std::string notes = "long notes " + std::string(60, 'n') + "\\, then more\\\\ and " + std::string(40, 'm');
    const std::string book = ",Ann,Lee,,Acme Logistics,Sales,Call first\\, always,+49 30 1234567,office,2,home\\\\\n"
                             ",B,,," + std::string(70, 'c') + ",\\,\\\\," + notes + ",9,\\x\\\\\n"
                             ",Cy,Oh,,,,\\,,\n"
                             "\fTeam\\\\,0.0,1.0\nNobody\n";
    const std::string expected = Parsed(book);
    ASSERT_NE(expected.find("P|B||" + std::string(39, 'c') + "|,\\x5c|long notes " + std::string(60, 'n') +
                            ", then more\\x5c and m"),
              std::string::npos)
        << expected;
    for (size_t lead = 0; lead <= 70; ++lead) {
        for (size_t trail : {0, 1, 15, 16, 17, 63, 64, 65}) {
            SCOPED_TRACE(testing::Message() << lead << " blanks before, " << trail << " after");
            EXPECT_EQ(Parsed(std::string(lead, lead % 3 ? ' ' : '\t') + book + std::string(trail, ' ')), expected);
        }
    }
}

// A book cut anywhere reads as the same text followed by many zero bytes:
// what lies behind the end of the text is never looked at.
TEST_F(FieldScanTest, EveryCutOfABookEndsAsItsText) {
    const std::string book =
        ",Ann,Lee,,Acme,,n\to\\\\,x,1,a\\\\,2,b\n,Bo,Ek,,,," + std::string(80, 'z') + ",3,c\n\fT1,0.0,0.1\n";
    for (size_t size = 1; size <= book.size(); ++size) {
        SCOPED_TRACE(size);
        EXPECT_EQ(Parsed(book.substr(0, size)), Parsed(book.substr(0, size - 1) + std::string(64, '\0')));
    }
    // Cut behind the first backslash of the notes: it escapes nothing.
    EXPECT_EQ(Parsed(book.substr(0, 21)), "P|Ann|Lee|Acme||n\\x09o\n");
}

// Long fields are cut to their record fields wherever their escapes fall;
// other control bytes stay in the field; a zero byte ends the text.
TEST_F(FieldScanTest, LongFieldsControlBytesAndZeros) {
    std::string notes, decoded;
    for (int i = 0; i < 160; ++i) {
        notes += i % 7 == 3 ? "\\," : "ab";
        decoded += i % 7 == 3 ? "," : "ab";
    }
    EXPECT_EQ(Parsed(",Ann,Lee,,Acme,," + notes + ",1,x\n\f"),
              "P|Ann|Lee|Acme||" + decoded.substr(0, 249) + "\n  N|1|x\n");
    EXPECT_EQ(Parsed(",A\x01" "B,C\x0b,,D\x7f" "E,\x1b,n\x02\x0c,1\x03,x\x08\n\f"),
              "P|A\\x01B|C\\x0b|D\\x7fE|\\x1b|n\\x02\\x0c\n  N|1\\x03|x\\x08\n");
    EXPECT_EQ(Parsed(",Ann,Lee,,Acme,,n\0ote,1,x\n\f"s), "P|Ann|Lee|Acme||n\n");
    EXPECT_EQ(Parsed(",Ann,L\0ee,,Acme,,n,1,x\n\f"s), "");
}

}  // namespace
