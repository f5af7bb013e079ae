// A scratch system directory for one flow, and the orvixfax command run in
// this process (so the kernel call table reaches its calls), its output
// captured.
#ifndef ORVIXFAX_TESTS_FLOW_FIXTURE_H
#define ORVIXFAX_TESTS_FLOW_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fault_sweep.h"

class FlowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string File(const std::string &name) const { return directory_ + "/" + name; }
    // The path as the module spells it.
    std::string ModuleFile(const std::string &name) const { return directory_ + "\\" + name; }
    std::string Read(const std::string &name) const;
    void Write(const std::string &name, const std::string &bytes) const;
    bool Exists(const std::string &name) const;
    // The names in the directory, sorted, blank-separated.
    std::string Names() const;

    struct Command {
        int status;
        std::string out;
        std::string err;
    };
    // orvixfax with these arguments, as main runs it.
    Command Orvixfax(const std::vector<std::string> &arguments);
    // Called as the program starts (true) and ends (false) within Orvixfax:
    // what a test does to the run itself, apart from capturing its output.
    std::function<void(bool starting)> aroundRun_;

    std::string directory_;
};

#endif
