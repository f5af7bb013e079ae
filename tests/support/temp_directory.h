// A fresh directory per test, removed with everything in it afterwards.
#ifndef ORVIXFAX_TESTS_TEMP_DIRECTORY_H
#define ORVIXFAX_TESTS_TEMP_DIRECTORY_H

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempDirectory {
public:
    TempDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "orvix-kernel-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDirectory() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string &path() const { return path_; }
    // The Windows spelling of a file in the directory: '\\' before the name.
    std::string WindowsPath(const std::string &name) const { return path_ + "\\" + name; }
    std::string HostPath(const std::string &name) const { return path_ + "/" + name; }

    std::string Read(const std::string &name) const {
        std::ifstream in(HostPath(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Write(const std::string &name, const std::string &text) const {
        std::ofstream(HostPath(name), std::ios::binary) << text;
    }

private:
    std::string path_;
};

#endif
