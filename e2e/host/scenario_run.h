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

}  // namespace e2e

#endif
