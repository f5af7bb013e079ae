// The Windows test host: loads OrvixFax.dll like a printer driver and plays
// its user.
//   orvixfax_e2e_host scenario FILE DATA_DIR EXPECTED_DIR OUTPUT_DIR EXPORTER_DLL
//   orvixfax_e2e_host prepare FILE DATA_DIR EXPORTER_DLL   (the system directory only)
//   orvixfax_e2e_host screenshots OUTPUT_DIR
#include "scenario_run.h"
#include "screenshots.h"

#include <cstdio>
#include <cstring>
#include <string>

int main(int argc, char **argv) {
    if (argc == 7 && std::strcmp(argv[1], "scenario") == 0) {
        e2e::ScenarioPaths paths{argv[2], argv[3], argv[4], argv[5], argv[6]};
        return e2e::RunScenario(paths);
    }
    if (argc == 5 && std::strcmp(argv[1], "prepare") == 0) {
        e2e::ScenarioPaths paths{argv[2], argv[3], "", "", argv[4]};
        return e2e::PrepareScenario(paths);
    }
    if (argc == 3 && std::strcmp(argv[1], "screenshots") == 0) return e2e::TakeScreenshots(argv[2]);
    std::fprintf(stderr,
                 "usage: %s scenario FILE DATA_DIR EXPECTED_DIR OUTPUT_DIR EXPORTER_DLL\n"
                 "       %s prepare FILE DATA_DIR EXPORTER_DLL\n"
                 "       %s screenshots OUTPUT_DIR\n",
                 argv[0], argv[0], argv[0]);
    return 2;
}
