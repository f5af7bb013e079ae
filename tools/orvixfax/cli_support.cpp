#include "cli_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "../../src/platform/win32api.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

bool DataDirectory(const std::string &option, std::string &directory, std::string &error) {
    if (!option.empty()) {
        directory = option;
    } else {
#ifdef _WIN32
        char system[MAX_PATH];
        UINT length = GetSystemDirectoryA(system, sizeof system);
        if (length == 0 || length >= sizeof system) {
            error = "the system directory cannot be found";
            return false;
        }
        directory = system;
#else
        const char *home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') {
            error = "HOME is not set; name the directory with --dir";
            return false;
        }
        directory = std::string(home) + "/.local/share/orvixfax";
        // Made on first use, so that a first save has somewhere to go.
        std::error_code ignored;
        std::filesystem::create_directories(directory, ignored);
#endif
    }
    if (!std::filesystem::is_directory(directory)) {
        error = "--dir: \"" + directory + "\" is not a directory";
        return false;
    }
    return true;
}

namespace {
bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
}  // namespace

bool ParseTicketMoment(const std::string &text, std::tm &moment) {
    int year, month, day, hour, minute, second;
    char rest;
    if (text.size() != 19 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &rest) != 6)
        return false;
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59)
        return false;
    if (day > kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0)) return false;
    moment = std::tm{};
    moment.tm_year = year - 1900;
    moment.tm_mon = month - 1;
    moment.tm_mday = day;
    moment.tm_hour = hour;
    moment.tm_min = minute;
    moment.tm_sec = second;
    return true;
}

void FreeTicket(char *text) {
    if (text == nullptr) return;
    HGLOBAL handle = GlobalHandle(text);
    GlobalUnlock(handle);
    GlobalFree(handle);
}

bool WriteTicket(const char *text, uint32_t length, const std::string &out) {
    if (!out.empty()) {
        std::ofstream file(out, std::ios::binary | std::ios::trunc);
        file.write(text, length);
        file.close();
        return static_cast<bool>(file);
    }
#ifdef _WIN32
    // The ticket's line ends are its own: no CR may be added before LF.
    std::cout.flush();
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::cout.write(text, length);
    std::cout.flush();
    return static_cast<bool>(std::cout);
}

std::string Latin1ToUtf8(const char *text) {
    std::string out;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(text); *c != 0; ++c) {
        if (*c < 0x80) {
            out += static_cast<char>(*c);
        } else {
            out += static_cast<char>(0xC0 | (*c >> 6));
            out += static_cast<char>(0x80 | (*c & 0x3F));
        }
    }
    return out;
}
