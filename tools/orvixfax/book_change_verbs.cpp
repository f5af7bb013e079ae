// orvixfax book add|remove|find and book group add|remove|members: the
// address book kept without its dialog, by the editors' rules (their field
// limits, unique group names, members in the group editor's order, a
// person's removal taking it out of its groups and removing the groups it
// leaves empty), each change saved as the dialog's OK saves it, under the
// book's lock.
#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "addrbook/display_lines.h"
#include "addrbook/records.h"
#include "common/text_field.h"
#include "editors/number_editor.h"
#include "editors/person_editor.h"
#include "orvixfax/book_access.h"
#include "orvixfax/book_lookup.h"
#include "orvixfax/book_rules.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

// A fault of the user's input: exit status 2, with the message.
struct BadInput {
    std::string message;
};

struct Book {
    WorkingContext *context;
    const CodePage &codePage;
    std::string shownPath;
};

// Runs `work` on the book of the directory: under the lock and saved after
// when `changes`; else only read, and a missing book is said so.
int WithBook(const std::string &verb, const CommonOptions &common, bool changes,
             const std::function<std::string(Book &)> &work) {
    std::string error;
    CodePage codePage;
    DataPlace place;
    if (!OpenCodePage(common, codePage, error) || !DataDirectory(common.dir, changes, place, error)) {
        std::cerr << verb << ": " << error << '\n';
        return 2;
    }
    const std::string path = BookPath(place.directory);
    BookLock lock;
    if (changes && !lock.Acquire(path, error)) {
        std::cerr << verb << ": " << error << '\n';
        return 1;
    }
    if (!changes && !BookExists(path)) {
        std::cerr << verb << ": no address book at " << Shown(path) << '\n';
        return 1;
    }
    BookContext context = LoadBook(path, error);
    if (!context) {
        std::cerr << verb << ": " << error << '\n';
        return 1;
    }
    Book book{context.get(), codePage, Shown(path)};
    std::string done;
    try {
        done = work(book);
    } catch (const BadInput &bad) {
        std::cerr << verb << ": " << bad.message << (changes ? "; the book was not changed" : "") << '\n';
        return 2;
    }
    if (changes && !SaveBook(context.get(), path, error)) {
        std::cerr << verb << ": " << error << '\n';
        return 1;
    }
    if (!done.empty()) std::cerr << done << '\n';
    return 0;
}

// An option's text in the code page, within the editor's limit.
std::string Field(const Book &book, const std::string &option, const std::string &utf8, size_t limit,
                  const char *editor) {
    std::string bytes, error;
    if (!OptionText(book.codePage, option, utf8, bytes, error)) throw BadInput{error};
    if (bytes.size() > limit)
        throw BadInput{option + ": \"" + utf8 + "\" is longer than the " + editor + "'s limit of " +
                       std::to_string(limit) + " characters"};
    return bytes;
}

std::string Candidates(const Book &book, const std::vector<BookItem> &items) {
    std::string lines;
    for (const BookItem &item : items) {
        std::string details = WhoDetails(book.codePage, item);
        lines += "\n  " + WhoText(book.codePage, item) + (details.empty() ? "" : "  (" + details + ")");
    }
    return lines;
}

// The one item a WHO names, or the refusal with the candidates.
BookItem OneItem(const Book &book, const std::string &option, const std::string &whoUtf8, WhoMeans means) {
    std::string who, error;
    if (!OptionText(book.codePage, option, whoUtf8, who, error)) throw BadInput{error};
    std::vector<BookItem> found = FindWho(book.context, book.codePage, who, means);
    const std::string named = option + " \"" + whoUtf8 + "\"";
    if (found.size() == 1) return found[0];
    if (found.empty()) {
        std::vector<BookItem> containing = FindContaining(book.context, book.codePage, who, means);
        throw BadInput{named + " matches nothing in the address book" +
                       (containing.empty() ? "" : "; these contain it:" + Candidates(book, containing))};
    }
    throw BadInput{named + " matches " + std::to_string(found.size()) + " entries of the address book; name one of them:" +
                   Candidates(book, found)};
}

GroupRecord *GroupNamed(const Book &book, const std::string &nameUtf8) {
    std::vector<BookItem> groups;
    std::string name, error;
    if (!OptionText(book.codePage, "NAME", nameUtf8, name, error)) throw BadInput{error};
    for (const BookItem &item : FindWho(book.context, book.codePage, name, WhoMeans::Anything))
        if (item.kind == BookItem::Kind::Group) groups.push_back(item);
    if (groups.size() == 1) return groups[0].group;
    if (groups.empty()) throw BadInput{"no group is named \"" + nameUtf8 + "\""};
    throw BadInput{"\"" + nameUtf8 + "\" names " + std::to_string(groups.size()) + " groups; name one of them:" +
                   Candidates(book, groups)};
}

