// orvixfax run as the user runs it, on a scratch directory per test.
#ifndef ORVIXFAX_TESTS_BOOK_PROGRAM_H
#define ORVIXFAX_TESTS_BOOK_PROGRAM_H

#include <gtest/gtest.h>

#include "support/program_run.h"
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

class BookVerbTest : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() /
                    ("orvixfax-book-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory / "book");
    }
    void TearDown() override { fs::remove_all(directory); }

    fs::path Book() const { return directory / "book" / "OrvixFax.adb"; }

    Outcome Orvixfax(const std::string &arguments, const std::string &environment = "") {
        // The user's own choice of directory never reaches these runs.
        return RunProgram("env -u ORVIXFAX_DIR -u XDG_DATA_HOME " + environment + " '" + ORVIXFAX_PROGRAM + "' " +
                              arguments,
                          directory);
    }
    std::string Dir() const { return " --dir '" + (directory / "book").string() + "'"; }

    fs::path directory;
};

#endif
