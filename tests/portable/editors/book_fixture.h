// A scratch system directory with an address book file in it, a working
// context opened on it the way the exports open theirs, and the acting user
// installed as the front end.
#ifndef ORVIXFAX_TESTS_BOOK_FIXTURE_H
#define ORVIXFAX_TESTS_BOOK_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acting_user.h"
#include "addrbook/records.h"
#include "common/text_field.h"
#include "res/resource.h"

// The sample book the scenarios start from:
//   persons  0 Ann Lee (Acme): 555-1000 office, 555-1001 home
//            1 Bob Roe (Beta): 555-2000 desk
//            2 no names (Gamma Ltd): 555-3000 main
//   groups   Team = Ann's office number and Bob's; Solo = Ann's home number
extern const char kSampleBook[];

class BookTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteBook(const std::string &bytes);
    std::string ReadBook() const;  // empty when there is no file
    bool BookExists() const;

    // Opens the context on the book file; fails the test when it cannot.
    WorkingContext *Open();
    // Runs the address book dialog on the open context, owned by nothing.
    INT_PTR RunAddressBook();

    PersonRecord *PersonAt(int index) const;  // 0-based, null when absent
    GroupRecord *GroupNamed(const char *name) const;
    int PersonCount() const;
    int GroupCount() const;
    int MemberCount(const GroupRecord *group) const;

    std::string directory_;
    WorkingContext *context_ = nullptr;
    ActingUser user_;
};

// Acts on list lines by their text; a missing line fails the test.
int LineOf(HWND dialog, int listId, const std::string &text);
void PickLine(HWND dialog, int listId, const std::string &text);
void OpenLine(HWND dialog, int listId, const std::string &text);  // double-click
std::vector<std::string> Lines(HWND dialog, int listId);

#endif

