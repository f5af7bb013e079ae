// The CSV importer over arbitrary bytes: no crash, no hang, no sanitizer
// report; and what it reads, merged into a book, exported and imported
// again into an empty book, is the same book.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "portable/addrbook/book_dump.h"
#include "orvixfax/book_csv.h"
#include "addrbook/records.h"
#include "platform/portable/host.h"

namespace {

WorkingContext *NewContext() {
    WorkingContext *context = nullptr;
    if (!OpenEmptyWorkingContext(&context)) std::abort();
    return context;
}

// The rows merged into an empty book, as the book's dump.
std::string Merged(const std::vector<PersonRow> &rows, std::string *csv) {
    WorkingContext *context = NewContext();
    MergeReport report;
    if (!MergeBookRows(context, rows, report)) std::abort();
    std::string dump = DumpBookGroupsSorted(context);
    if (csv != nullptr) *csv = FormatBookCsv(context);
    CloseWorkingContext(&context);
    return dump;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    int blocksBefore = portable::LiveGlobalBlocks();
    std::vector<PersonRow> rows;
    std::string error;
    if (ParseBookCsv(std::string(reinterpret_cast<const char *>(data), size), rows, error)) {
        std::string csv;
        std::string first = Merged(rows, &csv);
        std::vector<PersonRow> again;
        if (!ParseBookCsv(csv, again, error)) {
            std::fprintf(stderr, "the exported book does not import: %s\n%s", error.c_str(), csv.c_str());
            std::abort();
        }
        std::string second = Merged(again, nullptr);
        if (first != second) {
            std::fprintf(stderr, "export and import changed the book:\n--- first\n%s--- second\n%s", first.c_str(),
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
