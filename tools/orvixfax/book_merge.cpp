#include "orvixfax/book_merge.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

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

size_t Mixed(size_t value) {
    uint64_t mixed = value;
    mixed ^= mixed >> 33;
    mixed *= 0xff51afd7ed558ccdULL;
    mixed ^= mixed >> 33;
    return static_cast<size_t>(mixed);
}

// A person's first name, last name and company, hashed as one key.
size_t IdentityHash(std::string_view firstName, std::string_view lastName, std::string_view company) {
    std::hash<std::string_view> hash;
    return Mixed(hash(firstName) ^ Mixed(hash(lastName) + 1) ^ Mixed(Mixed(hash(company)) + 2));
}

// One number of one person, hashed.
size_t NumberHash(const PersonRecord *person, std::string_view number) {
    return Mixed(std::hash<std::string_view>()(number) ^ Mixed(reinterpret_cast<uintptr_t>(person)));
}

// An open-addressed table of slots that each keep their key's hash: one
// probe or two finds a row's person or number however large the book is,
// with no allocation per entry. A slot whose `hash` is 0 is free (hashes
// of 0 are kept as 1).
template <typename Slot>
class ProbeTable {
public:
    explicit ProbeTable(size_t expected) {
        size_t capacity = 64;
        while (capacity < expected * 2) capacity *= 2;
        slots_.assign(capacity, Slot{});
    }
    // The slot holding a key of `hash` that `same` accepts, or null.
    template <typename Same>
    Slot *Find(size_t hash, const Same &same) {
        hash = Kept(hash);
        size_t mask = slots_.size() - 1;
        for (size_t at = hash & mask;; at = (at + 1) & mask) {
            Slot &slot = slots_[at];
            if (slot.hash == 0) return nullptr;
            if (slot.hash == hash && same(slot)) return &slot;
        }
    }
    // Keeps `slot` for a key of `hash` that the table does not hold yet.
    // The reference holds until the next Add.
    Slot &Add(size_t hash, const Slot &slot) {
        if ((used_ + 1) * 2 > slots_.size()) Grow();
        ++used_;
        Slot &kept = FreeSlot(Kept(hash));
        kept = slot;
        kept.hash = Kept(hash);
        return kept;
    }

private:
    static size_t Kept(size_t hash) { return hash == 0 ? 1 : hash; }

    Slot &FreeSlot(size_t hash) {
        size_t mask = slots_.size() - 1;
        size_t at = hash & mask;
        while (slots_[at].hash != 0) at = (at + 1) & mask;
        return slots_[at];
    }

    void Grow() {
        std::vector<Slot> old(slots_.size() * 2, Slot{});
        old.swap(slots_);
        for (const Slot &slot : old)
            if (slot.hash != 0) FreeSlot(slot.hash) = slot;
    }

    std::vector<Slot> slots_;
    size_t used_ = 0;
};

// The first person of an identity, and the last of its numbers once a
// row has reached it (its numbers are then all in the number table).
struct IdentitySlot {
    size_t hash;
    PersonRecord *person;
    NumberRecord *last;
};

struct NumberSlot {
    size_t hash;
    const PersonRecord *person;
    NumberRecord *number;
};

}  // namespace

struct BookMerger::State {
    WorkingContext *context;
    MergeReport &report;
    bool keepEvents;
    PersonRecord *tail;
    ProbeTable<IdentitySlot> identities;
    ProbeTable<NumberSlot> numbers;
    // The groups the rows named, in the order first named, with the
    // numbers each is to get.
    std::vector<std::pair<std::string, std::vector<MemberLink>>> groups;
    std::unordered_map<std::string, size_t> groupIndex;
    // The identity of the row before. A person's rows mostly come one
    // after another, and its record is then still in the caches; a large
    // book's records, which a lookup in the table reads, are not.
    IdentitySlot *recent = nullptr;

    State(WorkingContext *c, MergeReport &r, bool events, size_t persons)
        : context(c), report(r), keepEvents(events), identities(persons), numbers(persons) {}

