// Both ticket writers on the fullest job the dialog can produce (200
// recipients with every field full, all sender fields, ten note lines,
// cover sheet on), each against memcpy of the same number of bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <vector>

#include "common/locked_block.h"
#include "common/module_instance.h"
#include "job/fax_info.h"
#include "platform/portable/host.h"
#include "ticket/pjl_ticket.h"
#include "ticket/ps_ticket.h"
#include "ticket/ticket_clock.h"

namespace {

using TicketWriter = char *(*)(FaxInfo *info, uint32_t *length);

void Fill(char *field, size_t size, const char *pattern) {
    size_t patternLength = std::strlen(pattern);
    for (size_t i = 0; i + 1 < size; ++i) field[i] = pattern[i % patternLength];
    field[size - 1] = '\0';
}

// The numbers are typed with brackets, spaces and hyphens, so every run
// reduces them again: each iteration starts from this master copy.
void FillFullJob(FaxInfo *info) {
    info->status = 1;
    info->coverSheet = 1;
    info->includeRecipName = info->includeRecipNumber = info->includeRecipCompany = 1;
    Fill(info->senderName, sizeof info->senderName, "Margarethe Vogel (Export) ");
    Fill(info->senderFaxNumber, sizeof info->senderFaxNumber, "+49 (40) 3861-2290 ");
    Fill(info->senderHomeNumber, sizeof info->senderHomeNumber, "040 552 17 03 ");
    Fill(info->senderBusinessNumber, sizeof info->senderBusinessNumber, "+49 (40) 3861-2200 ");
    for (auto &line : info->noteLines) Fill(line, sizeof line, "Delivery schedule [rev. C] ");
    for (int i = 0; i < FAX_MAX_RECIPIENTS; ++i) {
        RecipientEntry &slot = info->recipients[i];
        Fill(slot.name, sizeof slot.name, "Ingrid Halvorsen ");
        Fill(slot.faxNumber, sizeof slot.faxNumber, "(22) 48-91 00 ");
        Fill(slot.company, sizeof slot.company, "Nordkyst Shipping AS ");
    }
    info->recipientCount = FAX_MAX_RECIPIENTS;
}

struct Job {
    Job() {
        DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
        NewFaxInfo(&master);
        NewFaxInfo(&work);
        FillFullJob(master);
        std::tm moment{};
        moment.tm_year = 98;
        moment.tm_mon = 11;
        moment.tm_mday = 6;
        SetTicketTime(&moment);
    }
    ~Job() {
        FreeFaxInfo(&master);
        FreeFaxInfo(&work);
        SetTicketTime(nullptr);
    }
    // The writers change the numbers in place; every run starts from the typed form.
    void Reset() {
        RecipientEntry *slots = work->recipients;
        std::memcpy(work, master, sizeof *work);
        work->recipients = slots;
        std::memcpy(slots, master->recipients, sizeof(RecipientEntry) * FAX_MAX_RECIPIENTS);
    }
    FaxInfo *master = nullptr;
    FaxInfo *work = nullptr;
};

void RunWriter(benchmark::State &state, TicketWriter write, bool kanji) {
    Job job;
    if (kanji) portable::OverrideString(1045, "Kanji");
    uint32_t length = 0;
    for (auto _ : state) {
        state.PauseTiming();
        job.Reset();
        state.ResumeTiming();
        char *text = write(job.work, &length);
        benchmark::DoNotOptimize(text);
        FreeLockedBlock(text);
    }
    portable::ClearStringOverrides();
    state.counters["ticket_bytes"] = length;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * length);
}

// memcpy of as many bytes as the ticket has: the yardstick of the ratio.
void RunCopy(benchmark::State &state, TicketWriter write, bool kanji) {
    size_t length = 0;
    {
        Job job;
        if (kanji) portable::OverrideString(1045, "Kanji");
        uint32_t written = 0;
        job.Reset();
        FreeLockedBlock(write(job.work, &written));
        portable::ClearStringOverrides();
        length = written;
    }
    std::vector<char> from(length, 'x');
    std::vector<char> to(length);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), length);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.counters["ticket_bytes"] = static_cast<double>(length);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * length));
}

void BM_WritePjlTicket(benchmark::State &state) { RunWriter(state, WritePjlTicket, false); }
void BM_MemcpyPjlBytes(benchmark::State &state) { RunCopy(state, WritePjlTicket, false); }
void BM_WritePsTicket(benchmark::State &state) { RunWriter(state, WritePsTicket, false); }
void BM_MemcpyPsBytes(benchmark::State &state) { RunCopy(state, WritePsTicket, false); }
void BM_WritePsTicketKanji(benchmark::State &state) { RunWriter(state, WritePsTicket, true); }
void BM_MemcpyPsKanjiBytes(benchmark::State &state) { RunCopy(state, WritePsTicket, true); }

BENCHMARK(BM_WritePjlTicket);
BENCHMARK(BM_MemcpyPjlBytes);
BENCHMARK(BM_WritePsTicket);
BENCHMARK(BM_MemcpyPsBytes);
BENCHMARK(BM_WritePsTicketKanji);
BENCHMARK(BM_MemcpyPsKanjiBytes);

}  // namespace
