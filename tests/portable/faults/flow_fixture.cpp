#include "flow_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <set>
#include <sstream>

#include "orvixfax/verbs.h"
#include "entry/module_instance.h"
#include "platform/portable/host.h"

void FlowTest::SetUp() {
    char pattern[] = "/tmp/orvix-faults-XXXXXX";
    directory_ = mkdtemp(pattern);
    portable::SetSystemDirectory(directory_);
    portable::ClearKernelFaults();
    DllMain(portable::ModuleInstance(), DLL_PROCESS_ATTACH, nullptr);
}

void FlowTest::TearDown() {
    portable::ClearKernelFaults();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

std::string FlowTest::Read(const std::string &name) const {
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void FlowTest::Write(const std::string &name, const std::string &bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
}

bool FlowTest::Exists(const std::string &name) const { return std::filesystem::exists(File(name)); }

std::string FlowTest::Names() const {
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(directory_))
        names.insert(entry.path().filename().string());
    std::string list;
    for (const std::string &name : names) list += (list.empty() ? "" : " ") + name;
    return list;
}

FlowTest::Command FlowTest::Orvixfax(const std::vector<std::string> &arguments) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    int exitCode = 0;
    // As main: a parse error is bad input, memory running out while the
    // program sets itself up is status 1. Anything else escaping fails the
    // test: no verb may let an exception out.
    auto around = [this](bool starting) {
        if (aroundRun_) aroundRun_(starting);
    };
    try {
        around(true);
        CLI::App app;
        app.require_subcommand(1);
        AddVerbs(app, exitCode);
        std::vector<const char *> argv{"orvixfax"};
        for (const std::string &argument : arguments) argv.push_back(argument.c_str());
        app.parse(static_cast<int>(argv.size()), argv.data());
        around(false);
    } catch (const CLI::ParseError &) {
        around(false);
        exitCode = 2;
    } catch (const std::bad_alloc &) {
        around(false);
        std::cerr << "orvixfax: not enough memory\n";
        exitCode = 1;
    }
    Command command{exitCode, "", ""};
    command.out = ::testing::internal::GetCapturedStdout();
    command.err = ::testing::internal::GetCapturedStderr();
    return command;
}
