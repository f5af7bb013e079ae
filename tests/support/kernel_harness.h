// What the kernel behaviour tests need beyond the Win32 API: a scratch
// directory named the Windows way, file contents read and written behind
// the API's back, and whether the run is under Wine. The same tests run
// over the portable layer and over real KERNEL32 under Wine.
#ifndef ORVIXFAX_TESTS_KERNEL_HARNESS_H
#define ORVIXFAX_TESTS_KERNEL_HARNESS_H

#include "platform/win32api.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kernel {

// A Windows path as the test's own file access wants it.
inline std::filesystem::path Native(const std::string &windowsPath) {
#ifdef _WIN32
    return std::filesystem::path(windowsPath);
#else
    std::string path = windowsPath;
    for (char &c : path)
        if (c == '\\') c = '/';
    return std::filesystem::path(path);
#endif
}

// Wine names itself through ntdll; Windows and the portable layer do not.
inline bool OnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class ScratchDirectory {
public:
    ScratchDirectory() {
        static std::atomic<int> counter{0};
        std::filesystem::path base = std::filesystem::temp_directory_path();
        for (;;) {
            std::filesystem::path candidate =
                base / ("orvix-kernel-" + std::to_string(std::rand()) + "-" + std::to_string(counter++));
            if (std::filesystem::create_directory(candidate)) {
                native_ = candidate;
                break;
            }
        }
        path_ = native_.string();
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::permissions(native_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(native_, ignored);
    }
    ScratchDirectory(const ScratchDirectory &) = delete;
    ScratchDirectory &operator=(const ScratchDirectory &) = delete;

    // The Windows spelling of a file in the directory: '\\' before the name.
    std::string Path(const std::string &name) const { return path_ + "\\" + name; }
    const std::string &Directory() const { return path_; }
    std::filesystem::path NativePath(const std::string &name) const { return Native(Path(name)); }

    std::string Read(const std::string &name) const {
        std::ifstream in(NativePath(name), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void Write(const std::string &name, const std::string &text) const {
        std::ofstream(NativePath(name), std::ios::binary) << text;
    }
    bool Exists(const std::string &name) const { return std::filesystem::exists(NativePath(name)); }

private:
    std::filesystem::path native_;
    std::string path_;
};

}  // namespace kernel

#endif
