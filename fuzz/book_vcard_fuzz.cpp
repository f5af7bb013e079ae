// The vCard reader over arbitrary bytes: no crash, no hang, no sanitizer
// report, a refusal always names its line; and what it reads, merged into
// a book, written as vCard and read again into an empty book, is the same
// book.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "orvixfax/book_vcard.h"
#include "platform/portable/host.h"
#include "portable/addrbook/book_dump.h"

namespace {

WorkingContext *NewContext() {
    void *block = nullptr;
    if (CreatePtr(&block, sizeof(WorkingContext)) != ERR_NONE) std::abort();
    WorkingContext *context = static_cast<WorkingContext *>(block);
    void *persons = nullptr, *groups = nullptr;
    if (NewList(&persons, sizeof(PersonRecord)) != ERR_NONE || NewList(&groups, sizeof(GroupRecord)) != ERR_NONE)
        std::abort();
    context->persons = static_cast<PersonRecord *>(persons);
    context->groups = static_cast<GroupRecord *>(groups);
    return context;
}

// The rows merged into an empty book, as the book's dump, and the book
// written as vCard.
std::string Merged(const std::vector<PersonRow> &rows, std::string *cards) {
    WorkingContext *context = NewContext();
    MergeReport report;
    if (!MergeBookRows(context, rows, report)) std::abort();
    std::string dump = DumpBookGroupsSorted(context);
    if (cards != nullptr) *cards = FormatVcards(context);
    CloseWorkingContext(&context);
    return dump;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    int blocksBefore = portable::LiveGlobalBlocks();
    std::vector<PersonRow> rows;
    std::string error;
    if (ParseVcards(std::string(reinterpret_cast<const char *>(data), size), rows, error)) {
        std::string cards;
        std::string first = Merged(rows, &cards);
        std::vector<PersonRow> again;
        // A book without persons is no file of cards: nothing to read back.
        if (!cards.empty() && !ParseVcards(cards, again, error)) {
            std::fprintf(stderr, "the written cards do not read: %s\n%s", error.c_str(), cards.c_str());
            std::abort();
        }
        std::string second = cards.empty() ? first : Merged(again, nullptr);
        if (first != second) {
            std::fprintf(stderr, "writing and reading changed the book:\n--- first\n%s--- second\n%s", first.c_str(),
                         second.c_str());
            std::abort();
        }
    } else if (error.rfind("line ", 0) != 0) {
        std::fprintf(stderr, "a refusal that names no line: %s\n", error.c_str());
        std::abort();
    }
    if (portable::LiveGlobalBlocks() != blocksBefore) std::abort();
    return 0;
}