    void Event(MergeReport::Event::Kind kind, const PersonRecord *person, const NumberRecord *number,
               const GroupRecord *group) {
        if (keepEvents) report.events.push_back({kind, person, number, group});
    }

    // The first person of that identity (its key's hash given), or null.
    IdentitySlot *Identity(size_t hash, std::string_view firstName, std::string_view lastName,
                           std::string_view company) {
        return identities.Find(hash, [&](const IdentitySlot &slot) { return Same(slot, firstName, lastName, company); });
    }

    static bool Same(const IdentitySlot &slot, std::string_view firstName, std::string_view lastName,
                     std::string_view company) {
        return firstName == slot.person->firstName && lastName == slot.person->lastName &&
               company == slot.person->company;
    }

    NumberSlot *Number(const PersonRecord *person, std::string_view text) {
        return numbers.Find(NumberHash(person, text), [&](const NumberSlot &slot) {
            return slot.person == person && text == slot.number->number;
        });
    }

    void AddNumber(const PersonRecord *person, NumberRecord *number) {
        numbers.Add(NumberHash(person, number->number), NumberSlot{0, person, number});
    }

    // The person's number of that text, or null. The first time a row
    // reaches a person its list is walked once, into the number table,
    // the first of equal numbers counting.
    NumberRecord *Known(IdentitySlot &identity, const std::string &text) {
        PersonRecord *person = identity.person;
        if (identity.last == nullptr) {
            identity.last = person->numbers;
            for (NumberRecord *number = person->numbers->next; number; number = number->next) {
                if (Number(person, number->number) == nullptr) AddNumber(person, number);
                identity.last = number;
            }
        }
        NumberSlot *slot = Number(person, text);
        return slot != nullptr ? slot->number : nullptr;
    }
};

BookMerger::BookMerger(WorkingContext *context, MergeReport &report, bool keepEvents) {
    size_t persons = 0;
    for (PersonRecord *person = context->persons->next; person; person = person->next) ++persons;
    state_ = std::make_unique<State>(context, report, keepEvents, persons);
    report = MergeReport{};
    state_->tail = context->persons;
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        size_t hash = IdentityHash(person->firstName, person->lastName, person->company);
        if (state_->Identity(hash, person->firstName, person->lastName, person->company) == nullptr)
            state_->identities.Add(hash, IdentitySlot{0, person, nullptr});
        state_->tail = person;
    }
}

BookMerger::~BookMerger() = default;

bool BookMerger::Add(const PersonRow &row) {
    State &s = *state_;
    IdentitySlot *identity = nullptr;
    size_t hash = 0;
    if (s.recent != nullptr && State::Same(*s.recent, row.firstName, row.lastName, row.company)) {
        identity = s.recent;
    } else {
        hash = IdentityHash(row.firstName, row.lastName, row.company);
        identity = s.Identity(hash, row.firstName, row.lastName, row.company);
    }
    if (identity == nullptr) {
        PersonRecord *person = nullptr;
        if (!NewPerson(&person)) return false;
        CopyField(person->firstName, row.firstName.c_str());
        CopyField(person->lastName, row.lastName.c_str());
        CopyField(person->company, row.company.c_str());
        CopyField(person->department, row.department.c_str());
        CopyField(person->notes, row.notes.c_str());
        s.tail->next = person;  // appended behind the last, without a walk per row
        s.tail = person;
        identity = &s.identities.Add(hash, IdentitySlot{0, person, nullptr});  // `recent` may have moved
        ++s.report.persons;
        s.Event(MergeReport::Event::Kind::Person, person, nullptr, nullptr);
    }
    s.recent = identity;
    PersonRecord *person = identity->person;
    if (row.number.empty()) return true;
    NumberRecord *number = s.Known(*identity, row.number);
    if (number == nullptr) {
        if (!NewNumber(&number)) return false;
        CopyField(number->number, row.number.c_str());
        CopyField(number->details, row.details.c_str());
        identity->last->next = number;
        identity->last = number;
        s.AddNumber(person, number);
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
