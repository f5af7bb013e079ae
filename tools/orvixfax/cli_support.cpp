#include "orvixfax/cli_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <new>
#include <sstream>
#include <system_error>

#include "orvixfax/platform.h"
#include "platform/win32api.h"

bool DataDirectory(const std::string &option, bool make, DataPlace &place, std::string &error) {
    const char *environment = std::getenv("ORVIXFAX_DIR");
    std::error_code failed;
    if (!option.empty() || (environment != nullptr && *environment != '\0')) {
        place.directory = !option.empty() ? option : environment;
        place.named = true;
        if (std::filesystem::is_directory(place.directory, failed)) return true;
        error = (!option.empty() ? "--dir: \"" : "ORVIXFAX_DIR: \"") + place.directory + "\" is not a directory";
        return false;
    }
    place.named = false;
    if (!DefaultDataDirectory(place.directory, error)) return false;
    if (std::filesystem::is_directory(place.directory, failed)) return true;
    if (std::filesystem::exists(place.directory, failed)) {
        error = "\"" + place.directory + "\" is not a directory";
        return false;
    }
    // Made on first use, so that a first save has somewhere to go.
    if (make && !std::filesystem::create_directories(place.directory, failed)) {
        error = "the directory \"" + place.directory + "\" cannot be made: " + failed.message();
        return false;
    }
    return true;
}

bool ReadInput(const std::string &path, std::string &text, std::string &name, std::string &error) {
    if (path.empty() || path == "-") {
        std::ostringstream read;
        read << std::cin.rdbuf();
        text = read.str();
        name = "standard input";
        if (!std::cin.bad()) return true;
        error = "standard input cannot be read";
        return false;
    }
    name = path;
    return ReadWholeFile(path, text, error);
}

bool ReadScript(const std::string &option, std::string &text, std::string &name, std::string &error) {
    if (ReadInput(option, text, name, error)) return true;
    error = "--script: " + error;
    return false;
}

bool CheckOutput(const std::string &path, std::string &error) {
    if (path.empty() || path == "-") return true;
    std::error_code failed;
    const auto status = std::filesystem::status(path, failed);
    if (std::filesystem::is_directory(status)) {
        error = path + ": it is a directory";
        return false;
    }
    // A device or a pipe takes the output as a stream; it is never made or removed.
    if (status.type() == std::filesystem::file_type::character || status.type() == std::filesystem::file_type::fifo)
        return true;
    const bool existed = std::filesystem::exists(status);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              existed ? OPEN_EXISTING : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": " + ErrorText(GetLastError());
        return false;
    }
    CloseHandle(file);
    if (!existed) DeleteFileA(path.c_str());
    return true;
}

bool WriteOutput(const std::string &path, const std::string &bytes) {
    return WriteTicket(bytes.data(), static_cast<uint32_t>(bytes.size()), path);
}

namespace {
bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }
}  // namespace

bool ParseTicketMoment(const std::string &text, std::tm &moment) {
    // Digits exactly where the form has them: no sign, no blank, no fewer.
    static const char kForm[] = "dddd-dd-dd dd:dd:dd";
    if (text.size() != sizeof kForm - 1) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        bool digit = text[i] >= '0' && text[i] <= '9';
        if (kForm[i] == 'd' ? !digit : text[i] != kForm[i]) return false;
    }
    auto number = [&](size_t at, size_t length) { return std::stoi(text.substr(at, length)); };
    int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59) return false;
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
    if (!out.empty() && out != "-") {
        // A device or a pipe (/dev/null, /dev/stdout, a FIFO) takes the
        // ticket as a stream: the file calls open regular files only, and
        // such a target must never be deleted after a short write.
        std::error_code ignored;
        const auto kind = std::filesystem::status(out, ignored).type();
        if (kind == std::filesystem::file_type::character || kind == std::filesystem::file_type::fifo) {
            std::ofstream stream(out, std::ios::binary | std::ios::out);
            stream.write(text, length);
            stream.flush();
            return static_cast<bool>(stream);
        }
        HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        bool whole = WriteFile(file, text, length, &written, nullptr) && written == length;
        whole = CloseHandle(file) && whole;
        // No part of a ticket is left to pass for a whole one.
        if (!whole) DeleteFileA(out.c_str());
        return whole;
    }
    // The ticket's line ends are its own: no CR may be added before LF.
    UseBinaryStandardOutput();
    std::cout.write(text, length);
    std::cout.flush();
    return static_cast<bool>(std::cout);
}

std::string Printable(const std::string &text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // C1 controls, U+0080 to U+009F, act on terminals as much as C0 ones.
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (byte < 0x20 || byte == 0x7f || c1) {
            char hex[8];
            if (c1) std::snprintf(hex, sizeof hex, "\\u%04x", static_cast<unsigned char>(text[++i]));
            else std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            out += hex;
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string ErrorText(unsigned long code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND: return "there is no such file";
    case ERROR_PATH_NOT_FOUND: return "a directory on its path does not exist";
    case ERROR_TOO_MANY_OPEN_FILES: return "too many files are open";
    case ERROR_ACCESS_DENIED: return "access is denied";
    case ERROR_NOT_ENOUGH_MEMORY: return "not enough memory";
    case ERROR_NOT_SAME_DEVICE: return "it is on another device than its directory's new file";
    case ERROR_WRITE_FAULT: return "the device could not be written";
    case ERROR_READ_FAULT: return "the device could not be read";
    case ERROR_SHARING_VIOLATION: return "another program is using it";
    case ERROR_LOCK_VIOLATION: return "another program has locked it";
    case ERROR_HANDLE_EOF: return "it changed while it was read";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return "the name is taken";
    case ERROR_DISK_FULL: return "the disk is full";
    case ERROR_FILENAME_EXCED_RANGE: return "the path is too long";
    case ERROR_FILE_TOO_LARGE: return "it is too large";
    case ERROR_IO_DEVICE: return "an input/output error";
    case ERROR_UNABLE_TO_REMOVE_REPLACED:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT: return "the new file could not take its place";
    case ERROR_CANT_RESOLVE_FILENAME: return "its name cannot be resolved (a loop of symbolic links)";
    default: return "system error " + std::to_string(code);
    }
}

bool ReadWholeFile(const std::string &path, std::string &bytes, std::string &error) {
    std::error_code status;
    if (std::filesystem::is_directory(path, status)) {
        error = path + ": it is a directory";
        return false;
    }
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = path + ": " + ErrorText(GetLastError());
        return false;
    }
    DWORD high = 0;
    SetLastError(NO_ERROR);  // INVALID_FILE_SIZE can be a true low part
    DWORD size = GetFileSize(file, &high);
    DWORD failure = NO_ERROR;
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) failure = GetLastError();
    else if (high != 0 || size > 0x7FFFFFFFu) failure = ERROR_FILE_TOO_LARGE;
    if (failure == NO_ERROR) {
        bytes.assign(size, '\0');
        DWORD got = 0;
        if (!ReadFile(file, bytes.data(), size, &got, nullptr)) failure = GetLastError();
        else if (got != size) failure = ERROR_HANDLE_EOF;
    }
    CloseHandle(file);
    if (failure != NO_ERROR) {
        error = path + ": " + ErrorText(failure);
        return false;
    }
    return true;
}

int RunVerb(const char *verb, const std::function<int()> &work) {
    try {
        return work();
    } catch (const std::bad_alloc &) {
        std::cerr << verb << ": not enough memory; stopped\n";
    } catch (const std::exception &fault) {
        std::cerr << verb << ": " << fault.what() << "; stopped\n";
    }
    return 1;
}
