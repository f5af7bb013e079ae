// The "Fax Document" dialog: procedure, initialiser and command handler.
#include "faxdlg/fax_dialog.h"

#include <cstring>

#include "addrbook/records.h"
#include "common/center_window.h"
#include "common/module_instance.h"
#include "common/text_field.h"
#include "editors/address_book_dialog.h"
#include "editors/cover_page_dialog.h"
#include "faxdlg/fax_settings.h"
#include "faxdlg/recipient_list.h"
#include "res/resource.h"

namespace {

WorkingContext *ContextOf(HWND dialog) {
    return reinterpret_cast<WorkingContext *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Enable(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

// Only the enabling of "F&ax" trims the typed number; the job gets it as typed.
bool TrimmedNumberIsEmpty(HWND dialog) {
    char text[128];
    std::memset(text, 0, sizeof text);
    GetWindowTextA(GetDlgItem(dialog, IDC_FAX_NEW_NUMBER), text, sizeof text);
    for (const char *c = text; *c != '\0'; ++c) {
        if (*c != ' ' && *c != '\t') return false;
    }
    return true;
}

bool AnyLineSelected(HWND dialog) {
    return SendDlgItemMessageA(dialog, IDC_FAX_RECIPIENTS, LB_GETSELCOUNT, 0, 0) > 0;
}

// The two modes: pick from the list, or type one new recipient.
void ShowMode(HWND dialog, bool newRecipient) {
    Enable(dialog, IDC_FAX_RECIPIENTS, !newRecipient);
    Enable(dialog, IDC_FAX_NUMBERS, !newRecipient);
    Enable(dialog, IDC_FAX_NEW_NAME, newRecipient);
    Enable(dialog, IDC_FAX_NEW_NUMBER, newRecipient);
}

void ShowResolutionIcon(HWND dialog, bool ultrafine) {
    HICON icon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(ultrafine ? IDI_ULTRAFINE : IDI_FINE));
    SendDlgItemMessageA(dialog, IDC_FAX_RESOLUTION_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(icon), 0);
}

// Both ways out store the same choices.
void SaveDialogSettings(HWND dialog, const WorkingContext *context) {
    FaxSettings settings;
    std::memset(&settings, 0, sizeof settings);
    settings.newRecipient = IsChecked(dialog, IDC_FAX_NEW_RECIPIENT) ? 1 : 0;
    GetWindowTextA(GetDlgItem(dialog, IDC_FAX_NEW_NAME), settings.currentSelection,
                   sizeof settings.currentSelection);
    settings.resolution = IsChecked(dialog, IDC_FAX_ULTRAFINE) ? 0 : 1;
    settings.coverPage = IsChecked(dialog, IDC_FAX_USE_COVER) ? 1 : 0;
    const SenderInfo *sender = context->senderInfo;
    if (sender != nullptr) {
        CopyField(settings.senderName, sender->senderName);
        CopyField(settings.senderFaxNumber, sender->senderFaxNumber);
        CopyField(settings.senderBusinessNumber, sender->senderBusinessNumber);
        CopyField(settings.senderHomeNumber, sender->senderHomeNumber);
        settings.senderNameTrue = sender->senderNameFlag;
        settings.senderHomeNumberTrue = sender->senderHomeNumberFlag;
        settings.senderFaxNumberTrue = sender->senderFaxNumberFlag;
        settings.senderBusinessNumberTrue = sender->senderBusinessNumberFlag;
    }
    const FaxInfo *info = context->faxInfo;
    settings.recipNameTrue = static_cast<int32_t>(info->includeRecipName);
    settings.recipNumberTrue = static_cast<int32_t>(info->includeRecipNumber);
    settings.recipCompanyTrue = static_cast<int32_t>(info->includeRecipCompany);
    SaveFaxSettings(&settings);
}

BOOL OnInitFaxDialog(HWND dialog, WorkingContext *context) {
    // Without a context there is nothing to fill and nothing to save: the
    // job prints as if the user had pressed "&Print".
    if (context == nullptr || context->faxInfo == nullptr || context->senderInfo == nullptr) {
        EndDialog(dialog, FAX_DIALOG_PRINT);
        return TRUE;
    }
    std::memset(context->selection, 0, sizeof context->selection);
    context->selectionCount = 0;
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));

    CenterWindow(dialog);
    SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetActiveWindow(dialog);
    SetFocus(GetParent(dialog));
    SetFocus(dialog);
    SetFocus(GetDlgItem(dialog, IDC_FAX_RECIPIENTS));

    FillRecipientList(dialog, context);

    FaxSettings settings;
    LoadFaxSettings(&settings);
    SenderInfo *sender = context->senderInfo;
    CopyField(sender->senderName, settings.senderName);
    CopyField(sender->senderFaxNumber, settings.senderFaxNumber);
    CopyField(sender->senderBusinessNumber, settings.senderBusinessNumber);
    CopyField(sender->senderHomeNumber, settings.senderHomeNumber);

    SendDlgItemMessageA(dialog, IDC_FAX_NEW_NAME, EM_LIMITTEXT, NEW_RECIPIENT_NAME_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_FAX_NEW_NUMBER, EM_LIMITTEXT, NEW_RECIPIENT_NUMBER_LIMIT, 0);

