// The CSV importer over arbitrary bytes: no crash, no hang, no sanitizer
// report; and what it reads, merged into a book, exported and imported
// again into an empty book, is the same book.
#include "book_round_trip.h"
#include "orvixfax/book_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return FuzzBookRoundTrip(
        data, size,
        [](const std::string &text, std::vector<PersonRow> &rows, std::string &error) {
            return ParseBookCsv(text, rows, error);
        },
        [](const WorkingContext *context) { return FormatBookCsv(context); });
}
