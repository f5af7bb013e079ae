#include "orvixfax/book_lookup.h"

namespace {

std::string Trimmed(const std::string &text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The texts a person is named by.
std::vector<std::string> PersonNames(const PersonRecord *person) {
    std::vector<std::string> names;
    std::string name = PersonName(person);
    if (!name.empty()) names.push_back(name);
    if (person->firstName[0] != '\0' && person->lastName[0] != '\0')
        names.push_back(std::string(person->lastName) + ", " + person->firstName);
    return names;
}

// Matches that compare as they are, and matches that do only ignoring case.
struct Matches {
    std::vector<BookItem> exact, folded;
    void Add(bool same, const BookItem &item) { (same ? exact : folded).push_back(item); }
};

class Matcher {
public:
    Matcher(const CodePage &codePage, const std::string &who) : codePage_(codePage), who_(who), folded_(codePage.Folded(who)) {}
    // 1 as it is, 2 ignoring case, 0 not at all.
    int Compare(const std::string &text) const {
        if (text == who_) return 1;
        return codePage_.Folded(text) == folded_ ? 2 : 0;
    }

private:
    const CodePage &codePage_;
    std::string who_;
    std::u32string folded_;
};

void AddPerson(Matches &matches, bool same, PersonRecord *person, WhoMeans means) {
    if (means == WhoMeans::Anything) {
        matches.Add(same, BookItem{BookItem::Kind::Person, nullptr, person, nullptr});
        return;
    }
    for (NumberRecord *number = person->numbers->next; number; number = number->next)
        matches.Add(same, BookItem{BookItem::Kind::Number, nullptr, person, number});
}

// The best of a person's names against the matcher.
int ComparePerson(const Matcher &matcher, const PersonRecord *person) {
    int best = 0;
    for (const std::string &name : PersonNames(person)) {
        int result = matcher.Compare(name);
        if (result != 0 && (best == 0 || result < best)) best = result;
    }
    return best;
}

bool Contains(const std::u32string &text, const std::u32string &part) { return text.find(part) != std::u32string::npos; }

}  // namespace

std::string PersonName(const PersonRecord *person) {
    std::string name = person->firstName;
    if (!name.empty() && person->lastName[0] != '\0') name += ' ';
    name += person->lastName;
    return name.empty() ? std::string(person->company) : name;
}

std::vector<BookItem> FindWho(const WorkingContext *context, const CodePage &codePage, const std::string &whoText,
                              WhoMeans means) {
    const std::string who = Trimmed(whoText);
    Matches matches;
    if (who.empty()) return {};
    const Matcher whole(codePage, who);
    if (means != WhoMeans::Members) {
        for (GroupRecord *group = context->groups->next; group; group = group->next) {
            int result = whole.Compare(group->name);
            if (result == 0) result = whole.Compare("[" + std::string(group->name) + "]");
            if (result != 0) matches.Add(result == 1, BookItem{BookItem::Kind::Group, group, nullptr, nullptr});
        }
    }
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        if (int result = ComparePerson(whole, person)) AddPerson(matches, result == 1, person, means);
    }
    // "Name:number", split at any colon: names may hold colons too.
    for (size_t colon = who.find(':'); colon != std::string::npos; colon = who.find(':', colon + 1)) {
        const Matcher name(codePage, Trimmed(who.substr(0, colon)));
        const Matcher number(codePage, Trimmed(who.substr(colon + 1)));
        for (PersonRecord *person = context->persons->next; person; person = person->next) {
            int byName = ComparePerson(name, person);
            if (byName == 0) continue;
            for (NumberRecord *record = person->numbers->next; record; record = record->next) {
                int byNumber = number.Compare(record->number);
                if (byNumber != 0)
                    matches.Add(byName == 1 && byNumber == 1, BookItem{BookItem::Kind::Number, nullptr, person, record});
            }
        }
    }
    return !matches.exact.empty() ? matches.exact : matches.folded;
}

std::vector<BookItem> FindContaining(const WorkingContext *context, const CodePage &codePage, const std::string &text,
                                     WhoMeans means) {
    const std::u32string part = codePage.Folded(Trimmed(text));
    auto has = [&](const char *field) { return Contains(codePage.Folded(field), part); };
    std::vector<BookItem> found;
    if (means != WhoMeans::Members) {
        for (GroupRecord *group = context->groups->next; group; group = group->next)
            if (has(group->name)) found.push_back(BookItem{BookItem::Kind::Group, group, nullptr, nullptr});
    }
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        bool personHas = has(person->firstName) || has(person->lastName) || has(person->company) ||
                         has(person->department) || has(person->notes) ||
                         Contains(codePage.Folded(PersonName(person)), part);
        if (means == WhoMeans::Anything && personHas)
            found.push_back(BookItem{BookItem::Kind::Person, nullptr, person, nullptr});
        for (NumberRecord *number = person->numbers->next; number; number = number->next) {
            bool numberHas = has(number->number) || has(number->details);
            if (numberHas || (means != WhoMeans::Anything && personHas))
                found.push_back(BookItem{BookItem::Kind::Number, nullptr, person, number});
        }
    }
    return found;
}

std::string WhoText(const CodePage &codePage, const BookItem &item) {
    switch (item.kind) {
    case BookItem::Kind::Group: return "[" + codePage.ToUtf8(item.group->name) + "]";
    case BookItem::Kind::Person: return codePage.ToUtf8(PersonName(item.person));
    case BookItem::Kind::Number: return codePage.ToUtf8(PersonName(item.person) + ":" + item.number->number);
    }
    return "";
}

std::string WhoDetails(const CodePage &codePage, const BookItem &item) {
    if (item.kind == BookItem::Kind::Group) return "";
    std::string details;
    auto add = [&](const char *text) {
        if (text[0] == '\0') return;
        details += (details.empty() ? "" : ", ") + codePage.ToUtf8(text);
    };
    // The company is the name of a person without one: no need to say it twice.
    if (item.person->firstName[0] != '\0' || item.person->lastName[0] != '\0') add(item.person->company);
    add(item.person->department);
    if (item.kind == BookItem::Kind::Number) add(item.number->details);
    return details;
}
