// The editors' rules for the commands that change the book without their
// dialogs: the person editor's field limits and its need of a name, the
// group editor's names and its order of members. The book verbs, CSV and
// vCard import all keep them through these functions.
#ifndef ORVIXFAX_TOOL_BOOK_RULES_H
#define ORVIXFAX_TOOL_BOOK_RULES_H

#include <string>
#include <vector>

#include "addrbook/records.h"

// The group editor takes names of at most this many characters.
constexpr size_t kGroupNameLimit = sizeof(GroupRecord::name) - 1;

// What the person editor asks of every person.
extern const char kPersonNeedsName[];
bool HasName(const std::string &firstName, const std::string &lastName, const std::string &company);

// Why the bytes `name` cannot be a group's name ("a group needs a name",
// a name too long, brackets), or empty when they can.
std::string GroupNameFault(const std::string &name);

std::vector<MemberLink> MembersOf(const GroupRecord *group);

// The group's members replaced by `members`, in the group editor's order
// (the alphabetical order of its lines). False when memory ran out.
bool StoreMembers(GroupRecord *group, std::vector<MemberLink> members);

// `members` added to the group of the book named `name` (the editor's
// same-name rule), or to a new group of that name appended to the book;
// a number already in the group stays there once. False when memory ran
// out; the book's groups are then as they were, or hold the new members
// in part.
struct GroupChange {
    GroupRecord *group = nullptr;
    bool made = false;
    int added = 0;
};
bool AddToGroup(WorkingContext *context, const std::string &name, const std::vector<MemberLink> &members,
                GroupChange &change);

#endif
