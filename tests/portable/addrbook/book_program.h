// orvixfax run as the user runs it, on a scratch directory per test.
#ifndef ORVIXFAX_TESTS_BOOK_PROGRAM_H
#define ORVIXFAX_TESTS_BOOK_PROGRAM_H

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

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

    static std::string Read(const fs::path &path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    void Write(const fs::path &path, const std::string &bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    fs::path Book() const { return directory / "book" / "OrvixFax.adb"; }

    Outcome Orvixfax(const std::string &arguments, const std::string &environment = "") {
        fs::path out = directory / "stdout";
        fs::path err = directory / "stderr";
        // The user's own choice of directory never reaches these runs.
        std::string command = "env -u ORVIXFAX_DIR -u XDG_DATA_HOME " + environment + " '" + ORVIXFAX_PROGRAM + "' " +
                              arguments + " >'" + out.string() + "' 2>'" + err.string() + "'";
        int raw = std::system(command.c_str());
        int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        return {status, Read(out), Read(err)};
    }
    std::string Dir() const { return " --dir '" + (directory / "book").string() + "'"; }

    fs::path directory;
};

#endif
