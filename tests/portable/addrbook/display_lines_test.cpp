// The list-box lines of the records and the group lookup.
#include "addrbook/display_lines.h"

#include <algorithm>
#include <cstring>

#include "book_fixture.h"

namespace {

class DisplayLinesTest : public BookTest {
protected:
    void SetUp() override {
        BookTest::SetUp();
        Empty();
    }
    std::string BookLine(PersonRecord *person) {
        FormatBookPersonLine(person, line_, sizeof line_);
        return line_;
    }
    std::string RecipientLine(PersonRecord *person) {
        FormatRecipientNumberLine(person, NumberAt(person, 0), line_, sizeof line_);
        return line_;
    }
    std::string EditorLine(PersonRecord *person) {
        FormatGroupEditorLine(person, NumberAt(person, 0), line_, sizeof line_);
        return line_;
    }
    char line_[512];
};

TEST_F(DisplayLinesTest, PersonWithAnEmptyLastNameKeepsTheComma) {
    PersonRecord *ann = AddPerson("Ann", "", "Acme", {{"555", "home"}});
    EXPECT_EQ(BookLine(ann), ", Ann\tAcme");
    EXPECT_EQ(RecipientLine(ann), ", Ann\t555");
    EXPECT_EQ(EditorLine(ann), ", Ann\t555");
    FormatPersonNumberLine(NumberAt(ann, 0), line_, sizeof line_);
    EXPECT_STREQ(line_, "555\thome");
}

TEST_F(DisplayLinesTest, NamelessPersonIsShownByCompany) {
    PersonRecord *acme = AddPerson("", "", "Acme", {{"555", ""}});
    EXPECT_EQ(BookLine(acme), "Acme");
    EXPECT_EQ(RecipientLine(acme), "Acme\t555");
    EXPECT_EQ(EditorLine(acme), "Acme\t555");
}

TEST_F(DisplayLinesTest, OneCharacterOfNameIsANameOnlyOutsideTheGroupEditor) {
    PersonRecord *x = AddPerson("", "X", "Acme", {{"555", ""}});
    EXPECT_EQ(BookLine(x), "X, \tAcme");
    EXPECT_EQ(RecipientLine(x), "X, \t555");
    EXPECT_EQ(EditorLine(x), "Acme\t555");
    PersonRecord *xy = AddPerson("Y", "X", "Acme", {{"555", ""}});
    EXPECT_EQ(EditorLine(xy), "X, Y\t555");
}

TEST_F(DisplayLinesTest, FullFieldsFitTheLine) {
    PersonRecord *full = AddPerson(std::string(35, 'f').c_str(), std::string(45, 'l').c_str(),
                                   std::string(39, 'c').c_str(), {{std::string(79, '9').c_str(), ""}});
    char small[20];
    FormatRecipientNumberLine(full, NumberAt(full, 0), small, sizeof small);
    EXPECT_EQ(std::string(small), std::string(19, 'l')) << "cut to the buffer, never past it";
    EXPECT_EQ(RecipientLine(full).size(), 45u + 2 + 35 + 1 + 79);
}

TEST_F(DisplayLinesTest, GroupsAreFoundByNameOrLineWithCaseMattering) {
    PersonRecord *ann = AddPerson("Ann", "", "", {{"1", ""}});
    GroupRecord *team = AddGroup("Team", {{ann, NumberAt(ann, 0)}});
    GroupRecord *twin = AddGroup("Twin", {{ann, NumberAt(ann, 0)}});
    GroupRecord *twinAgain = AddGroup("Twin", {{ann, NumberAt(ann, 0)}});
    (void)twinAgain;
    GroupRecord *bracketed = AddGroup("[Team]", {{ann, NumberAt(ann, 0)}});

    GroupRecord *found = nullptr;
    EXPECT_EQ(FindGroupByName(context_, "[Team]", &found), 1);
    EXPECT_EQ(found, team) << "the line of Team comes before the name [Team]";
    EXPECT_EQ(FindGroupByName(context_, "Team", &found), 1);
    EXPECT_EQ(found, team);
    EXPECT_EQ(FindGroupByName(context_, "Twin", &found), 1);
    EXPECT_EQ(found, twin) << "the first of two of the same name";
    EXPECT_EQ(FindGroupByName(context_, "[[Team]]", &found), 1);
    EXPECT_EQ(found, bracketed);
    found = reinterpret_cast<GroupRecord *>(0x1);
    EXPECT_EQ(FindGroupByName(context_, "team", &found), 0);
    EXPECT_EQ(FindGroupByName(context_, "[team]", &found), 0);
    EXPECT_EQ(found, reinterpret_cast<GroupRecord *>(0x1)) << "left untouched";
}

TEST_F(DisplayLinesTest, CompareTextIsSignedByteOrder) {
    EXPECT_EQ(CompareText("abc", "abc"), 0);
    EXPECT_EQ(CompareText("", ""), 0);
    EXPECT_EQ(CompareText("abd", "abc"), 1);
    EXPECT_EQ(CompareText("abc", "abd"), -1);
    EXPECT_EQ(CompareText("ab", "abc"), -1);
    EXPECT_EQ(CompareText("abc", "ab"), 1);
    EXPECT_EQ(CompareText("B", "a"), -1) << "case matters";
    EXPECT_EQ(CompareText("\xe9", "a"), -1) << "bytes above 127 are negative";
    EXPECT_EQ(CompareText("a", "\xe9"), 1);
}

TEST_F(DisplayLinesTest, RecipientItemsStartEmptyInOneBlock) {
    RecipientListItem *item = nullptr;
    ASSERT_EQ(NewRecipientListItem(&item), 1);
    EXPECT_EQ(item->kind, RECIPIENT_NUMBER_LINE);
    EXPECT_EQ(item->group, nullptr);
    EXPECT_EQ(item->person, nullptr);
    EXPECT_EQ(item->number, nullptr);
    EXPECT_EQ(FreeRecipientListItem(&item), 1);
    EXPECT_EQ(item, nullptr);
    EXPECT_EQ(FreeRecipientListItem(&item), 1);

    portable::FailAllocations(1);
    item = reinterpret_cast<RecipientListItem *>(0x1);
    EXPECT_EQ(NewRecipientListItem(&item), 0);
    EXPECT_EQ(item, nullptr);
    portable::FailAllocations(0);
}

// The fills take these lengths for the list's horizontal extent.
TEST_F(DisplayLinesTest, EveryFormatGivesTheLengthItWrote) {
    PersonRecord *ann = AddPerson("Ann", "Lee", "Acme", {{"555", "home"}});
    PersonRecord *acme = AddPerson("", "", "Acme Ltd", {{"12", ""}});
    GroupRecord *team = AddGroup("Team", {});
    auto written = [this](size_t length) { return length == std::strlen(line_); };
    EXPECT_TRUE(written(FormatBookPersonLine(ann, line_, sizeof line_)));
    EXPECT_TRUE(written(FormatBookPersonLine(acme, line_, sizeof line_)));
    EXPECT_TRUE(written(FormatGroupLine(team, line_, sizeof line_)));
    EXPECT_TRUE(written(FormatRecipientNumberLine(ann, NumberAt(ann, 0), line_, sizeof line_)));
    EXPECT_TRUE(written(FormatRecipientNumberLine(acme, NumberAt(acme, 0), line_, sizeof line_)));
    EXPECT_TRUE(written(FormatGroupEditorLine(acme, NumberAt(acme, 0), line_, sizeof line_)));
    EXPECT_TRUE(written(FormatPersonNumberLine(NumberAt(ann, 0), line_, sizeof line_)));
    EXPECT_EQ(FormatRecipientNumberLine(ann, NumberAt(ann, 0), line_, 6), 5u) << "cut to the buffer";
    EXPECT_STREQ(line_, "Lee, ");
    EXPECT_EQ(FormatGroupLine(team, line_, 1), 0u);
    EXPECT_STREQ(line_, "");
}

// A name line is the same text, cut to the buffer, whatever the buffer's
// size, and nothing is written past the buffer; bytes a longer text left
// behind its field's end never show.
TEST_F(DisplayLinesTest, NameLinesAreRightForEveryBufferSizeAndLeftoverBytes) {
    PersonRecord *full = AddPerson(std::string(35, 'f').c_str(), std::string(45, 'l').c_str(),
                                   std::string(39, 'c').c_str(), {{std::string(79, '9').c_str(), ""}});
    PersonRecord *shortened = AddPerson("Jo", "Li", "Acme", {{"42", ""}});
    NumberRecord *number = NumberAt(shortened, 0);
    for (char *field : {shortened->firstName, shortened->lastName, shortened->company, number->number})
        std::memset(field + std::strlen(field) + 1, 'x', 20);
    EXPECT_EQ(BookLine(shortened), "Li, Jo\tAcme");
    EXPECT_EQ(RecipientLine(shortened), "Li, Jo\t42");
    EXPECT_EQ(EditorLine(shortened), "Li, Jo\t42");

    const std::string whole = RecipientLine(full);
    const std::string wholeBook = BookLine(full);
    for (size_t size = 1; size <= 200; ++size) {
        char buffer[256];
        std::memset(buffer, '#', sizeof buffer);
        size_t length = FormatRecipientNumberLine(full, NumberAt(full, 0), buffer, size);
        EXPECT_EQ(std::string(buffer), whole.substr(0, size - 1)) << size;
        EXPECT_EQ(length, std::min(whole.size(), size - 1)) << size;
        EXPECT_EQ(buffer[size], '#') << "written past a buffer of " << size;
        std::memset(buffer, '#', sizeof buffer);
        FormatBookPersonLine(full, buffer, size);
        EXPECT_EQ(std::string(buffer), wholeBook.substr(0, size - 1)) << size;
        EXPECT_EQ(buffer[size], '#') << "written past a buffer of " << size;
    }
}

}  // namespace
