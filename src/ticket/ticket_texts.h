// The texts both tickets share: the cover sheet labels, the date text, and
// the reduction of a fax number to its digits.
#ifndef ORVIXFAX_TICKET_TEXTS_H
#define ORVIXFAX_TICKET_TEXTS_H

#include <cstddef>

#include "orvixfax.h"

enum TicketLabel {
    LABEL_FAX,
    LABEL_TO,
    LABEL_FROM,
    LABEL_FAX_NUMBER,
    LABEL_BUSINESS_PHONE,
    LABEL_HOME_PHONE,
    LABEL_DATE_TIME,
    LABEL_COUNT
};

// Each label is loaded with room for 126 characters; a label whose string
// cannot be loaded keeps its English text.
struct TicketLabels {
    char text[LABEL_COUNT][127];
};
void LoadTicketLabels(TicketLabels *labels);

// Room for the longest date text: two names of 31 characters and five numbers.
enum { TICKET_DATE_SIZE = 128 };

// "Sun 6 Dec 1998 9:5:7": day and month names from the string table, the
// numbers without leading zeros, at the moment TicketTime gives. Returns
// the length of the text.
size_t FormatTicketDate(char *date, size_t size);

// Removes every character but the digits 0 to 9 from a zero-terminated
// number of at most `size` bytes, in place, keeping the digits' order.
// Returns the number of digits kept.
size_t ReduceToDigits(char *number, size_t size);

// How many digits each slot's number keeps once reduced.
struct DigitCounts {
    unsigned char count[FAX_MAX_RECIPIENTS];
};

// Reduces the numbers of the first `count` slots to their digits, in place.
void ReduceRecipientNumbers(FaxInfo *info, int count, DigitCounts *digits);

// The number of usable slots of a record: recipientCount, kept within the
// array (0 when the record has none).
int TicketRecipientCount(const FaxInfo *info);

// Room for the longest recipient text of the cover sheet: the name and a
// space, the number and a space, the company, each only when its flag is on.
enum { RECIPIENT_TEXT_SIZE = sizeof(RecipientEntry) + 2 };

#endif
