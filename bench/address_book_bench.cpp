// Loading and saving address books of 1,000, 10,000 and 100,000 persons
// (two numbers each, groups of 50 members covering a tenth of the numbers),
// beside a plain memchr scan for LF over the same bytes in the same run.
// At the end the program prints, per size, MB/s of load and save, their
// share of the scan's speed, and the ratio of the 100,000 time to the
// 10,000 time (linear: at most 12).
// Run: build/native/bench/address_book_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "addrbook/address_book_file.h"
#include "addrbook/records.h"
#include "common/text_field.h"
#include "platform/portable/host.h"

namespace {

std::string g_directory;

std::string ModulePath() { return g_directory + "\\" ADDRESS_BOOK_FILE_NAME; }

WorkingContext *NewContext() {
    WorkingContext *context = nullptr;
    OpenEmptyWorkingContext(&context);
    return context;
}

// The generated book of `count` persons, built once and kept as bytes.
const std::string &BookBytes(int count) {
    static std::map<int, std::string> books;
    auto found = books.find(count);
    if (found != books.end()) return found->second;

    WorkingContext *context = NewContext();
    PersonRecord *tail = context->persons;
    unsigned seed = 2024;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < count; ++i) {
        PersonRecord *person = nullptr;
        NewPerson(&person);
        char text[64];
        std::snprintf(text, sizeof text, "First%u", next() % 100000u);
        CopyField(person->firstName, text);
        std::snprintf(text, sizeof text, "Lastname%u", next() % 100000u);
        CopyField(person->lastName, text);
        std::snprintf(text, sizeof text, "Company %u, Ltd", next() % 5000u);
        CopyField(person->company, text);
        CopyField(person->department, i % 3 ? "Sales" : "");
        CopyField(person->notes, i % 4 ? "" : "Call before sending\\after 9");
        NumberRecord *last = person->numbers;
        for (int n = 0; n < 2; ++n) {
            NumberRecord *number = nullptr;
            NewNumber(&number);
            std::snprintf(text, sizeof text, "+49 30 %07u", next() % 10000000u);
            CopyField(number->number, text);
            CopyField(number->details, n ? "home" : "office");
            last->next = number;
            last = number;
        }
        tail->next = person;
        tail = person;
    }
    // Groups of 50 members covering a tenth of the numbers: every tenth
    // person's first number.
    GroupRecord *groupTail = context->groups;
    MemberLink *memberTail = nullptr;
    int members = 0, groupIndex = 0;
    int person = 0;
    for (PersonRecord *p = context->persons->next; p; p = p->next, ++person) {
        if (person % 5 != 0) continue;  // every fifth person, one of two numbers: a tenth
        if (members % 50 == 0) {
            GroupRecord *group = nullptr;
            NewGroup(&group);
            char name[32];
            std::snprintf(name, sizeof name, "Group %d", groupIndex++);
            CopyField(group->name, name);
            groupTail->next = group;
            groupTail = group;
            memberTail = group->members;
        }
        MemberLink *link = nullptr;
        NewMemberLink(&link);
        link->person = p;
        link->number = p->numbers->next;
        memberTail->next = link;
        memberTail = link;
        ++members;
    }
    std::string path = g_directory + "\\generated.adb";
    SaveAddressBook(context, path.c_str());
    CloseWorkingContext(&context);
    std::ifstream in(g_directory + "/generated.adb", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return books[count] = bytes.str();
}

void InstallBook(int count) {
    const std::string &bytes = BookBytes(count);
    std::ofstream(g_directory + "/" ADDRESS_BOOK_FILE_NAME, std::ios::binary) << bytes;
}

void BM_Load(benchmark::State &state) {
    int count = static_cast<int>(state.range(0));
    InstallBook(count);
    for (auto _ : state) {
        WorkingContext *context = NewContext();
        uint16_t result = LoadAddressBook(context);
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        CloseWorkingContext(&context);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(BookBytes(count).size()));
}

void BM_Save(benchmark::State &state) {
    int count = static_cast<int>(state.range(0));
    InstallBook(count);
    WorkingContext *context = NewContext();
    LoadAddressBook(context);
    std::string path = ModulePath();
    for (auto _ : state) benchmark::DoNotOptimize(SaveAddressBook(context, path.c_str()));
    CloseWorkingContext(&context);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(BookBytes(count).size()));
}

