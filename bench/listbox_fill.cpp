// Filling a sorted list box the way the dialogs fill theirs: one
// LB_ADDSTRING per line of the book, each placed by binary search.
// Run: build/native/bench/listbox_fill
#include "platform/portable/front_end.h"
#include "platform/portable/host.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

struct BodyFrontEnd : portable::FrontEnd {
    std::function<void(HWND)> body;
    void RunDialog(HWND dialog) override {
        body(dialog);
        EndDialog(dialog, 1);
    }
    int AnswerMessageBox(HWND, const std::string &, const std::string &, UINT) override { return IDOK; }
};

std::vector<std::string> BookLines(int count) {
    std::vector<std::string> lines;
    unsigned seed = 12345;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        char line[64];
        std::snprintf(line, sizeof line, "Name%05u, First%03d\t+49 30 %07u", (seed >> 8) % 100000u,
                      i % 1000, seed % 10000000u);
        lines.push_back(line);
    }
    return lines;
}

void RunWithList(benchmark::State &state, bool sorted) {
    std::vector<std::string> lines = BookLines(static_cast<int>(state.range(0)));
    BodyFrontEnd frontEnd;
    frontEnd.body = [&](HWND dialog) {
        // The address book list sorts; the person editor's number list does not.
        HWND list = GetDlgItem(dialog, sorted ? 1017 : 1028);
        for (auto _ : state) {
            SendMessageA(list, LB_RESETCONTENT, 0, 0);
            for (const auto &line : lines)
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
        state.SetComplexityN(state.range(0));
    };
    portable::SetFrontEnd(&frontEnd);
    DialogBoxParamA(portable::ModuleInstance(), sorted ? "IDD_EDIT_ADDRESS_BOOK" : "IDD_EDIT_INDIV",
                    nullptr, [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
                        return message == WM_INITDIALOG;
                    },
                    0);
    portable::SetFrontEnd(nullptr);
}

void SortedFill(benchmark::State &state) { RunWithList(state, true); }
void UnsortedFill(benchmark::State &state) { RunWithList(state, false); }

}  // namespace

BENCHMARK(SortedFill)->RangeMultiplier(4)->Range(64, 262144)->Complexity();
BENCHMARK(UnsortedFill)->RangeMultiplier(4)->Range(64, 262144)->Complexity();
