// Job files: one JSON object whose keys are the fax job record's field
// names, turned into a FaxInfo. Text is 8-bit: each character U+0001 to
// U+00FF stands for the byte of the same value.
#ifndef ORVIXFAX_TOOL_JOB_FILE_H
#define ORVIXFAX_TOOL_JOB_FILE_H

#include <string>

#include "orvixfax.h"

// Fills `info` (zero-filled, with its recipients array) from the JSON text
// of a job file. A missing key leaves its field zero or empty, but status
// defaults to 1. Returns false with a message naming the key and the limit
// for malformed JSON, an unknown key, a value of the wrong kind, a text too
// long for its field, a character outside U+0001 to U+00FF, more than 200
// recipients or more than 10 note lines; `info` is then not to be used.
bool ReadJobText(const std::string &json, FaxInfo *info, std::string &error);

// The same for a file; a file that cannot be read is refused too.
bool ReadJobFile(const std::string &path, FaxInfo *info, std::string &error);

#endif
