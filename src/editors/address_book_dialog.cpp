#include "editors/address_book_dialog.h"

#include "addrbook/address_book_file.h"
#include "addrbook/display_lines.h"
#include "addrbook/records.h"
#include "common/center_window.h"
#include "common/module_instance.h"
#include "common/record_set.h"
#include "common/text_field.h"
#include "editors/group_editor.h"
#include "editors/person_editor.h"
#include "res/resource.h"

namespace {

constexpr int kLineSize = 256;  // last name, ", ", first name, TAB, company

WorkingContext *BookContext(HWND dialog) {
    return reinterpret_cast<WorkingContext *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

bool IsBookGroup(const WorkingContext *context, const void *record) {
    for (const GroupRecord *group = context->groups->next; group != nullptr; group = group->next)
        if (group == record) return true;
    return false;
}

bool IsBookPerson(const WorkingContext *context, const void *record) {
    for (const PersonRecord *person = context->persons->next; person != nullptr; person = person->next)
        if (person == record) return true;
    return false;
}

// `list` is the dialog's IDC_BOOK_LIST, looked up once by a caller that
// adds every line of the book rather than once a message. The line's
// length, when the list took it, else 0.
size_t AddBookLine(HWND list, const char *line, size_t length, void *record) {
    const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    if (index < 0) return 0;
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(record));
    return length;
}

size_t AddPersonLine(HWND list, PersonRecord *person) {
    char line[kLineSize];
    size_t length = FormatBookPersonLine(person, line, sizeof line);
    return AddBookLine(list, line, length, person);
}

void EnableRecordButtons(HWND dialog, BOOL enable) {
    EnableWindow(GetDlgItem(dialog, IDC_BOOK_EDIT), enable);
    EnableWindow(GetDlgItem(dialog, IDC_BOOK_DELETE), enable);
}

void BuildBookList(HWND dialog, WorkingContext *context) {
    HWND list = GetDlgItem(dialog, IDC_BOOK_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    // The list starts empty, so its longest line is the longest added.
    size_t longest = 0;
    if (IsDlgButtonChecked(dialog, IDC_BOOK_GROUPS) == BST_CHECKED) {
        for (GroupRecord *group = context->groups->next; group != nullptr; group = group->next) {
            char line[kLineSize];
            size_t length = FormatGroupLine(group, line, sizeof line);
            length = AddBookLine(list, line, length, group);
            if (length > longest) longest = length;
        }
    }
    if (IsDlgButtonChecked(dialog, IDC_BOOK_PEOPLE) == BST_CHECKED) {
        for (PersonRecord *person = context->persons->next; person != nullptr; person = person->next) {
            PrefetchPersonLine(person->next);
            size_t length = AddPersonLine(list, person);
            if (length > longest) longest = length;
        }
    }
    EnableRecordButtons(dialog, FALSE);
    SetListExtentForLongest(dialog, IDC_BOOK_LIST, longest);
}

void *SelectedRecord(HWND dialog, int *index) {
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETCURSEL, 0, 0);
    if (selected < 0) return nullptr;
    const LRESULT data = SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETITEMDATA, selected, 0);
    if (data == LB_ERR || data == 0) return nullptr;
    if (index != nullptr) *index = static_cast<int>(selected);
    return reinterpret_cast<void *>(data);
}

INT_PTR RunEditor(HWND dialog, const char *templateName, DLGPROC procedure, int mode, void *record,
                  WorkingContext *context) {
    EditorParams params{mode, record, context};
    return DialogBoxParamA(ModuleInstance(), templateName, dialog, procedure, reinterpret_cast<LPARAM>(&params));
}

INT_PTR InitAddressBook(HWND dialog, WorkingContext *context) {
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
    if (context == nullptr || context->persons == nullptr || context->groups == nullptr) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    CenterWindow(dialog);
    CheckDlgButton(dialog, IDC_BOOK_PEOPLE, BST_CHECKED);
    CheckDlgButton(dialog, IDC_BOOK_GROUPS, BST_CHECKED);
    BuildBookList(dialog, context);
    TellIfBookUnreadable(dialog, context);
    return TRUE;
}

}  // namespace

