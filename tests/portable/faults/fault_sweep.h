// Fails the kernel calls of a flow one at a time, through the kernel call
// table: run the flow with call 0 failing, then call 1, and so on, until a
// run makes no call that could be failed. Each run is then checked by the
// test: no crash, nothing leaked, the files on disk whole, the failure
// reported.
#ifndef ORVIXFAX_TESTS_FAULT_SWEEP_H
#define ORVIXFAX_TESTS_FAULT_SWEEP_H

#include <functional>
#include <string>

#include "platform/portable/host.h"

namespace faults {

struct Run {
    int target;          // the call made to fail, counting from 0
    bool fired;          // whether the flow came that far
    std::string failed;  // "file write", with the file when the call has one
};

// Runs `flow` with call 0, 1, 2, ... failing until a run is not reached by
// its target, and hands each run to `check`. Gives the number of runs.
int Sweep(const std::function<void()> &flow, const std::function<void(const Run &)> &check);

// What a run must not leave behind: global memory blocks and open files.
struct Leaks {
    int blocks;
    int files;
};
Leaks Now();

}  // namespace faults

#endif
