// The number editor, IDD_EDIT_NUMBER: one fax number and its details text.
//
// Its dialog procedure, EditNumberDlgProc, is exported (include/orvixfax.h)
// so that a host can run the module's own template on a NumberRecord of its
// own. The creation parameter is a NumberEditorParams block (mode, record);
// the record must stay valid until the dialog has ended.
//
// Result: 1 after OK (the record holds the typed texts), 2 after Cancel (the
// record is untouched). A null creation parameter, or a block without a
// record, leaves nothing to edit: the dialog ends at once with 2 and touches
// nothing, so a careless host gets a plain "cancelled" rather than a crash.
#ifndef ORVIXFAX_NUMBER_EDITOR_H
#define ORVIXFAX_NUMBER_EDITOR_H

#include "orvixfax.h"
#include "addrbook/records.h"

// Edit limits of the two fields, in characters. A longer number read from
// the book is still shown and kept whole (up to its 79-character field).
enum { NUMBER_EDIT_LIMIT = 40, DETAILS_EDIT_LIMIT = 29 };

#endif
