// The group editor, IDD_EDIT_GROUPS: a group's name and its members, each
// member one (person, number) pair of the book.
#ifndef ORVIXFAX_GROUP_EDITOR_H
#define ORVIXFAX_GROUP_EDITOR_H

#include "addrbook/records.h"
#include "platform/win32api.h"

// Creation parameter: an EditorParams block (mode, GroupRecord, context).
// Ends with 1 after a successful OK (name and members stored in the group;
// a same-named group the user agreed to override is gone from the book),
// 2 after Cancel (nothing changed).
INT_PTR CALLBACK GroupEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The editor's three messages, titled "Warning"; the result is the button pressed.
enum GroupWarning {
    GROUP_WARNING_EXISTS = 0,      // Yes / No: override the group of that name?
    GROUP_WARNING_NO_NAME = 1,     // OK
    GROUP_WARNING_NO_MEMBERS = 2,  // OK
};
int ShowGroupWarning(HWND owner, int kind);

#endif
