// The two flows behind the exports: a fax job through the "Fax Document"
// dialog, and the address book editor on its own. Each opens its own
// working context, runs one modal dialog with it and closes it again.
#ifndef ORVIXFAX_JOB_FLOW_H
#define ORVIXFAX_JOB_FLOW_H

#include "orvixfax.h"

// Runs the fax dialog without an owner. After "F&ax" the job is copied into
// `destination` (nothing happens for a null destination); after "&Print",
// or when the dialog or the context cannot be had, `destination` is left
// as it was.
void RunFaxJob(FaxInfo *destination);

// Runs the address book dialog owned by `owner`; saving is the dialog's own.
void RunAddressBook(HWND owner);

#endif
