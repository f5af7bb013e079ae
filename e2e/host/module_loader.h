// OrvixFax.dll as a driver sees it: loaded by name, its eight exports found
// by name and by ordinal.
#ifndef ORVIXFAX_E2E_MODULE_LOADER_H
#define ORVIXFAX_E2E_MODULE_LOADER_H

#include "support/scenario/export_call.h"

#include <string>
#include <vector>

namespace e2e {

// Loads "OrvixFax.dll" with LoadLibraryA and fills `exports`. Every export
// must be found by name and by its ordinal, and both must be the same
// function; each mismatch is a message in `problems`.
bool LoadOrvixFax(scenario::Exports &exports, std::vector<std::string> &problems);

// The moment the module reads from the C runtime (time and localtime) is
// fixed by pointing the module's own imports of them at stand-ins: nothing
// in the module changes, and the driver's process is not affected. False
// when the module imports neither clock function.
bool FixModuleClock(HMODULE module, const scenario::Clock &clock, std::string &problem);

}  // namespace e2e

#endif
