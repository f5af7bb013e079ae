// The PostScript driver's fax ticket: "%%   @@" comment lines with the
// numbers to dial and, with a cover sheet, def lines binding the cover
// sheet's texts and the call of the server's cover sheet template. Lines
// end with CR LF. The text is returned in a block of global memory the
// caller owns; the block may be longer than the text.
#ifndef ORVIXFAX_PS_TICKET_H
#define ORVIXFAX_PS_TICKET_H

#include <cstddef>
#include <cstdint>

#include "orvixfax.h"

enum class PsEscaping {
    Plain,  // backslash before ( ) [ ] and backslash
    Octal,  // every byte as a backslash and its octal value (Kanji mode)
};

// The escaped form of `length` bytes of `text`, for use between PostScript
// string parentheses, written to `escaped` (room for 4 * length bytes; no
// terminator). Returns its length. Plain escaping also writes CR and LF as
// the PostScript escapes \r and \n: the string means the same bytes, but no
// value can start a line of the ticket of its own.
size_t EscapePsText(const char *text, size_t length, char *escaped, PsEscaping escaping);

// The same with the escaping of the module's current mode (Kanji mode:
// octal).
size_t EscapePsString(const char *text, size_t length, char *escaped);

// Writes the ticket of a finished job (status 1) and returns the locked
// block holding it, with the number of text bytes in *length. Reduces every
// used slot's faxNumber to its digits in place first. Returns null with
// length 0 for a record whose status is 0, or when memory runs out.
char *WritePsTicket(FaxInfo *info, uint32_t *length);

#endif