int GroupCount(const WorkingContext *context) {
    int count = 0;
    for (const GroupRecord *group = context->groups->next; group; group = group->next) ++count;
    return count;
}

std::string Plural(int count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The groups a change took away with their last member.
std::string GroupsGone(int before, const WorkingContext *context) {
    int gone = before - GroupCount(context);
    return gone == 0 ? "" : "; " + Plural(gone, "group", "groups") + " left without members went too";
}

// ---- book add

struct AddOptions {
    std::string firstName, lastName, company, department, notes;
    std::vector<std::string> numbers, details;
    const CLI::Option *numberOption = nullptr;
    const CLI::Option *detailsOption = nullptr;
};

std::string AddPerson(Book &book, const AddOptions &options, const CLI::App &command) {
    const char *editor = "person editor";
    const std::string first = Field(book, "--first-name", options.firstName, FIRST_NAME_LIMIT, editor);
    const std::string last = Field(book, "--last-name", options.lastName, LAST_NAME_LIMIT, editor);
    const std::string company = Field(book, "--company", options.company, COMPANY_LIMIT, editor);
    const std::string department = Field(book, "--department", options.department, DEPARTMENT_LIMIT, editor);
    const std::string notes = Field(book, "--notes", options.notes, NOTES_LIMIT, editor);
    if (!HasName(first, last, company))
        throw BadInput{std::string(kPersonNeedsName) + " (--first-name, --last-name, --company)"};
    // Each --details belongs to the --number before it on the command line.
    std::vector<std::pair<std::string, std::string>> numbers;
    size_t nextNumber = 0, nextDetails = 0;
    for (const CLI::Option *option : command.parse_order()) {
        if (option == options.numberOption) {
            numbers.emplace_back(Field(book, "--number", options.numbers.at(nextNumber++), NUMBER_EDIT_LIMIT,
                                       "number editor"),
                                 "");
            if (numbers.back().first.empty()) throw BadInput{"--number: a number cannot be empty"};
        } else if (option == options.detailsOption) {
            const std::string &text = options.details.at(nextDetails++);
            if (numbers.empty()) throw BadInput{"--details \"" + text + "\" comes before any --number"};
            if (!numbers.back().second.empty())
                throw BadInput{"--details \"" + text + "\": the number before it has its details already"};
            numbers.back().second = Field(book, "--details", text, DETAILS_EDIT_LIMIT, "number editor");
        }
    }
    PersonRecord *person = nullptr;
    if (!NewPerson(&person)) throw std::bad_alloc();
    CopyField(person->firstName, first.c_str());
    CopyField(person->lastName, last.c_str());
    CopyField(person->company, company.c_str());
    CopyField(person->department, department.c_str());
    CopyField(person->notes, notes.c_str());
    for (const auto &[text, details] : numbers) {
        NumberRecord *number = nullptr;
        if (!NewNumber(&number)) {
            FreePerson(&person);
            throw std::bad_alloc();
        }
        CopyField(number->number, text.c_str());
        CopyField(number->details, details.c_str());
        ListAppend(person->numbers, number);
    }
    ListAppend(book.context->persons, person);
    return "Added " + book.codePage.ToUtf8(PersonName(person)) + " (" +
           Plural(static_cast<int>(numbers.size()), "number", "numbers") + ") to " + book.shownPath;
}

// ---- book remove

std::string Remove(Book &book, const std::string &who) {
    const BookItem item = OneItem(book, "WHO", who, WhoMeans::Anything);
    const std::string named = WhoText(book.codePage, item);
    const int groups = GroupCount(book.context);
    switch (item.kind) {
    case BookItem::Kind::Group: {
        GroupRecord *group = item.group;
        ListUnlink(book.context->groups, group);
        FreeGroup(&group);
        return "Removed the group " + named + " from " + book.shownPath;
    }
    case BookItem::Kind::Person: {
        // As the address book dialog's Delete: out of its groups first.
        PersonRecord *person = item.person;
        RemovePersonFromGroups(book.context, person);
        ListUnlink(book.context->persons, person);
        FreePerson(&person);
        return "Removed " + named + " from " + book.shownPath + GroupsGone(groups, book.context);
    }
    case BookItem::Kind::Number: {
        // As the person editor's Delete and OK.
        NumberRecord *number = item.number;
        RemoveNumberFromGroups(book.context, number);
        ListUnlink(item.person->numbers, number);
        void *record = number;
        FreeRecord(&record);
        return "Removed the number " + named + " from " + book.shownPath + GroupsGone(groups, book.context);
    }
    }
    return "";
}

// ---- book find

std::string Find(Book &book, const std::string &textUtf8, bool &found) {
    std::string text, error;
    if (!OptionText(book.codePage, "TEXT", textUtf8, text, error)) throw BadInput{error};
    std::string out;
    for (const BookItem &item : FindContaining(book.context, book.codePage, text, WhoMeans::Anything)) {
        const char *kind = item.kind == BookItem::Kind::Group    ? "group  "
                           : item.kind == BookItem::Kind::Person ? "person "
                                                                 : "number ";
        std::string details = WhoDetails(book.codePage, item);
        out += kind + Printable(WhoText(book.codePage, item)) + (details.empty() ? "" : "  (" + Printable(details) + ")") + "\n";
    }
    std::cout << out;
    found = !out.empty();
    return "";
}

// ---- book group

std::string GroupAdd(Book &book, const std::string &nameUtf8, const std::vector<std::string> &whos) {
    std::string name = Field(book, "NAME", nameUtf8, kGroupNameLimit, "group editor");
    const std::string fault = GroupNameFault(name);
    if (!fault.empty()) throw BadInput{"NAME: \"" + nameUtf8 + "\": " + fault};
    std::vector<MemberLink> members;
    for (const std::string &who : whos) {
        const BookItem item = OneItem(book, "MEMBER", who, WhoMeans::Members);
        members.push_back(MemberLink{nullptr, item.person, item.number});
    }
    GroupRecord *existing = nullptr;
    FindGroupByName(book.context, name.c_str(), &existing);
    if (members.empty() && (existing == nullptr || existing->members->next == nullptr))
        throw BadInput{"there are no persons in this group: name its members"};
    GroupChange change;
    if (!AddToGroup(book.context, name, members, change)) throw std::bad_alloc();
    return (change.made ? "Made the group [" : "Added to the group [") + nameUtf8 + "] " +
           Plural(change.added, "member", "members") + " in " + book.shownPath;
}

std::string GroupRemove(Book &book, const std::string &nameUtf8, const std::vector<std::string> &whos) {
    GroupRecord *group = GroupNamed(book, nameUtf8);
    const std::string named = "[" + book.codePage.ToUtf8(group->name) + "]";
    if (whos.empty()) {
        ListUnlink(book.context->groups, group);
        FreeGroup(&group);
        return "Removed the group " + named + " from " + book.shownPath;
    }
    std::vector<MemberLink> members = MembersOf(group);
    for (const std::string &who : whos) {
        const BookItem item = OneItem(book, "MEMBER", who, WhoMeans::Members);
        auto member = std::find_if(members.begin(), members.end(),
                                   [&](const MemberLink &link) { return link.number == item.number; });
        if (member == members.end())
            throw BadInput{"MEMBER \"" + who + "\" is no member of " + named};
        members.erase(member);
    }
    const int removed = static_cast<int>(whos.size());
    if (members.empty()) {
        ListUnlink(book.context->groups, group);
        FreeGroup(&group);
        return "Removed the last members of " + named + ", and with them the group, from " + book.shownPath;
    }
    if (!StoreMembers(group, InEditorOrder(members))) throw std::bad_alloc();
    return "Removed " + Plural(removed, "member", "members") + " from " + named + " in " + book.shownPath;
}

std::string GroupMembers(Book &book, const std::string &nameUtf8) {
    GroupRecord *group = GroupNamed(book, nameUtf8);
    std::string out;
    for (const MemberLink *link = group->members->next; link; link = link->next) {
        BookItem item{BookItem::Kind::Number, nullptr, link->person, link->number};
        std::string details = WhoDetails(book.codePage, item);
        out += Printable(WhoText(book.codePage, item)) + (details.empty() ? "" : "  (" + Printable(details) + ")") + "\n";
    }
    std::cout << out;
    return "";
}

struct GroupOptions {
    std::string name;
    std::vector<std::string> members;
};

}  // namespace