void TellIfBookUnreadable(HWND owner, WorkingContext *context) {
    if (context == nullptr || !context->bookUnreadable || context->bookUnreadableTold) return;
    context->bookUnreadableTold = 1;
    char title[64];
    char text[256];
    if (LoadStringA(ModuleInstance(), IDS_WARNING, title, sizeof title) <= 0) CopyField(title, "Warning");
    if (LoadStringA(ModuleInstance(), IDS_BOOK_UNREADABLE, text, sizeof text) <= 0)
        CopyField(text, "The address book could not be read, so it is shown empty. Changes to it will not be saved.");
    MessageBoxA(owner, text, title, MB_OK | MB_ICONEXCLAMATION);
}

namespace {

// One of the two boxes always stays checked: clearing the last one checks it again.
void OnKindBox(HWND dialog, WorkingContext *context, int clicked) {
    if (IsDlgButtonChecked(dialog, IDC_BOOK_PEOPLE) != BST_CHECKED &&
        IsDlgButtonChecked(dialog, IDC_BOOK_GROUPS) != BST_CHECKED)
        CheckDlgButton(dialog, clicked, BST_CHECKED);
    BuildBookList(dialog, context);
}

void OnNewPerson(HWND dialog, WorkingContext *context) {
    PersonRecord *person = nullptr;
    if (!NewPerson(&person)) return;
    if (RunEditor(dialog, "IDD_EDIT_INDIV", PersonEditorDlgProc, EDITOR_NEW, person, context) == IDOK) {
        ListAppend(context->persons, person);
        // Shown even while "&People" is cleared, until the next rebuild.
        AddPersonLine(GetDlgItem(dialog, IDC_BOOK_LIST), person);
    } else {
        FreePerson(&person);
    }
}

void OnNewGroup(HWND dialog, WorkingContext *context) {
    GroupRecord *group = nullptr;
    if (!NewGroup(&group)) return;
    if (RunEditor(dialog, "IDD_EDIT_GROUPS", GroupEditorDlgProc, EDITOR_NEW, group, context) == IDOK) {
        ListAppend(context->groups, group);
        BuildBookList(dialog, context);
    } else {
        FreeGroup(&group);
    }
}

void OnEditRecord(HWND dialog, WorkingContext *context) {
    void *record = SelectedRecord(dialog, nullptr);
    if (record == nullptr) return;
    INT_PTR result;
    if (IsBookGroup(context, record))
        result = RunEditor(dialog, "IDD_EDIT_GROUPS", GroupEditorDlgProc, EDITOR_EDIT, record, context);
    else if (IsBookPerson(context, record))
        result = RunEditor(dialog, "IDD_EDIT_INDIV", PersonEditorDlgProc, EDITOR_EDIT, record, context);
    else
        result = IDOK;  // a line that outlived its record: rebuild it away
    if (result == IDOK) BuildBookList(dialog, context);
}

// Lines whose record has left the book go too: deleting a person deletes the
// groups it was the last member of, and their lines must not stay usable.
void RemoveOrphanLines(HWND dialog, const WorkingContext *context) {
    // The book's records in a set, so a large book's lines are not each
    // looked for by a walk of both lists.
    size_t records = 0;
    for (const GroupRecord *group = context->groups->next; group != nullptr; group = group->next) ++records;
    for (const PersonRecord *person = context->persons->next; person != nullptr; person = person->next) ++records;
    RecordSet book{};
    bool indexed = MakeRecordSet(&book, records) != 0;
    if (indexed) {
        for (const GroupRecord *group = context->groups->next; group != nullptr; group = group->next)
            RecordSetAdd(&book, group);
        for (const PersonRecord *person = context->persons->next; person != nullptr; person = person->next)
            RecordSetAdd(&book, person);
        SortRecordSet(&book);
    }
    int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETCOUNT, 0, 0));
    while (--index >= 0) {
        const LRESULT data = SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_GETITEMDATA, index, 0);
        const void *record = reinterpret_cast<const void *>(data);
        bool inBook = indexed ? RecordSetHas(&book, record)
                              : IsBookGroup(context, record) || IsBookPerson(context, record);
        if (data == LB_ERR || !inBook) SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_DELETESTRING, index, 0);
    }
    FreeRecordSet(&book);
}

