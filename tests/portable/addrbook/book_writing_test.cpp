// The writer copies and escapes a field sixteen bytes at a time and lets a
// field's last chunk run on into the room behind the staging block: texts
// of every length, escapes on either side of a chunk's edge, fields with
// no zero byte and books far larger than the block are written exactly.
#include <algorithm>
#include <cstring>
#include <string>

#include "book_fixture.h"

namespace {

// The bytes a field's text becomes in the file, one byte at a time.
std::string Escaped(const std::string &text) {
    std::string out;
    for (size_t at = 0; at < text.size(); ++at) {
        char byte = text[at];
        if (byte == ',' || byte == '\\' || byte == '\t' || byte == '\f' || (byte == ' ' && at == 0))
            out += '\\', out += byte;
        else if (byte == '\r')
            out += "\\r";
        else if (byte == '\n')
            out += "\\n";
        else
            out += byte;
    }
    return out;
}

// A text of `length` bytes with a byte that needs an escape, or a control
// byte that does not, at its end, at its middle and around the edges of
// its first two chunks; every seventh starts with a blank.
std::string Sample(size_t length, size_t seed) {
    static const char kPlain[] = "abcdefghijklmnopqrstuvwxyz0123456789.+-";
    static const char kAwkward[] = {',', '\\', '\r', '\n', '\t', '\f', '\x01', '\x08', '\x0b', '\x0e', '\x7f'};
    std::string text;
    for (size_t at = 0; at < length; ++at) text += kPlain[(at + seed) % (sizeof kPlain - 1)];
    size_t spots[] = {length - 1, length / 2, 14, 15, 16, 17, 31, 32};
    size_t kind = seed;
    for (size_t spot : spots)
        if (spot < length) text[spot] = kAwkward[kind++ % sizeof kAwkward];
    if (length > 0 && seed % 7 == 0) text[0] = ' ';
    return text;
}

class BookWritingTest : public BookTest {
protected:
    // Persons whose fields take every length up to their size, each with
    // a number; the group holds every number. The bytes the file must
    // hold come back.
    std::string AddSamples(int rounds) {
        std::string persons, members;
        int position = 0;
        for (int round = 0; round < rounds; ++round) {
            for (size_t length = 0; length < 250; ++length, ++position) {
                size_t seed = length + static_cast<size_t>(round) * 3;
                auto cut = [&](size_t size, size_t shift) { return Sample(std::min(length, size - 1), seed + shift); };
                std::string first = cut(sizeof(PersonRecord::firstName), 0),
                            last = cut(sizeof(PersonRecord::lastName), 1),
                            company = cut(sizeof(PersonRecord::company), 2),
                            department = cut(sizeof(PersonRecord::department), 3),
                            notes = cut(sizeof(PersonRecord::notes), 4), number = cut(sizeof(NumberRecord::number), 5),
                            details = cut(sizeof(NumberRecord::details), 6);
                PersonRecord *person = AddPerson(first.c_str(), last.c_str(), company.c_str(),
                                                 {{number.c_str(), details.c_str()}});
                CopyField(person->department, department.c_str());
                CopyField(person->notes, notes.c_str());
                persons += "," + Escaped(first) + "," + Escaped(last) + ",," + Escaped(company) + "," +
                           Escaped(department) + "," + Escaped(notes) + "," + Escaped(number) + "," +
                           Escaped(details) + "\n";
                members += "," + std::to_string(position) + ".0";
            }
        }
        GroupRecord *group = AddGroup("All");
        for (PersonRecord *person = context_->persons->next; person != nullptr; person = person->next) {
            MemberLink *link = nullptr;
            EXPECT_EQ(NewMemberLink(&link), 1);
            link->person = person;
            link->number = person->numbers->next;
            ListAppend(group->members, link);
        }
        return persons + "\f" + "All" + members + "\n";
    }
};

// Three rounds make some 400 kB: the staging block is written out in the
// middle of persons and of the group line. Without the block the same
// bytes go out in small writes.
TEST_F(BookWritingTest, FieldsOfEveryLengthAreWrittenExactlyThroughAndWithoutTheStagingBlock) {
    Empty();
    std::string expected = AddSamples(3);
    ASSERT_GT(expected.size(), 3u * 64 * 1024);
    std::string before = DumpBook(context_);

    Save();
    EXPECT_TRUE(ReadBook() == expected);
    EXPECT_EQ(DumpBook(Open()), before);

    Empty();
    AddSamples(3);
    portable::FailAllocations(1);  // the staging block
    Save();
    portable::FailAllocations(0);
    EXPECT_TRUE(ReadBook() == expected);
}

// A field filled to its last byte (no zero byte: a record written over by
// other code) ends there; the field behind it is not taken into it.
TEST_F(BookWritingTest, FieldWithoutAZeroByteEndsAtItsLastByte) {
    Empty();
    PersonRecord *person = AddPerson("", "Lee", "Acme", {{"1", "office"}});
    std::memset(person->firstName, 'a', sizeof person->firstName);
    std::memset(person->notes, ',', sizeof person->notes);
    NumberRecord *number = person->numbers->next;
    std::memset(number->number, '7', sizeof number->number);
    Save();
    EXPECT_EQ(ReadBook(), "," + std::string(36, 'a') + ",Lee,,Acme,," + Escaped(std::string(250, ',')) + "," +
                              std::string(80, '7') + ",office\n\f");
}

}  // namespace
