#include "orvixfax/book_merge.h"

#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "addrbook/display_lines.h"
#include "common/text_field.h"
#include "editors/number_editor.h"
#include "editors/person_editor.h"
#include "orvixfax/book_rules.h"

// A number takes the book's whole field, as the number editor keeps it
// (it types 40 characters, but keeps what a book file holds).
const BookField kBookFields[7] = {
    {"firstName", FIRST_NAME_LIMIT}, {"lastName", LAST_NAME_LIMIT},
    {"company", COMPANY_LIMIT},      {"department", DEPARTMENT_LIMIT},
    {"notes", NOTES_LIMIT},          {"number", sizeof(NumberRecord::number) - 1},
    {"details", DETAILS_EDIT_LIMIT},
};

std::string *FieldOf(PersonRow &row, int field) {
    std::string *fields[7] = {&row.firstName, &row.lastName, &row.company, &row.department,
                              &row.notes,     &row.number,   &row.details};
    return fields[field];
}

const std::string &FieldOf(const PersonRow &row, int field) { return *FieldOf(const_cast<PersonRow &>(row), field); }

std::string RowFault(const PersonRow &row) {
    for (int field = 0; field < 7; ++field) {
        const std::string &value = FieldOf(row, field);
        if (value.find('\0') != std::string::npos) return std::string(kBookFields[field].name) + " holds a zero byte";
        if (value.size() > kBookFields[field].limit)
            return std::string(kBookFields[field].name) + " is longer than " + std::to_string(kBookFields[field].limit) +
                   " characters";
    }
    if (!HasName(row.firstName, row.lastName, row.company)) return kPersonNeedsName;
    if (row.number.empty() && !row.details.empty()) return "details without a number";
    if (row.number.empty() && !row.groups.empty()) return "groups without a number (a group's members are numbers)";
    for (const std::string &group : row.groups) {
        if (group.find('\0') != std::string::npos) return "a group's name holds a zero byte";
        std::string fault = GroupNameFault(group);
        if (!fault.empty()) return "groups: " + fault;
    }
    return "";
}

namespace {

// A person's first name, last name and company as one key (fields hold no
// zero byte, so the zero between them keeps keys apart).
std::string IdentityOf(std::string_view firstName, std::string_view lastName, std::string_view company) {
    std::string key;
    key.reserve(firstName.size() + lastName.size() + company.size() + 2);
    key.append(firstName).append(1, '\0').append(lastName).append(1, '\0').append(company);
    return key;
}

// One number of one person, for telling at once whether a person already
// has a number.
struct PersonNumber {
    const PersonRecord *person;
    std::string_view number;
    bool operator==(const PersonNumber &other) const { return person == other.person && number == other.number; }
};

struct PersonNumberHash {
    size_t operator()(const PersonNumber &key) const {
        return std::hash<std::string_view>()(key.number) ^
               (std::hash<const void *>()(key.person) * 0x9E3779B97F4A7C15ULL);
    }
};

}  // namespace

struct BookMerger::State {
    WorkingContext *context;
    MergeReport &report;
    bool keepEvents;
    PersonRecord *tail;
    std::unordered_map<std::string, PersonRecord *> byIdentity;
    // Persons with long number lists, with their last numbers, and the
    // numbers they have: neither appending nor checking walks such a list.
    static constexpr size_t kLongNumberList = 8;
    std::unordered_map<PersonRecord *, NumberRecord *> tails;
    std::unordered_map<PersonNumber, NumberRecord *, PersonNumberHash> numbers;
    // The groups the rows named, in the order first named, with the
    // numbers each is to get.
    std::vector<std::pair<std::string, std::vector<MemberLink>>> groups;
    std::unordered_map<std::string, size_t> groupIndex;

    State(WorkingContext *c, MergeReport &r, bool events) : context(c), report(r), keepEvents(events) {}

    void Event(MergeReport::Event::Kind kind, const PersonRecord *person, const NumberRecord *number,
               const GroupRecord *group) {
        if (keepEvents) report.events.push_back({kind, person, number, group});
    }

