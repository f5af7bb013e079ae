// One scenario against the real DLL: the system directory prepared, the
// exporter placed, the export called on this thread while the script's
// hands work from another, and the outcome compared with what is expected.
#ifndef ORVIXFAX_E2E_SCENARIO_RUN_H
#define ORVIXFAX_E2E_SCENARIO_RUN_H

#include <string>

namespace e2e {

struct ScenarioPaths {
    std::string scenarioFile;
    std::string dataDirectory;      // e2e/scenarios/data
    std::string expectedDirectory;  // e2e/scenarios/expected
    std::string outputDirectory;    // where this run's outcome is written
    std::string exporterLibrary;    // the built Abexpw32.dll
};

// 0 when the outcome is the expected one; messages on stderr otherwise.
int RunScenario(const ScenarioPaths &paths);

// Only the system directory's part of the setting up, for a scenario whose
// user may not write it: run first by one who may (0 when all was put in
// place). RunScenario then leaves the system directory as it finds it.
int PrepareScenario(const ScenarioPaths &paths);

}  // namespace e2e

#endif
