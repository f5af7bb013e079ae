#include "orvixfax/book_rules.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "addrbook/display_lines.h"
#include "common/text_field.h"
#include "orvixfax/platform.h"

const char kPersonNeedsName[] = "a person needs a first name, a last name or a company";

bool HasName(const std::string &firstName, const std::string &lastName, const std::string &company) {
    return !firstName.empty() || !lastName.empty() || !company.empty();
}

std::string GroupNameFault(const std::string &name) {
    if (name.empty()) return "a group needs a name";
    if (name.size() > kGroupNameLimit)
        return "a group's name is longer than the group editor's limit of " + std::to_string(kGroupNameLimit) +
               " characters";
    // "[Team]" is how the lists show the group Team: a name with brackets
    // would stand for another group's line.
    if (name.find_first_of("[]") != std::string::npos)
        return "a group's name cannot hold [ or ] (the lists show groups in brackets)";
    return "";
}

std::vector<MemberLink> MembersOf(const GroupRecord *group) {
    std::vector<MemberLink> members;
    for (const MemberLink *link = group->members->next; link; link = link->next) members.push_back(*link);
    return members;
}

std::vector<MemberLink> InEditorOrder(std::vector<MemberLink> members) {
    // Each member's line made once, not at every comparison of the sort.
    std::vector<std::pair<std::string, MemberLink>> lines;
    lines.reserve(members.size());
    for (const MemberLink &member : members) {
        char text[512];
        FormatGroupEditorLine(member.person, member.number, text, sizeof text);
        lines.emplace_back(text, member);
    }
    std::stable_sort(lines.begin(), lines.end(), [](const auto &a, const auto &b) {
        return CompareListLines(a.first, b.first) < 0;
    });
    for (size_t i = 0; i < lines.size(); ++i) members[i] = lines[i].second;
    return members;
}

bool StoreMembers(GroupRecord *group, const std::vector<MemberLink> &members) {
    void *chain = group->members;
    FreeChain(&chain);
    group->members = nullptr;
    void *list = nullptr;
    if (NewList(&list, sizeof(MemberLink)) != ERR_NONE) return false;
    group->members = static_cast<MemberLink *>(list);
    MemberLink *last = group->members;  // appended behind the last, without a walk per member
    for (const MemberLink &member : members) {
        MemberLink *link = nullptr;
        if (!NewMemberLink(&link)) return false;
        link->person = member.person;
        link->number = member.number;
        link->next = nullptr;
        last->next = link;
        last = link;
    }
    return true;
}

bool AddToGroup(WorkingContext *context, const std::string &name, const std::vector<MemberLink> &adding,
                GroupChange &change) {
    change = GroupChange{};
    GroupRecord *group = nullptr;
    FindGroupByName(context, name.c_str(), &group);
    std::vector<MemberLink> members = group != nullptr ? MembersOf(group) : std::vector<MemberLink>{};
    const size_t before = members.size();
    // A pair is in the group once: the editor lists it on one side only.
    std::unordered_set<const NumberRecord *> there;
    there.reserve(members.size() + adding.size());
    for (const MemberLink &member : members) there.insert(member.number);
    for (const MemberLink &member : adding)
        if (there.insert(member.number).second) members.push_back(MemberLink{nullptr, member.person, member.number});
    change.added = static_cast<int>(members.size() - before);
    if (group != nullptr && change.added == 0) {
        change.group = group;
        return true;
    }
    // Sorted first, so memory running out in the sort leaves no new group.
    members = InEditorOrder(members);
    const bool made = group == nullptr;
    if (made) {
        if (!NewGroup(&group)) return false;
        CopyField(group->name, name.c_str());
    }
    if (!StoreMembers(group, members)) {
        if (made) FreeGroup(&group);
        return false;
    }
    if (made) ListAppend(context->groups, group);
    change.group = group;
    change.made = made;
    return true;
}
