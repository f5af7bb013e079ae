// Resource ids of the window layer's own test dialogs (test_dialogs.rc).
// The dialogs are built like the module's, control by control, with the
// styles and sizes the module's templates use, so the layer is held to
// what Windows does with those controls without the module's resources.
#ifndef ORVIXFAX_TESTS_TEST_DIALOGS_H
#define ORVIXFAX_TESTS_TEST_DIALOGS_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Icons
#define IDI_TEST_SQUARE 201
#define IDI_TEST_FRAME 202

// Strings
#define IDS_TEST_QUESTION 4
#define IDS_TEST_GROUP 9
#define IDS_TEST_PERSON 11
#define IDS_TEST_NUMBER 13
#define IDS_TEST_LANGUAGE 1045

// IDD_CHOICES: no close box; a sorted multiple-selection list, a
// read-only multi-line edit that scrolls sideways, check boxes, a hidden
// radio group and icon, push buttons, one disabled
#define IDC_CHOICES_LIST 1000
#define IDC_CHOICES_READ_ONLY 1001
#define IDC_CHOICES_MORE 1002
#define IDC_CHOICES_OWN 1003
#define IDC_CHOICES_NAME_LABEL 1004
#define IDC_CHOICES_NAME 1005
#define IDC_CHOICES_ICON 1006
#define IDC_CHOICES_FIRST 1007
#define IDC_CHOICES_SECOND 1008
#define IDC_CHOICES_CHECK 1009
#define IDC_CHOICES_DISABLED 1010
#define IDC_CHOICES_PRINT 1011
// "&Go" is IDOK

// IDD_NOTE: check boxes first in tab order, a multi-line edit that wants
// Enter and cannot scroll, a single-line edit
#define IDC_NOTE_FIRST 1020
#define IDC_NOTE_SECOND 1021
#define IDC_NOTE_TEXT 1022
#define IDC_NOTE_NAME 1023

// IDD_SORTED_LIST: a sorted single-selection list that notifies
#define IDC_SORTED_CHECK 1030
#define IDC_SORTED_LIST 1031

// IDD_LINE_AND_NOTES: a single-line edit and a multi-line one without
// ES_WANTRETURN
#define IDC_LINE 1040
#define IDC_NOTES 1041

// IDD_FIELDS: two single-line edits, OK and Cancel
#define IDC_FIELDS_FIRST 1050
#define IDC_FIELDS_SECOND 1051

#endif
