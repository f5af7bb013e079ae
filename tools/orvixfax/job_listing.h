// A finished fax job in words, for `fax --dry-run`: its recipients (name,
// number, company), its cover sheet's fields and its resolution, in UTF-8.
#ifndef ORVIXFAX_TOOL_JOB_LISTING_H
#define ORVIXFAX_TOOL_JOB_LISTING_H

#include <string>

#include "orvixfax.h"
#include "orvixfax/code_page.h"

std::string JobListing(const FaxInfo &job, const CodePage &codePage);

#endif