void BM_MemchrScan(benchmark::State &state) {
    const std::string &bytes = BookBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        size_t lines = 0;
        const char *at = bytes.data();
        const char *end = at + bytes.size();
        while ((at = static_cast<const char *>(std::memchr(at, '\n', static_cast<size_t>(end - at)))) != nullptr) {
            ++lines;
            ++at;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

// For reading the load figures: only the allocations a load makes (a person,
// its number list and two numbers per person), through the same layer.
void BM_AllocationsOnly(benchmark::State &state) {
    int count = static_cast<int>(state.range(0));
    std::vector<void *> blocks(static_cast<size_t>(count) * 4);
    for (auto _ : state) {
        for (int i = 0; i < count; ++i) {
            CreatePtr(&blocks[i * 4], sizeof(PersonRecord));
            CreatePtr(&blocks[i * 4 + 1], sizeof(NumberRecord));
            CreatePtr(&blocks[i * 4 + 2], sizeof(NumberRecord));
            CreatePtr(&blocks[i * 4 + 3], sizeof(NumberRecord));
        }
        state.PauseTiming();
        for (void *&block : blocks) DisposePtr(&block);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(BookBytes(count).size()));
}

// For reading the save figures: only a walk over every record and field the
// writer reads, without writing.
void BM_WalkOnly(benchmark::State &state) {
    int count = static_cast<int>(state.range(0));
    InstallBook(count);
    WorkingContext *context = NewContext();
    LoadAddressBook(context);
    for (auto _ : state) {
        size_t bytes = 0;
        for (PersonRecord *person = context->persons->next; person; person = person->next) {
            bytes += std::strlen(person->firstName) + std::strlen(person->lastName) + std::strlen(person->company) +
                     std::strlen(person->department) + std::strlen(person->notes);
            for (NumberRecord *number = person->numbers->next; number; number = number->next)
                bytes += std::strlen(number->number) + std::strlen(number->details);
        }
        benchmark::DoNotOptimize(bytes);
    }
    CloseWorkingContext(&context);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(BookBytes(count).size()));
}

BENCHMARK(BM_AllocationsOnly)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkOnly)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemchrScan)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Collects each run's time per iteration and bytes per second.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    struct Figure {
        double seconds = 0;
        double bytesPerSecond = 0;
    };
    std::map<std::string, Figure> figures;
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            Figure figure;
            // CPU time, as the MB/s figures: the build machines are shared.
            figure.seconds = run.GetAdjustedCPUTime() / 1e3;  // the runs report milliseconds
            auto rate = run.counters.find("bytes_per_second");
            if (rate != run.counters.end()) figure.bytesPerSecond = rate->second;
            figures[run.benchmark_name()] = figure;
        }
    }
};

}  // namespace

int main(int argc, char **argv) {
    char pattern[] = "/tmp/orvix-book-bench-XXXXXX";
    g_directory = mkdtemp(pattern);
    portable::SetSystemDirectory(g_directory);

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nsize      load MB/s  save MB/s  scan MB/s  load/scan  save/scan\n");
    for (int size : {1000, 10000, 100000}) {
        std::string arg = "/" + std::to_string(size);
        auto &load = reporter.figures["BM_Load" + arg];
        auto &save = reporter.figures["BM_Save" + arg];
        auto &scan = reporter.figures["BM_MemchrScan" + arg];
        if (scan.bytesPerSecond <= 0) continue;
        std::printf("%-8d %10.1f %10.1f %10.1f %10.2f %10.2f\n", size, load.bytesPerSecond / 1e6,
                    save.bytesPerSecond / 1e6, scan.bytesPerSecond / 1e6, load.bytesPerSecond / scan.bytesPerSecond,
                    save.bytesPerSecond / scan.bytesPerSecond);
    }
    auto ratio = [&](const char *name) {
        double small = reporter.figures[std::string(name) + "/10000"].seconds;
        double large = reporter.figures[std::string(name) + "/100000"].seconds;
        return small > 0 ? large / small : 0.0;
    };
    std::printf("CPU time ratio 100000 / 10000 persons: load %.1f, save %.1f (linear: at most 12)\n", ratio("BM_Load"),
                ratio("BM_Save"));
    std::printf("  for reference: the load's allocations alone %.1f, a walk over the records alone %.1f, "
                "the scan %.1f\n",
                ratio("BM_AllocationsOnly"), ratio("BM_WalkOnly"), ratio("BM_MemchrScan"));
    benchmark::Shutdown();
    std::filesystem::remove_all(g_directory);
    return 0;
}
