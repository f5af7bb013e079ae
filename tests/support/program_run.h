// A program run as its user runs it: a shell command line, with standard
// output and standard error caught apart, and the exit status.
#ifndef ORVIXFAX_TESTS_PROGRAM_RUN_H
#define ORVIXFAX_TESTS_PROGRAM_RUN_H

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

struct Outcome {
    int status = -1;  // the exit status; -1 when the program did not exit (a signal)
    std::string out;
    std::string err;
};

inline std::string ReadBytes(const std::filesystem::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void WriteBytes(const std::filesystem::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Runs `command` (its own input redirection included, if any) through the
// shell, its two outputs caught in files of `scratch` that are gone again
// afterwards.
inline Outcome RunProgram(const std::string &command, const std::filesystem::path &scratch) {
    static int runs = 0;
    ++runs;
    std::filesystem::path out = scratch / ("run" + std::to_string(runs) + ".out");
    std::filesystem::path err = scratch / ("run" + std::to_string(runs) + ".err");
    std::string line = command + " >'" + out.string() + "' 2>'" + err.string() + "'";
    int raw = std::system(line.c_str());
    Outcome run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out), ReadBytes(err)};
    std::error_code ignored;
    std::filesystem::remove(out, ignored);
    std::filesystem::remove(err, ignored);
    return run;
}

#endif
