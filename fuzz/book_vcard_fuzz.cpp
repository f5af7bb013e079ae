// The vCard reader over arbitrary bytes: no crash, no hang, no sanitizer
// report, a refusal always names its line; and what it reads, merged into
// a book, written as vCard and read again into an empty book, is the same
// book.
#include "book_round_trip.h"
#include "orvixfax/book_vcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return FuzzBookRoundTrip(
        data, size,
        [](const std::string &text, std::vector<PersonRow> &rows, std::string &error) {
            return ParseVcards(text, rows, error);
        },
        [](const WorkingContext *context) { return FormatVcards(context); });
}
