// Job files: one JSON object whose keys are the fax job record's field
// names, turned into a FaxInfo. Its texts are Unicode (the file is UTF-8),
// each character taken into the module's code page, which must have it.
#ifndef ORVIXFAX_TOOL_JOB_FILE_H
#define ORVIXFAX_TOOL_JOB_FILE_H

#include <string>

#include "orvixfax.h"
#include "orvixfax/code_page.h"

// Fills `info` (zero-filled, with its recipients array) from the JSON text
// of a job file. A missing key leaves its field zero or empty, but status
// defaults to 1. Returns false with a message naming the key and the limit
// for malformed JSON, an unknown key, a value of the wrong kind, a text too
// long for its field (in the code page's bytes), a character the code page
// has no byte for, U+0000, more than 200 recipients or more than 10 note
// lines; `info` is then not to be used.
bool ReadJobText(const std::string &json, FaxInfo *info, std::string &error, const CodePage &codePage);
// The same in Windows-1252.
bool ReadJobText(const std::string &json, FaxInfo *info, std::string &error);

// The same for a file ("-": standard input); a file that cannot be read is
// refused too.
bool ReadJobFile(const std::string &path, FaxInfo *info, std::string &error, const CodePage &codePage);

#endif
