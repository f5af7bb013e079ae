// The JSON job reader over arbitrary bytes: no crash, no hang, no
// sanitizer report; a refused job names its fault; and any job it takes
// gives a PJL ticket of whole "@PJL COMMENT @@" lines with no control byte
// but their line feeds, and a PostScript ticket, both in their blocks.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "common/locked_block.h"
#include "common/module_instance.h"
#include "job/fax_info.h"
#include "orvixfax/job_file.h"
#include "platform/portable/host.h"
#include "ticket/pjl_ticket.h"
#include "ticket/ps_ticket.h"
#include "ticket/ticket_clock.h"

namespace {

void CheckPjl(const char *text, uint32_t length) {
    if (std::strlen(text) != length) std::abort();
    std::string ticket(text, length);
    for (size_t start = 0; start < ticket.size();) {
        size_t end = ticket.find('\n', start);
        if (end == std::string::npos || ticket.compare(start, 15, "@PJL COMMENT @@") != 0) {
            std::fprintf(stderr, "not a whole PJL comment line at %zu\n", start);
            std::abort();
        }
        for (size_t i = start; i < end; ++i) {
            unsigned char byte = static_cast<unsigned char>(ticket[i]);
            if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
                std::fprintf(stderr, "control byte 0x%02x in a PJL line\n", byte);
                std::abort();
            }
        }
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
    std::tm moment{};
    moment.tm_year = 98;
    moment.tm_mon = 11;
    moment.tm_mday = 6;
    SetTicketTime(&moment);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    int blocksBefore = portable::LiveGlobalBlocks();
    FaxInfo *info = nullptr;
    if (!NewFaxInfo(&info)) std::abort();
    std::string error;
    if (ReadJobText(std::string(reinterpret_cast<const char *>(data), size), info, error)) {
        if (info->status != 0) {
            uint32_t length = 0;
            char *pjl = WritePjlTicket(info, &length);
            if (pjl == nullptr) std::abort();
            CheckPjl(pjl, length);
            FreeLockedBlock(pjl);
            char *ps = WritePsTicket(info, &length);
            if (ps == nullptr || std::strlen(ps) != length) std::abort();
            FreeLockedBlock(ps);
        }
    } else if (error.empty()) {
        std::abort();
    }
    FreeFaxInfo(&info);
    if (portable::LiveGlobalBlocks() != blocksBefore) std::abort();
    return 0;
}