    CheckDlgButton(dialog, IDC_FAX_NEW_RECIPIENT,
                   settings.newRecipient == 1 ? BST_CHECKED : BST_UNCHECKED);
    ShowMode(dialog, settings.newRecipient == 1);

    // The resolution controls stay hidden; they only carry the stored value
    // through to the job record and back to the settings.
    CheckDlgButton(dialog, IDC_FAX_ULTRAFINE, settings.resolution == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_FAX_FINE, settings.resolution == 0 ? BST_UNCHECKED : BST_CHECKED);
    ShowResolutionIcon(dialog, settings.resolution == 0);

    CheckDlgButton(dialog, IDC_FAX_USE_COVER, settings.coverPage == 1 ? BST_CHECKED : BST_UNCHECKED);
    Enable(dialog, IDC_FAX_EDIT_COVER, settings.coverPage == 1);

    sender->senderNameFlag = settings.senderNameTrue;
    sender->senderFaxNumberFlag = settings.senderFaxNumberTrue;
    sender->senderHomeNumberFlag = settings.senderHomeNumberTrue;
    sender->senderBusinessNumberFlag = settings.senderBusinessNumberTrue;
    context->faxInfo->includeRecipName = static_cast<uint32_t>(settings.recipNameTrue);
    context->faxInfo->includeRecipNumber = static_cast<uint32_t>(settings.recipNumberTrue);
    context->faxInfo->includeRecipCompany = static_cast<uint32_t>(settings.recipCompanyTrue);

    Enable(dialog, IDOK, false);
    TellIfBookUnreadable(dialog, context);
    return TRUE;
}

void OnFax(HWND dialog, WorkingContext *context) {
    // A disabled "F&ax" cannot be pressed; a command that still arrives
    // (sent by code) must not make a job out of nothing.
    if (!IsWindowEnabled(GetDlgItem(dialog, IDOK))) return;
    if (IsChecked(dialog, IDC_FAX_NEW_RECIPIENT)) {
        BuildNewRecipient(dialog, context);
    } else {
        BuildRecipientsFromSelection(dialog, context);
    }
    context->faxInfo->status = 1;
    SaveDialogSettings(dialog, context);
    EndDialog(dialog, FAX_DIALOG_FAX);
}

void OnPrint(HWND dialog, WorkingContext *context) {
    context->faxInfo->coverSheet = 0;
    context->faxInfo->status = 0;
    SaveDialogSettings(dialog, context);
    EndDialog(dialog, FAX_DIALOG_PRINT);
}

void OnFaxCommand(HWND dialog, int id, int code) {
    WorkingContext *context = ContextOf(dialog);
    if (context == nullptr) return;
    switch (id) {
    case IDC_FAX_RECIPIENTS:
        if (code == LBN_SELCHANGE) OnRecipientSelectionChange(dialog, context);
        break;
    case IDC_FAX_EDIT_BOOK:
        EditAddressBookKeepingSelection(dialog, context);
        if (IsChecked(dialog, IDC_FAX_NEW_RECIPIENT)) {
            ShowMode(dialog, true);
            Enable(dialog, IDOK, !TrimmedNumberIsEmpty(dialog));
        }
        break;
    case IDC_FAX_USE_COVER:
        Enable(dialog, IDC_FAX_EDIT_COVER, IsChecked(dialog, IDC_FAX_USE_COVER));
        break;
    case IDC_FAX_EDIT_COVER:
        DialogBoxParamA(ModuleInstance(), "IDD_COVER_PAGE", dialog, CoverPageDlgProc,
                        reinterpret_cast<LPARAM>(context));
        break;
    case IDC_FAX_NEW_RECIPIENT:
        if (IsChecked(dialog, IDC_FAX_NEW_RECIPIENT)) {
            ShowMode(dialog, true);
            Enable(dialog, IDOK, !TrimmedNumberIsEmpty(dialog));
        } else {
            ShowMode(dialog, false);
            Enable(dialog, IDOK, AnyLineSelected(dialog));
        }
        break;
    case IDC_FAX_NEW_NUMBER:
        if (code == EN_CHANGE) Enable(dialog, IDOK, !TrimmedNumberIsEmpty(dialog));
        break;
    case IDC_FAX_ULTRAFINE:
    case IDC_FAX_FINE: {
        const bool ultrafine = IsChecked(dialog, IDC_FAX_ULTRAFINE);
        ShowResolutionIcon(dialog, ultrafine);
        context->faxInfo->resolution = ultrafine ? 0 : 1;
        break;
    }
    case IDOK:
        OnFax(dialog, context);
        break;
    case IDC_FAX_PRINT:
        OnPrint(dialog, context);
        break;
    default:  // IDCANCEL (Escape) among them: the dialog cannot be cancelled
        break;
    }
}

INT_PTR FaxDialogMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitFaxDialog(dialog, reinterpret_cast<WorkingContext *>(lParam));
    case WM_COMMAND:
        OnFaxCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DESTROY:
        EmptyRecipientList(dialog);
        return 0;
    default:
        return 0;
    }
}

}  // namespace

INT_PTR CALLBACK FaxDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // No exception may reach the host's message loop. The module throws
    // none; the portable window layer can (std::bad_alloc when memory runs
    // out), and then the message counts as not handled.
    try {
        return FaxDialogMessage(dialog, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}
