// What the book fuzzers share: arbitrary bytes read by one of the command
// line's book readers must give no crash, no hang and no sanitizer report,
// a refusal must name its line, and what is read, merged into an empty
// book, written in the same format and read again into an empty book,
// must be the same book. No global block may be left behind.
#ifndef ORVIXFAX_FUZZ_BOOK_ROUND_TRIP_H
#define ORVIXFAX_FUZZ_BOOK_ROUND_TRIP_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "addrbook/records.h"
#include "orvixfax/book_merge.h"
#include "platform/portable/host.h"
#include "portable/addrbook/book_dump.h"

using BookParser = std::function<bool(const std::string &text, std::vector<PersonRow> &rows, std::string &error)>;
using BookFormatter = std::function<std::string(const WorkingContext *context)>;

// The rows merged into an empty book, as the book's dump (groups in name
// order: an import may make them in another order); `written`, when
// given, receives the book in the reader's own format.
inline std::string MergedBook(const std::vector<PersonRow> &rows, const BookFormatter &format, std::string *written) {
    WorkingContext *context = nullptr;
    if (!OpenEmptyWorkingContext(&context)) std::abort();
    MergeReport report;
    if (!MergeBookRows(context, rows, report)) std::abort();
    std::string dump = DumpBookGroupsSorted(context);
    if (written != nullptr) *written = format(context);
    CloseWorkingContext(&context);
    return dump;
}

inline int FuzzBookRoundTrip(const uint8_t *data, size_t size, const BookParser &parse, const BookFormatter &format) {
    int blocksBefore = portable::LiveGlobalBlocks();
    std::vector<PersonRow> rows;
    std::string error;
    if (parse(std::string(reinterpret_cast<const char *>(data), size), rows, error)) {
        std::string written;
        std::string first = MergedBook(rows, format, &written);
        std::vector<PersonRow> again;
        // A format may write nothing for a book without persons: nothing to read back then.
        if (!written.empty() && !parse(written, again, error)) {
            std::fprintf(stderr, "the written book does not read: %s\n%s", error.c_str(), written.c_str());
            std::abort();
        }
        std::string second = written.empty() ? first : MergedBook(again, format, nullptr);
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

#endif
