// The person editor, IDD_EDIT_INDIV: names, company, department, notes and
// the person's fax numbers, which are edited on a working copy and put back
// only on OK.
#ifndef ORVIXFAX_PERSON_EDITOR_H
#define ORVIXFAX_PERSON_EDITOR_H

#include "addrbook/records.h"
#include "platform/win32api.h"

// Creation parameter: an EditorParams block (mode, PersonRecord, context).
// Ends with 1 after OK (fields stored, numbers reconciled: edited numbers
// keep their id, place and groups, added ones go to the end, deleted ones
// leave every group), 2 after Cancel (person and numbers untouched).
//
// The working copy belongs to the open dialog, not to the module, so a
// host may open editors for two persons at once.
INT_PTR CALLBACK PersonEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Edit limits, in characters, each one less than its field.
enum {
    FIRST_NAME_LIMIT = 35,
    LAST_NAME_LIMIT = 45,
    COMPANY_LIMIT = 39,
    DEPARTMENT_LIMIT = 39,
    NOTES_LIMIT = 249,
};

#endif
