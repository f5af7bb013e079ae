// Calling one export the way a driver (or a host) does, and writing down
// what came back, the same on both runners.
#ifndef ORVIXFAX_E2E_EXPORT_CALL_H
#define ORVIXFAX_E2E_EXPORT_CALL_H

#include "support/scenario/scenario.h"

namespace scenario {

// The eight exports and the module's instance, however the runner got them.
struct Exports {
    HINSTANCE instance = nullptr;
    uint32_t(WINAPI *PSOrvixFaxCall)(uint32_t, uint32_t) = nullptr;
    uint32_t(WINAPI *PCLOrvixFaxCall)(uint32_t, uint32_t) = nullptr;
    uint32_t(WINAPI *OrvixFaxBookCall)(HWND) = nullptr;
    INT_PTR(CALLBACK *EditNumberDlgProc)(HWND, UINT, WPARAM, LPARAM) = nullptr;
    uint32_t(WINAPI *PCLOrvixFaxCallEx)(FaxInfo *) = nullptr;
    uint32_t(WINAPI *PSOrvixFaxCallEx)(FaxInfo *) = nullptr;
    void(WINAPI *CreatePCLOrvixFaxInfo)(char **, uint32_t *) = nullptr;
    void(WINAPI *CreatePSOrvixFaxInfo)(char **, uint32_t *) = nullptr;
};

// Makes the calls the scenario names, one after the other, on the calling
// thread (the dialogs run in it), and fills result.txt and, for a ticket,
// ticket.bin (the last call's). A ticket block is released through its
// handle, as a driver must.
void RunExport(const Scenario &scenario, const Exports &exports, ScenarioOutcome &outcome);

}  // namespace scenario

#endif
