// The module's exported functions (ordinals in orvixfax.def). Every export
// is self-contained: its flow opens and closes its own working context.
// EditNumberDlgProc, the fourth export, lives with the number editor.
#include "common/locked_block.h"
#include "entry/job_flow.h"
#include "job/fax_info.h"
#include "orvixfax.h"
#include "ticket/pjl_ticket.h"
#include "ticket/ps_ticket.h"

namespace {

using TicketWriter = char *(*)(FaxInfo *info, uint32_t *length);

// The Create exports: the job into a record of their own, then its ticket.
void CreateTicket(char **text, uint32_t *length, TicketWriter writeTicket) {
    if (text != nullptr) *text = nullptr;
    if (length != nullptr) *length = 0;
    // Without a record there is nowhere for the job to go: no dialog then.
    FaxInfo *info = nullptr;
    if (!NewFaxInfo(&info)) return;
    info->status = 0;
    RunFaxJob(info);
    if (info->status == 1) {
        uint32_t written = 0;
        char *ticket = nullptr;
        // As the flows do (job_flow.cpp): no exception reaches the driver.
        try {
            ticket = writeTicket(info, &written);
        } catch (...) {
            ticket = nullptr;
        }
        if (text != nullptr && length != nullptr) {
            *text = ticket;
            *length = written;
        } else if (ticket != nullptr) {
            // A caller that cannot take the ticket must not lose the block.
            FreeLockedBlock(ticket);
        }
    }
    FreeFaxInfo(&info);
}

}  // namespace

extern "C" {

uint32_t ORVIXFAX_API PSOrvixFaxCall(uint32_t, uint32_t) {
    RunFaxJob(nullptr);
    return 1;
}

uint32_t ORVIXFAX_API PCLOrvixFaxCall(uint32_t, uint32_t) {
    RunFaxJob(nullptr);
    return 1;
}

uint32_t ORVIXFAX_API OrvixFaxBookCall(HWND owner) {
    RunAddressBook(owner);
    return 1;
}

uint32_t ORVIXFAX_API PCLOrvixFaxCallEx(FaxInfo *record) {
    RunFaxJob(record);
    return 1;
}

uint32_t ORVIXFAX_API PSOrvixFaxCallEx(FaxInfo *record) {
    RunFaxJob(record);
    return 1;
}

void ORVIXFAX_API CreatePCLOrvixFaxInfo(char **text, uint32_t *length) {
    CreateTicket(text, length, WritePjlTicket);
}

void ORVIXFAX_API CreatePSOrvixFaxInfo(char **text, uint32_t *length) {
    CreateTicket(text, length, WritePsTicket);
}

}  // extern "C"
