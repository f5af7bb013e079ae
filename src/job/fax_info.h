// Operations on the fax job record: create it with its recipient array,
// release both, and copy a finished job into a caller's record.
#ifndef ORVIXFAX_FAX_INFO_H
#define ORVIXFAX_FAX_INFO_H

#include "orvixfax.h"

// Allocates a zero-filled record and, separately, a zero-filled array of
// FAX_MAX_RECIPIENTS slots (both locked moveable global memory) and points
// the record's recipients at the array. Returns 1, or 0 with *info null
// when either block cannot be had (nothing is left allocated then).
int NewFaxInfo(FaxInfo **info);

// Releases the array, then the record, through their handles. Accepts a
// null pointer (and a record without an array) and sets *info to null.
int FreeFaxInfo(FaxInfo **info);

// Copies the job in `source` into `destination` field by field, each text
// as a zero-terminated string. The destination keeps its own recipients
// pointer and its unused bytes; its array receives the filled slots. A null
// destination (or source) copies nothing. A destination without an array
// receives everything but the slots.
void CopyFaxInfo(FaxInfo *destination, const FaxInfo *source);

#endif
