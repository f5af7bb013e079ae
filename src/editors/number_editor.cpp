#include "editors/number_editor.h"

#include "common/module_instance.h"
#include "common/text_field.h"
#include "res/resource.h"

namespace {

NumberRecord *EditedNumber(HWND dialog) {
    return reinterpret_cast<NumberRecord *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// OK needs a number; the details may stay empty.
void UpdateNumberOkState(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDOK),
                 GetWindowTextLengthA(GetDlgItem(dialog, IDC_NUMBER_NUMBER)) > 0);
}

INT_PTR InitNumberEditor(HWND dialog, const NumberEditorParams *params) {
    if (params == nullptr || params->record == nullptr) {
        // Nothing to edit: end as a Cancel before the user sees anything.
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    NumberRecord *record = params->record;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));

    if (params->mode == EDITOR_NEW) {
        char title[125];
        if (LoadStringA(ModuleInstance(), IDS_NEW_NUMBER, title, sizeof title) > 0)
            SetWindowTextA(dialog, title);
    }

    SendDlgItemMessageA(dialog, IDC_NUMBER_NUMBER, EM_LIMITTEXT, NUMBER_EDIT_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_NUMBER_DETAILS, EM_LIMITTEXT, DETAILS_EDIT_LIMIT, 0);
    // Setting the text sends EN_CHANGE on Windows; the explicit update keeps
    // the OK state right on hosts that do not.
    SetDlgItemTextA(dialog, IDC_NUMBER_NUMBER, record->number);
    SetDlgItemTextA(dialog, IDC_NUMBER_DETAILS, record->details);
    UpdateNumberOkState(dialog);
    return TRUE;
}

void StoreNumber(HWND dialog, NumberRecord *record) {
    char number[sizeof record->number];
    char details[sizeof record->details];
    GetDlgItemTextA(dialog, IDC_NUMBER_NUMBER, number, sizeof number);
    GetDlgItemTextA(dialog, IDC_NUMBER_DETAILS, details, sizeof details);
    CopyField(record->number, number);
    CopyField(record->details, details);
}

void OnNumberEditorCommand(HWND dialog, int id, int code) {
    NumberRecord *record = EditedNumber(dialog);
    if (record == nullptr) return;
    switch (id) {
    case IDC_NUMBER_NUMBER:
        if (code == EN_CHANGE) UpdateNumberOkState(dialog);
        break;
    case IDOK:
        // Enter or a host's own WM_COMMAND can arrive while OK is greyed;
        // an empty number is never stored.
        if (GetWindowTextLengthA(GetDlgItem(dialog, IDC_NUMBER_NUMBER)) == 0) break;
        StoreNumber(dialog, record);
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR NumberEditorMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return InitNumberEditor(dialog, reinterpret_cast<const NumberEditorParams *>(lParam));
    case WM_COMMAND:
        OnNumberEditorCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK EditNumberDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may reach the host's message loop. The module throws
    // none; the portable window layer can (std::bad_alloc when memory runs
    // out), and then the message counts as not handled.
    try {
        return NumberEditorMessage(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
