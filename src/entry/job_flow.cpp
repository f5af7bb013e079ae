#include "entry/job_flow.h"

#include "addrbook/records.h"
#include "common/module_instance.h"
#include "editors/address_book_dialog.h"
#include "faxdlg/fax_dialog.h"
#include "job/fax_info.h"

// Both flows stop any exception at the export: the caller is a printer
// driver, which must never see one. The module throws none; the portable
// window layer can (std::bad_alloc when memory runs out), and the flow then
// ends as when its dialog cannot be had.

void RunFaxJob(FaxInfo *destination) {
    WorkingContext *context = nullptr;
    try {
        if (OpenWorkingContext(&context) && context != nullptr) {
            INT_PTR result = DialogBoxParamA(ModuleInstance(), "IDD_ORVIX_FAX", nullptr, FaxDlgProc,
                                             reinterpret_cast<LPARAM>(context));
            // Only "F&ax" carries a job; "&Print" and a failed dialog leave the caller's record alone.
            if (result == FAX_DIALOG_FAX) CopyFaxInfo(destination, context->faxInfo);
        }
    } catch (...) {
    }
    CloseWorkingContext(&context);
}

void RunAddressBook(HWND owner) {
    WorkingContext *context = nullptr;
    try {
        if (OpenWorkingContext(&context) && context != nullptr)
            DialogBoxParamA(ModuleInstance(), "IDD_EDIT_ADDRESS_BOOK", owner, AddressBookDlgProc,
                            reinterpret_cast<LPARAM>(context));
    } catch (...) {
    }
    CloseWorkingContext(&context);
}
