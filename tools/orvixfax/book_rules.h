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

// Members in the group editor's order: that of its member list, which
// sorts its lines.
std::vector<MemberLink> InEditorOrder(std::vector<MemberLink> members);

// The group's member list made anew from `members`, as the group editor's
// OK makes it. False when memory ran out (the group keeps the members made).
bool StoreMembers(GroupRecord *group, const std::vector<MemberLink> &members);

// `members` added to the group of the book named `name` (the editor's
// same-name rule), or to a new group of that name appended to the book;
// a number already in the group stays there once; the members in the
// group editor's order. False when memory ran out; a new group is then
// not made, and an old one may hold its members in part.
struct GroupChange {
    GroupRecord *group = nullptr;
    bool made = false;
    int added = 0;
};
bool AddToGroup(WorkingContext *context, const std::string &name, const std::vector<MemberLink> &members,
                GroupChange &change);

#endif