void OnDeleteRecord(HWND dialog, WorkingContext *context) {
    int index = -1;
    void *record = SelectedRecord(dialog, &index);
    if (record == nullptr) return;
    if (IsBookGroup(context, record)) {
        GroupRecord *group = static_cast<GroupRecord *>(record);
        ListUnlink(context->groups, group);
        FreeGroup(&group);
    } else if (IsBookPerson(context, record)) {
        PersonRecord *person = static_cast<PersonRecord *>(record);
        RemovePersonFromGroups(context, person);
        ListUnlink(context->persons, person);
        FreePerson(&person);
    }
    SendDlgItemMessageA(dialog, IDC_BOOK_LIST, LB_DELETESTRING, index, 0);
    RemoveOrphanLines(dialog, context);
    EnableRecordButtons(dialog, FALSE);
}

// A book that could not be written is said so, and the dialog stays open
// with every change still in memory: ending as if saved would lose them.
void ShowSaveFailure(HWND dialog, const char *path) {
    char title[125];
    if (LoadStringA(ModuleInstance(), IDS_ERROR, title, sizeof title) <= 0) CopyField(title, "Error");
    char text[MAX_PATH + 200];
    CopyField(text, "The address book could not be saved to \"");
    AppendField(text, path[0] != '\0' ? path : "the system directory");
    AppendField(text, "\".\nYour changes are kept: press OK to try again, or Cancel to leave without saving.");
    MessageBoxA(dialog, text, title, MB_OK | MB_ICONEXCLAMATION);
}

void OnSaveBook(HWND dialog, WorkingContext *context) {
    // A book that could not be read is never saved (the user was told so
    // when the book was shown); its changes last as long as the context.
    if (context->bookUnreadable) {
        EndDialog(dialog, IDOK);
        return;
    }
    // Where the book is read from; the user's own copy when the system
    // directory refuses it.
    char path[MAX_PATH] = "";
    if (SaveAddressBookInPlace(context, path, sizeof path)) {
        EndDialog(dialog, IDOK);
        return;
    }
    ShowSaveFailure(dialog, path);
}

void OnAddressBookCommand(HWND dialog, int id, int code) {
    WorkingContext *context = BookContext(dialog);
    if (context == nullptr) return;
    switch (id) {
    case IDC_BOOK_PEOPLE:
    case IDC_BOOK_GROUPS:
        if (code == BN_CLICKED) OnKindBox(dialog, context, id);
        break;
    case IDC_BOOK_LIST:
        if (code == LBN_SELCHANGE) EnableRecordButtons(dialog, SelectedRecord(dialog, nullptr) != nullptr);
        else if (code == LBN_DBLCLK) OnEditRecord(dialog, context);
        break;
    case IDC_BOOK_NEW_PERSON:
        if (code == BN_CLICKED) OnNewPerson(dialog, context);
        break;
    case IDC_BOOK_NEW_GROUP:
        if (code == BN_CLICKED) OnNewGroup(dialog, context);
        break;
    case IDC_BOOK_EDIT:
        if (code == BN_CLICKED) OnEditRecord(dialog, context);
        break;
    case IDC_BOOK_DELETE:
        if (code == BN_CLICKED) OnDeleteRecord(dialog, context);
        break;
    case IDOK:
        OnSaveBook(dialog, context);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR AddressBookMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return InitAddressBook(dialog, reinterpret_cast<WorkingContext *>(lParam));
    case WM_COMMAND:
        OnAddressBookCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK AddressBookDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may reach the host's message loop. The module throws
    // none; the portable window layer can (std::bad_alloc when memory runs
    // out), and then the message counts as not handled.
    try {
        return AddressBookMessage(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
