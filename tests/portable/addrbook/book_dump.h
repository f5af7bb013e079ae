// A readable, exact text of a whole address book in memory, for comparing
// books in tests, the fuzzer and the benchmarks.
#ifndef ORVIXFAX_TESTS_BOOK_DUMP_H
#define ORVIXFAX_TESTS_BOOK_DUMP_H

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "addrbook/records.h"

inline void DumpText(std::string &out, const char *text) {
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(text); *p; ++p) {
        if (*p < 0x20 || *p >= 0x7f || *p == '|' || *p == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", *p);
            out += hex;
        } else {
            out += static_cast<char>(*p);
        }
    }
}

// One line per person ("P|first|last|company|department|notes"), one per
// number ("  N|number|details"), one per group ("G|name|p.n p.n").
inline std::string DumpBook(const WorkingContext *context) {
    std::string out;
    for (PersonRecord *person = context->persons->next; person; person = person->next) {
        out += "P|";
        DumpText(out, person->firstName);
        out += '|';
        DumpText(out, person->lastName);
        out += '|';
        DumpText(out, person->company);
        out += '|';
        DumpText(out, person->department);
        out += '|';
        DumpText(out, person->notes);
        out += '\n';
        for (NumberRecord *number = person->numbers->next; number; number = number->next) {
            out += "  N|";
            DumpText(out, number->number);
            out += '|';
            DumpText(out, number->details);
            out += '\n';
        }
    }
    for (GroupRecord *group = context->groups->next; group; group = group->next) {
        out += "G|";
        DumpText(out, group->name);
        out += '|';
        for (MemberLink *link = group->members->next; link; link = link->next) {
            int p = 0, n = 0;
            PersonRecord *person = context->persons->next;
            while (person && person != link->person) person = person->next, ++p;
            NumberRecord *number = person ? person->numbers->next : nullptr;
            while (number && number != link->number) number = number->next, ++n;
            if (!person || !number) {
                out += " ?";
                continue;
            }
            out += ' ' + std::to_string(p) + '.' + std::to_string(n);
        }
        out += '\n';
    }
    return out;
}

// The dump with its groups in the order of their lines and each group's
// members sorted: for books whose group order means nothing, as after an
// import (the dialogs' lists sort both).
inline std::string DumpBookGroupsSorted(const WorkingContext *context) {
    std::istringstream lines(DumpBook(context));
    std::string out, line;
    std::vector<std::string> groups;
    while (std::getline(lines, line)) {
        if (line.rfind("G|", 0) != 0) {
            out += line + "\n";
            continue;
        }
        size_t bar = line.find('|', 2);
        std::istringstream members(line.substr(bar + 1));
        std::vector<std::string> sorted;
        for (std::string member; members >> member;) sorted.push_back(member);
        std::sort(sorted.begin(), sorted.end());
        std::string group = line.substr(0, bar + 1);
        for (const std::string &member : sorted) group += " " + member;
        groups.push_back(group + "\n");
    }
    std::sort(groups.begin(), groups.end());
    for (const std::string &group : groups) out += group;
    return out;
}

#endif
