// The recipient list of the fax dialog (IDC_FAX_RECIPIENTS): every group and
// every fax number of every person, each line carrying a RecipientListItem.
// Here the list is filled and emptied, selections are counted against the
// 200-recipient limit, IDC_FAX_NUMBERS shows what the selection stands for, the
// selection survives an address book edit, and "F&ax" turns the selection
// (or the typed new recipient) into the job record's recipient slots.
#ifndef ORVIXFAX_RECIPIENT_LIST_H
#define ORVIXFAX_RECIPIENT_LIST_H

#include "addrbook/records.h"
#include "platform/win32api.h"

// What the user may type for a new recipient: as much as the drivers'
// cover sheets take.
const int NEW_RECIPIENT_NAME_LIMIT = 82;
const int NEW_RECIPIENT_NUMBER_LIMIT = 40;
// recipientNames, in its tab-led form for several recipients, stays below
// this many characters: a name that would reach it is left out.
const size_t COVER_NAMES_LIMIT = 82;

// One person and one of that person's numbers, taken from a selected line.
struct RecipientPair {
    PersonRecord *person;
    NumberRecord *number;
};

// Releases every line's item, then removes the lines.
void EmptyRecipientList(HWND dialog);
// Empties the list, then adds the group lines and the number lines with
// their items and sets the horizontal extent.
void FillRecipientList(HWND dialog, WorkingContext *context);

// Pairs that the given lines stand for; lines without an item count 0.
int CountSelectedRecipients(HWND dialog, const int *positions, int count);
// Writes at most `capacity` pairs in line order; returns how many it wrote.
int CollectSelectedRecipients(HWND dialog, const int *positions, int count,
                              RecipientPair *pairs, int capacity);

// Run for every LBN_SELCHANGE of IDC_FAX_RECIPIENTS: holds the selection to
// the limit, remembers an accepted selection, rewrites IDC_FAX_NUMBERS,
// enables "F&ax".
void OnRecipientSelectionChange(HWND dialog, WorkingContext *context);
// Rewrites IDC_FAX_NUMBERS for the given selected lines.
void ShowSelectedNumbers(HWND dialog, int selectedCount, const int *positions);

// "&Edit Address Book": runs the address book dialog and carries the
// selection over to the refilled list.
void EditAddressBookKeepingSelection(HWND dialog, WorkingContext *context);

// "F&ax" in list mode and in new-recipient mode: fill the context's FaxInfo.
void BuildRecipientsFromSelection(HWND dialog, WorkingContext *context);
void BuildNewRecipient(HWND dialog, WorkingContext *context);

// Appends one slot; a full record (200 slots) takes no more and gives FALSE.
BOOL AddRecipientEntry(FaxInfo *info, const char *firstName, const char *lastName,
                       const char *faxNumber, const char *company);
// Appends a tab and the name to recipientNames when it keeps the field
// below COVER_NAMES_LIMIT; otherwise the name is left out.
void AppendCoverRecipientName(WorkingContext *context, const char *firstName,
                              const char *lastName);

// A person's name as the cover sheet writes it: first name, blank, last
// name, or last name first in Kanji mode. The blank is always there.
void FormatRecipientName(const char *firstName, const char *lastName, char *name, size_t size);

// Shows the recipient-limit message box, owned by the fax dialog.
void ShowRecipientLimitMessage(HWND dialog);

#endif