    // The person's number of that text, or null; `last` is then where a
    // new one goes.
    NumberRecord *Known(PersonRecord *person, const std::string &text, NumberRecord *&last) {
        last = person->numbers;
        auto kept = tails.find(person);
        if (kept != tails.end()) {
            last = kept->second;
            auto found = numbers.find(PersonNumber{person, text});
            return found != numbers.end() ? found->second : nullptr;
        }
        size_t count = 0;
        for (NumberRecord *number = person->numbers->next; number; number = number->next, ++count) {
            if (text == number->number) return number;
            last = number;
        }
        if (count >= kLongNumberList) {
            for (NumberRecord *number = person->numbers->next; number; number = number->next)
                numbers.emplace(PersonNumber{person, number->number}, number);
            tails.emplace(person, last);
        }
        return nullptr;
    }
};

BookMerger::BookMerger(WorkingContext *context, MergeReport &report, bool keepEvents)
    : state_(std::make_unique<State>(context, report, keepEvents)) {
    report = MergeReport{};
    state_->tail = context->persons;
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        state_->byIdentity.emplace(IdentityOf(person->firstName, person->lastName, person->company), person);
        state_->tail = person;
    }
}

BookMerger::~BookMerger() = default;

bool BookMerger::Add(const PersonRow &row) {
    State &s = *state_;
    std::string identity = IdentityOf(row.firstName, row.lastName, row.company);
    PersonRecord *person = nullptr;
    auto found = s.byIdentity.find(identity);
    if (found != s.byIdentity.end()) {
        person = found->second;
    } else {
        if (!NewPerson(&person)) return false;
        CopyField(person->firstName, row.firstName.c_str());
        CopyField(person->lastName, row.lastName.c_str());
        CopyField(person->company, row.company.c_str());
        CopyField(person->department, row.department.c_str());
        CopyField(person->notes, row.notes.c_str());
        s.tail->next = person;  // appended behind the last, without a walk per row
        s.tail = person;
        s.byIdentity.emplace(std::move(identity), person);
        ++s.report.persons;
        s.Event(MergeReport::Event::Kind::Person, person, nullptr, nullptr);
    }
    if (row.number.empty()) return true;
    NumberRecord *last = nullptr;
    NumberRecord *number = s.Known(person, row.number, last);
    if (number == nullptr) {
        if (!NewNumber(&number)) return false;
        CopyField(number->number, row.number.c_str());
        CopyField(number->details, row.details.c_str());
        last->next = number;
        auto kept = s.tails.find(person);
        if (kept != s.tails.end()) {
            kept->second = number;
            s.numbers.emplace(PersonNumber{person, number->number}, number);
        }
        ++s.report.numbers;
        s.Event(MergeReport::Event::Kind::Number, person, number, nullptr);
    }
    for (const std::string &name : row.groups) {
        auto [at, added] = s.groupIndex.emplace(name, s.groups.size());
        if (added) s.groups.emplace_back(name, std::vector<MemberLink>{});
        s.groups[at->second].second.push_back(MemberLink{nullptr, person, number});
    }
    return true;
}

bool BookMerger::Finish() {
    State &s = *state_;
    for (const auto &[name, members] : s.groups) {
        // The numbers the group had, to tell the members this merge adds.
        std::unordered_set<const NumberRecord *> had;
        GroupRecord *existing = nullptr;
        if (s.keepEvents && FindGroupByName(s.context, name.c_str(), &existing))
            for (const MemberLink *link = existing->members->next; link; link = link->next) had.insert(link->number);
        GroupChange change;
        if (!AddToGroup(s.context, name, members, change)) return false;
        if (change.made) {
            ++s.report.groupsMade;
            s.Event(MergeReport::Event::Kind::Group, nullptr, nullptr, change.group);
        } else if (change.added > 0) {
            ++s.report.groupsChanged;
        }
        s.report.members += change.added;
        if (s.keepEvents && change.added > 0) {
            // The members this merge added, in the group's stored order.
            std::unordered_set<const NumberRecord *> named;
            for (const MemberLink &member : members) named.insert(member.number);
            for (const MemberLink *link = change.group->members->next; link; link = link->next)
                if (named.count(link->number) != 0 && had.count(link->number) == 0)
                    s.Event(MergeReport::Event::Kind::Member, link->person, link->number, change.group);
        }
    }
    s.groups.clear();
    s.groupIndex.clear();
    return true;
}

bool MergeBookRows(WorkingContext *context, const std::vector<PersonRow> &rows, MergeReport &report) {
    BookMerger merger(context, report);
    for (const PersonRow &row : rows)
        if (!merger.Add(row)) return false;
    return merger.Finish();
}
