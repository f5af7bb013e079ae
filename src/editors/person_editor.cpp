#include "editors/person_editor.h"

#include "addrbook/display_lines.h"
#include "common/module_instance.h"
#include "common/text_field.h"
#include "editors/number_editor.h"
#include "res/resource.h"

namespace {

// What the open editor holds: its parameter block and the working copy of
// the person's numbers (a list behind its own sentinel).
struct PersonEditorState {
    EditorParams *params;
    NumberRecord *working;
};

constexpr int kLineSize = 128;  // number, TAB, details

PersonEditorState *EditorState(HWND dialog) {
    return reinterpret_cast<PersonEditorState *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

PersonRecord *EditedPerson(const PersonEditorState *state) {
    return static_cast<PersonRecord *>(state->params->record);
}

NumberRecord *FindById(NumberRecord *list, uint32_t id) {
    if (list == nullptr) return nullptr;
    for (NumberRecord *number = list->next; number != nullptr; number = number->next)
        if (number->id == id) return number;
    return nullptr;
}

// Copies every number of the person, id included. A number whose copy cannot
// be made is left out of the copy; on OK it then counts as deleted, so the
// whole copy is dropped instead and the editor ends at once (see Init).
bool MakeWorkingCopy(PersonEditorState *state) {
    void *sentinel = nullptr;
    if (NewList(&sentinel, sizeof(NumberRecord)) != ERR_NONE) return false;
    state->working = static_cast<NumberRecord *>(sentinel);
    const PersonRecord *person = EditedPerson(state);
    if (person->numbers == nullptr) return true;
    for (const NumberRecord *number = person->numbers->next; number != nullptr; number = number->next) {
        void *block = nullptr;
        if (CreatePtr(&block, sizeof(NumberRecord)) != ERR_NONE) return false;
        NumberRecord *copy = static_cast<NumberRecord *>(block);
        CopyField(copy->number, number->number);
        CopyField(copy->details, number->details);
        copy->id = number->id;
        ListAppend(state->working, copy);
    }
    return true;
}

void ReleaseEditorState(HWND dialog) {
    PersonEditorState *state = EditorState(dialog);
    if (state == nullptr) return;
    void *working = state->working;
    FreeRecordList(&working);
    state->working = nullptr;
    void *block = state;
    DisposePtr(&block);
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
}

void EnableNumberButtons(HWND dialog, BOOL enable) {
    EnableWindow(GetDlgItem(dialog, IDC_PERSON_EDIT), enable);
    EnableWindow(GetDlgItem(dialog, IDC_PERSON_DELETE), enable);
}

void FillNumberList(HWND dialog, const PersonEditorState *state) {
    SendDlgItemMessageA(dialog, IDC_PERSON_NUMBERS, LB_SETTABSTOPS, 0, 0);
    SendDlgItemMessageA(dialog, IDC_PERSON_NUMBERS, LB_RESETCONTENT, 0, 0);
    for (const NumberRecord *number = state->working->next; number != nullptr; number = number->next) {
        char line[kLineSize];
        FormatPersonNumberLine(number, line, sizeof line);
        SendDlgItemMessageA(dialog, IDC_PERSON_NUMBERS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    EnableNumberButtons(dialog, FALSE);
}

int SelectedLine(HWND dialog) {
    const LRESULT selected = SendDlgItemMessageA(dialog, IDC_PERSON_NUMBERS, LB_GETCURSEL, 0, 0);
    return selected < 0 ? -1 : static_cast<int>(selected);
}

NumberRecord *WorkingNumberAt(const PersonEditorState *state, int line) {
    if (line < 0 || line >= INT16_MAX) return nullptr;
    void *record = nullptr;
    ListGetAt(state->working, static_cast<int16_t>(line + 1), &record);
    return static_cast<NumberRecord *>(record);
}

void SelectLine(HWND dialog, int line) {
    SendDlgItemMessageA(dialog, IDC_PERSON_NUMBERS, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
    EnableNumberButtons(dialog, TRUE);
}

bool HasAName(HWND dialog) {
    return GetWindowTextLengthA(GetDlgItem(dialog, IDC_PERSON_FIRST)) > 0 ||
           GetWindowTextLengthA(GetDlgItem(dialog, IDC_PERSON_LAST)) > 0 ||
           GetWindowTextLengthA(GetDlgItem(dialog, IDC_PERSON_COMPANY)) > 0;
}

void UpdatePersonOkState(HWND dialog) { EnableWindow(GetDlgItem(dialog, IDOK), HasAName(dialog)); }

INT_PTR InitPersonEditor(HWND dialog, EditorParams *params) {
    SetWindowLongPtrA(dialog, DWLP_USER, 0);
    void *block = nullptr;
    if (params == nullptr || params->record == nullptr || params->context == nullptr ||
        CreatePtr(&block, sizeof(PersonEditorState)) != ERR_NONE) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    PersonEditorState *state = static_cast<PersonEditorState *>(block);
    state->params = params;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    if (!MakeWorkingCopy(state)) {
        // An incomplete copy would delete the missing numbers on OK; end as a
        // Cancel instead, with the person untouched.
        ReleaseEditorState(dialog);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }

    if (params->mode == EDITOR_NEW) {
        char title[125];
        if (LoadStringA(ModuleInstance(), IDS_NEW_PERSON, title, sizeof title) > 0)
            SetWindowTextA(dialog, title);
    }

    SendDlgItemMessageA(dialog, IDC_PERSON_FIRST, EM_LIMITTEXT, FIRST_NAME_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_PERSON_LAST, EM_LIMITTEXT, LAST_NAME_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_PERSON_COMPANY, EM_LIMITTEXT, COMPANY_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_PERSON_DEPARTMENT, EM_LIMITTEXT, DEPARTMENT_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_PERSON_NOTES, EM_LIMITTEXT, NOTES_LIMIT, 0);

    const PersonRecord *person = EditedPerson(state);
    SetDlgItemTextA(dialog, IDC_PERSON_FIRST, person->firstName);
    SetDlgItemTextA(dialog, IDC_PERSON_LAST, person->lastName);
    SetDlgItemTextA(dialog, IDC_PERSON_COMPANY, person->company);
    SetDlgItemTextA(dialog, IDC_PERSON_DEPARTMENT, person->department);
    SetDlgItemTextA(dialog, IDC_PERSON_NOTES, person->notes);
    UpdatePersonOkState(dialog);

    FillNumberList(dialog, state);
    return TRUE;
}

INT_PTR RunNumberEditor(HWND dialog, int mode, NumberRecord *record) {
    NumberEditorParams params{mode, record};
    return DialogBoxParamA(ModuleInstance(), "IDD_EDIT_NUMBER", dialog, EditNumberDlgProc,
                           reinterpret_cast<LPARAM>(&params));
}

void OnAddNumber(HWND dialog, PersonEditorState *state) {
    NumberRecord *number = nullptr;
    if (!NewNumber(&number)) return;
    const int selected = SelectedLine(dialog);
    if (RunNumberEditor(dialog, EDITOR_NEW, number) == IDOK) {
        ListAppend(state->working, number);
        FillNumberList(dialog, state);
    } else {
        void *block = number;
        FreeRecord(&block);
    }
    if (selected >= 0) SelectLine(dialog, selected);
}

void OnEditNumber(HWND dialog, PersonEditorState *state) {
    const int selected = SelectedLine(dialog);
    NumberRecord *number = WorkingNumberAt(state, selected);
    if (number == nullptr) return;
    if (RunNumberEditor(dialog, EDITOR_EDIT, number) == IDOK) {
        FillNumberList(dialog, state);
        SelectLine(dialog, selected);
    }
}

void OnDeleteNumber(HWND dialog, PersonEditorState *state) {
    NumberRecord *number = WorkingNumberAt(state, SelectedLine(dialog));
    if (number == nullptr) return;
    ListUnlink(state->working, number);
    void *block = number;
    FreeRecord(&block);
    FillNumberList(dialog, state);
}

void ReadField(HWND dialog, int id, char *field, size_t size) {
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    CopyField(field, size, text);
}

// Puts the working copy back into the person. Added records move over as
// they are, so nothing needs allocating and nothing can be half done.
void ReconcileNumbers(WorkingContext *context, PersonRecord *person, NumberRecord *working) {
    NumberRecord *number = person->numbers->next;
    while (number != nullptr) {
        NumberRecord *following = number->next;
        if (FindById(working, number->id) == nullptr) {
            RemoveNumberFromGroups(context, number);
            ListUnlink(person->numbers, number);
            void *block = number;
            FreeRecord(&block);
        }
        number = following;
    }
    NumberRecord *copy = working->next;
    while (copy != nullptr) {
        NumberRecord *following = copy->next;
        NumberRecord *original = FindById(person->numbers, copy->id);
        if (original != nullptr) {
            CopyField(original->number, copy->number);
            CopyField(original->details, copy->details);
        } else {
            ListUnlink(working, copy);
            ListAppend(person->numbers, copy);
        }
        copy = following;
    }
}

void OnPersonOk(HWND dialog, PersonEditorState *state) {
    // Enter can arrive while OK is greyed; a person without any name is never stored.
    if (!HasAName(dialog)) return;
    PersonRecord *person = EditedPerson(state);
    if (person->numbers == nullptr) {
        void *sentinel = nullptr;
        if (NewList(&sentinel, sizeof(NumberRecord)) != ERR_NONE) return;
        person->numbers = static_cast<NumberRecord *>(sentinel);
    }
    ReadField(dialog, IDC_PERSON_FIRST, person->firstName, sizeof person->firstName);
    ReadField(dialog, IDC_PERSON_LAST, person->lastName, sizeof person->lastName);
    ReadField(dialog, IDC_PERSON_NOTES, person->notes, sizeof person->notes);
    ReadField(dialog, IDC_PERSON_COMPANY, person->company, sizeof person->company);
    ReadField(dialog, IDC_PERSON_DEPARTMENT, person->department, sizeof person->department);
    ReconcileNumbers(state->params->context, person, state->working);
    EndDialog(dialog, IDOK);
}

void OnPersonEditorCommand(HWND dialog, int id, int code) {
    PersonEditorState *state = EditorState(dialog);
    if (state == nullptr) return;
    switch (id) {
    case IDC_PERSON_FIRST:
    case IDC_PERSON_LAST:
    case IDC_PERSON_COMPANY:
        if (code == EN_CHANGE) UpdatePersonOkState(dialog);
        break;
    case IDC_PERSON_NUMBERS:
        if (code == LBN_SELCHANGE) EnableNumberButtons(dialog, SelectedLine(dialog) >= 0);
        else if (code == LBN_DBLCLK) OnEditNumber(dialog, state);
        break;
    case IDC_PERSON_ADD:
        if (code == BN_CLICKED) OnAddNumber(dialog, state);
        break;
    case IDC_PERSON_EDIT:
        if (code == BN_CLICKED) OnEditNumber(dialog, state);
        break;
    case IDC_PERSON_DELETE:
        if (code == BN_CLICKED) OnDeleteNumber(dialog, state);
        break;
    case IDOK:
        OnPersonOk(dialog, state);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR PersonEditorMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return InitPersonEditor(dialog, reinterpret_cast<EditorParams *>(lParam));
    case WM_COMMAND:
        OnPersonEditorCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    case WM_DESTROY:
        ReleaseEditorState(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK PersonEditorDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may reach the host's message loop. The module throws
    // none; the portable window layer can (std::bad_alloc when memory runs
    // out), and then the message counts as not handled.
    try {
        return PersonEditorMessage(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
