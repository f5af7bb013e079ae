// The PCL driver's fax ticket: "@PJL COMMENT " lines with "@@" keys, each
// ended by a line feed, in one zero-terminated block the caller owns.
#ifndef ORVIXFAX_PJL_TICKET_H
#define ORVIXFAX_PJL_TICKET_H

#include <cstddef>
#include <cstdint>

#include "orvixfax.h"

// The size of the ticket block; the text with its terminator always fits.
enum { PJL_TICKET_SIZE = 102400 };

// Writes the ticket of a finished job (status 1) into a new zero-filled,
// locked block of moveable global memory of PJL_TICKET_SIZE bytes and
// returns it, with the text's length (no terminator) in *length. Reduces
// every used slot's faxNumber to its digits in place first. Returns null
// with length 0 for a record whose status is 0, or when the block cannot be
// allocated. A CR or LF inside a value is written as a space, so no value
// can start a PJL line of its own.
char *WritePjlTicket(FaxInfo *info, uint32_t *length);

// The ticket text being built in its block of PJL_TICKET_SIZE bytes.
struct PjlText {
    char *block;
    size_t length;
};

// Adds a finished line (with its line feed) to the text only if the text
// then stays below PJL_TICKET_SIZE bytes, so the terminator always fits;
// a line that does not fit is left out. Returns whether it was added.
bool AppendPjlLine(PjlText *text, const char *line, size_t length);

#endif