void AddBookChangeVerbs(CLI::App &book, const Common &common, int &exitCode) {
    const std::string changeStatuses = ExitStatusSection(
        {{0, "changed and saved"},
         {1, "the book could not be read, locked or saved (the old one stays)"},
         {2, "bad option, or a WHO that names nothing or more than one thing (the candidates are listed); the "
             "book was not changed"}});
    const std::string whoHelp =
        "WHO is a group (\"[Sales Team]\" or \"Sales Team\"), a person (\"Ann Lee\", \"Lee, Ann\", or the company "
        "of a person without a name) or one number of a person (\"Ann Lee:+49 30 5550 1234\").";

    auto add = std::make_shared<AddOptions>();
    CLI::App *adder = book.add_subcommand("add", "Add a person and its numbers to the book, as the person editor does");
    adder->add_option("--first-name", add->firstName, "the first name (at most 35 characters)");
    adder->add_option("--last-name", add->lastName, "the last name (at most 45)");
    adder->add_option("--company", add->company, "the company (at most 39)");
    adder->add_option("--department", add->department, "the department or division (at most 39)");
    adder->add_option("--notes", add->notes, "notes (at most 249)");
    // One value each time: a --details goes with the --number before it.
    add->numberOption = adder->add_option("--number", add->numbers, "a fax number (at most 40); once for each")
                            ->allow_extra_args(false);
    add->detailsOption =
        adder->add_option("--details", add->details, "what the --number before it is, such as office (at most 29)")
            ->allow_extra_args(false);
    AddCommonOptions(*adder, *common);
    adder->footer("A person needs a first name, a last name or a company.\n\n" + changeStatuses);
    adder->callback([add, common, adder, &exitCode] {
        exitCode = RunVerb("orvixfax book add", [&] {
            return WithBook("orvixfax book add", *common, true, [&](Book &b) { return AddPerson(b, *add, *adder); });
        });
    });

    auto who = std::make_shared<std::string>();
    CLI::App *remover = book.add_subcommand(
        "remove", "Remove a person (from its groups too), one number of a person, or a group from the book");
    remover->add_option("who", *who, "what to remove (WHO, below)")->required();
    AddCommonOptions(*remover, *common);
    remover->footer(whoHelp + " A group left without members is removed with its last member.\n\n" + changeStatuses);
    remover->callback([who, common, &exitCode] {
        exitCode = RunVerb("orvixfax book remove", [&] {
            return WithBook("orvixfax book remove", *common, true, [&](Book &b) { return Remove(b, *who); });
        });
    });

    auto text = std::make_shared<std::string>();
    CLI::App *finder = book.add_subcommand(
        "find", "List the groups, persons and numbers whose texts contain TEXT, ignoring case (\"caf\" finds "
                "\"Caf\u00e9\"), each by the WHO that names it");
    finder->add_option("text", *text, "the text to look for")->required();
    AddCommonOptions(*finder, *common);
    finder->footer(ExitStatusSection({{0, "something was found"},
                                      {1, "nothing was found, or there is no address book, or it cannot be read"},
                                      {2, "bad option or directory"}}));
    finder->callback([text, common, &exitCode] {
        exitCode = RunVerb("orvixfax book find", [&] {
            bool found = false;
            int status =
                WithBook("orvixfax book find", *common, false, [&](Book &b) { return Find(b, *text, found); });
            return status == 0 && !found ? 1 : status;
        });
    });

    CLI::App *group = book.add_subcommand("group", "Make, change and list the book's groups");
    group->require_subcommand(1);
    auto groupOptions = std::make_shared<GroupOptions>();
    CLI::App *groupAdd = group->add_subcommand(
        "add", "Make the group NAME with the MEMBERs, or add them to the group NAME, as the group editor does");
    groupAdd->add_option("name", groupOptions->name, "the group's name (at most 79 characters, no brackets)")->required();
    groupAdd->add_option("member", groupOptions->members, "a number of a person (WHO: a person with one number, or "
                                                          "\"Ann Lee:+49 30 5550 1234\")");
    AddCommonOptions(*groupAdd, *common);
    groupAdd->footer("Members are kept in the group editor's order, the alphabetical order of its lines.\n\n" +
                     changeStatuses);
    groupAdd->callback([groupOptions, common, &exitCode] {
        exitCode = RunVerb("orvixfax book group add", [&] {
            return WithBook("orvixfax book group add", *common, true,
                            [&](Book &b) { return GroupAdd(b, groupOptions->name, groupOptions->members); });
        });
    });
    CLI::App *groupRemove = group->add_subcommand(
        "remove", "Remove the group NAME, or only the MEMBERs from it (a group left empty goes)");
    groupRemove->add_option("name", groupOptions->name, "the group")->required();
    groupRemove->add_option("member", groupOptions->members, "a member to remove (WHO)");
    AddCommonOptions(*groupRemove, *common);
    groupRemove->footer(changeStatuses);
    groupRemove->callback([groupOptions, common, &exitCode] {
        exitCode = RunVerb("orvixfax book group remove", [&] {
            return WithBook("orvixfax book group remove", *common, true,
                            [&](Book &b) { return GroupRemove(b, groupOptions->name, groupOptions->members); });
        });
    });
    CLI::App *groupMembers = group->add_subcommand("members", "List the members of the group NAME, each by its WHO");
    groupMembers->add_option("name", groupOptions->name, "the group")->required();
    AddCommonOptions(*groupMembers, *common);
    groupMembers->footer(ExitStatusSection({{0, "listed"},
                                            {1, "no address book, or it cannot be read"},
                                            {2, "bad option, or no such group"}}));
    groupMembers->callback([groupOptions, common, &exitCode] {
        exitCode = RunVerb("orvixfax book group members", [&] {
            return WithBook("orvixfax book group members", *common, false,
                            [&](Book &b) { return GroupMembers(b, groupOptions->name); });
        });
    });
}
