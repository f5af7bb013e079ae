// Initialisation files with the Windows rules: section and key names match
// without regard to case, blanks around names and values do not count, a
// value in one pair of quotes loses them when read. Writing edits the file
// line by line, so every other section, key, comment and blank line stays
// where it was; the new text replaces the file only once it is complete.
// Reads and writes pass the kernel call table twice: as profile calls, and
// as the file calls they are made of.
#include "platform/portable/host.h"
#include "platform/portable/kernel/kernel_state.h"

#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <strings.h>
#include <vector>

namespace {

struct Profile {
    std::vector<std::string> lines;  // without their line ends
    std::string newline = "\r\n";    // what the file uses; Windows writes CR LF
};

std::string Trim(const std::string &text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string TrimRight(const std::string &text) {
    size_t last = text.find_last_not_of(" \t\r");
    return last == std::string::npos ? "" : text.substr(0, last + 1);
}

bool SameName(const std::string &a, const char *b) { return strcasecmp(a.c_str(), b) == 0; }

// The section a line opens, if it is a section line.
std::optional<std::string> SectionName(const std::string &line) {
    std::string text = Trim(line);
    if (text.empty() || text[0] != '[') return std::nullopt;
    size_t close = text.find(']');
    return Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key and raw value of a key line; comments and other lines have none.
bool KeyLine(const std::string &line, std::string &key, std::string &value) {
    std::string text = Trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '[') return false;
    size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    key = Trim(text.substr(0, equals));
    value = Trim(text.substr(equals + 1));
    return !key.empty();
}

std::string Unquote(const std::string &value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

std::string ProfilePath(LPCSTR path) {
    std::string host = portable::HostPath(path);
    if (host.find('/') == std::string::npos) {
        // A bare name lives in the directory Windows keeps such files in.
        char directory[MAX_PATH] = "";
        if (GetSystemDirectoryA(directory, sizeof directory) != 0) host = portable::HostPath(directory) + "/" + host;
    }
    return host;
}

// Reads the file; a missing file is an empty profile. False when the file
// exists but cannot be read, so that a write never replaces what it could not see.
bool Load(const std::string &path, Profile &profile) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND;
    DWORD high = 0;
    SetLastError(NO_ERROR);  // INVALID_FILE_SIZE can be a true low part
    DWORD size = GetFileSize(file, &high);
    bool read = !(size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) && high == 0;
    std::string text;
    if (read) {
        text.resize(size);
        DWORD got = 0;
        read = ReadFile(file, text.data(), size, &got, nullptr) != FALSE;
        text.resize(got);
    }
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!read) {
        portable::SetLastErrorCode(high != 0 ? ERROR_FILE_TOO_LARGE : error);
        return false;
    }
    if (text.find('\n') != std::string::npos && text.find("\r\n") == std::string::npos) profile.newline = "\n";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        profile.lines.push_back(line);
        start = end + 1;
    }
    return true;
}

// Writes the whole text to a new file beside the profile, then moves it into
// the profile's place: a write that fails at any point (a full disk, no
// room for the new file) leaves the old file whole. Never rewritten in place.
bool Save(const std::string &path, const Profile &profile) {
    std::string text;
    for (const std::string &line : profile.lines) text += line + profile.newline;
    // A name of its own, made only if it is free: a leftover or a planted
    // link at one name just moves the write on to the next.
    std::string temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = path + "." + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt) + ".new";
        file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    if (file == INVALID_HANDLE_VALUE) return false;
    // Not flushed to the disk first: Windows does not flush its profiles either.
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    DWORD error = GetLastError();
    if (!CloseHandle(file) && whole) {
        whole = false;
        error = GetLastError();
    }
    if (whole) {
        if (ReplaceFileA(path.c_str(), temporary.c_str(), nullptr, 0, nullptr, nullptr)) return true;
        error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        error = GetLastError();
    }
    DeleteFileA(temporary.c_str());
    portable::SetLastErrorCode(error);
    return false;
}

// The line of the section's header, or -1.
int FindSection(const Profile &profile, const char *section) {
    for (size_t i = 0; i < profile.lines.size(); ++i) {
        std::optional<std::string> name = SectionName(profile.lines[i]);
        if (name && SameName(*name, section)) return static_cast<int>(i);
    }
    return -1;
}

// One past the last line of the section that starts at `header`.
int SectionEnd(const Profile &profile, int header) {
    size_t i = static_cast<size_t>(header) + 1;
    while (i < profile.lines.size() && !SectionName(profile.lines[i])) ++i;
    return static_cast<int>(i);
}

int FindKey(const Profile &profile, int header, const char *key, std::string *value = nullptr) {
    int end = SectionEnd(profile, header);
    for (int i = header + 1; i < end; ++i) {
        std::string name, raw;
        if (KeyLine(profile.lines[static_cast<size_t>(i)], name, raw) && SameName(name, key)) {
            if (value) *value = raw;
            return i;
        }
    }
    return -1;
}

// A list of names, each ended by a zero and the list by another; cut short
// as Windows does, with both terminators kept and size - 2 returned.
DWORD CopyList(const std::vector<std::string> &names, LPSTR buffer, DWORD size) {
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    DWORD used = 0;
    for (const std::string &name : names) {
        for (char c : name) {
            if (used + 2 >= size) {
                buffer[size - 2] = '\0';
                buffer[size - 1] = '\0';
                return size - 2;
            }
            buffer[used++] = c;
        }
        if (used + 2 >= size) {
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        buffer[used++] = '\0';
    }
    buffer[used] = '\0';
    if (names.empty() && size >= 2) buffer[1] = '\0';
    return used;
}

DWORD CopyText(const std::string &text, LPSTR buffer, DWORD size) {
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

// Reads the profile for a reading call; false (an empty profile) when the
// call's entry in the kernel call table fails it or the file cannot be read.
bool LoadForReading(LPCSTR path, Profile &profile) {
    if (portable::KernelCallFails(portable::KERNEL_PROFILE_READ, path)) return false;
    return Load(ProfilePath(path), profile);
}

// The raw value of a present key (quotes removed), or nothing.
std::optional<std::string> ReadValue(LPCSTR section, LPCSTR key, LPCSTR path) {
    Profile profile;
    if (section == nullptr || key == nullptr || path == nullptr || !LoadForReading(path, profile)) return std::nullopt;
    int header = FindSection(profile, section);
    if (header < 0) return std::nullopt;
    std::string value;
    if (FindKey(profile, header, key, &value) < 0) return std::nullopt;
    return Unquote(value);
}

DWORD ReadString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size, LPCSTR path) {
    if (path == nullptr) return CopyText(TrimRight(fallback ? fallback : ""), buffer, size);
    Profile profile;
    bool loaded = LoadForReading(path, profile);
    if (section == nullptr) {
        std::vector<std::string> names;
        for (const std::string &line : profile.lines)
            if (std::optional<std::string> name = SectionName(line)) names.push_back(*name);
        return CopyList(names, buffer, size);
    }
    int header = loaded ? FindSection(profile, section) : -1;
    if (key == nullptr) {
        std::vector<std::string> names;
        if (header >= 0) {
            int end = SectionEnd(profile, header);
            for (int i = header + 1; i < end; ++i) {
                std::string name, raw;
                if (KeyLine(profile.lines[static_cast<size_t>(i)], name, raw)) names.push_back(name);
            }
        }
        return CopyList(names, buffer, size);
    }
    std::string value;
    if (header >= 0 && FindKey(profile, header, key, &value) >= 0) return CopyText(Unquote(value), buffer, size);
    // Absent: the default, without its trailing blanks.
    return CopyText(TrimRight(fallback ? fallback : ""), buffer, size);
}

UINT ReadInt(LPCSTR section, LPCSTR key, INT fallback, LPCSTR path) {
    std::optional<std::string> value = ReadValue(section, key, path);
    if (!value) return static_cast<UINT>(fallback);
    // A sign, then decimal digits or 0x and hex digits, from the start of
    // the value; what follows them does not count; no digits give 0.
    const char *p = value->c_str();
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    uint32_t result = 0;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        for (p += 2;; ++p) {
            int digit;
            if (*p >= '0' && *p <= '9') digit = *p - '0';
            else if (*p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
            else if (*p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
            else break;
            result = result * 16 + static_cast<uint32_t>(digit);
        }
    } else {
        for (; *p >= '0' && *p <= '9'; ++p) result = result * 10 + static_cast<uint32_t>(*p - '0');
    }
    return negative ? 0u - result : result;
}

BOOL WriteString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path) {
    std::string file = ProfilePath(path);
    Profile profile;
    if (!Load(file, profile)) return FALSE;
    int header = FindSection(profile, section);
    if (key == nullptr) {
        if (header < 0) return TRUE;
        int end = SectionEnd(profile, header);
        profile.lines.erase(profile.lines.begin() + header, profile.lines.begin() + end);
        return Save(file, profile);
    }
    if (value == nullptr) {
        int line = header < 0 ? -1 : FindKey(profile, header, key);
        if (line < 0) return TRUE;
        profile.lines.erase(profile.lines.begin() + line);
        return Save(file, profile);
    }
    std::string text = value;
    text.erase(0, text.find_first_not_of(" \t"));  // Windows drops the value's leading blanks
    if (header < 0) {
        profile.lines.push_back("[" + std::string(section) + "]");
        profile.lines.push_back(std::string(key) + "=" + text);
        return Save(file, profile);
    }
    int line = FindKey(profile, header, key);
    if (line >= 0) {
        std::string name, raw;
        KeyLine(profile.lines[static_cast<size_t>(line)], name, raw);
        std::string written = name + "=" + text;
        // Windows leaves the file alone when the line already reads so.
        if (written == profile.lines[static_cast<size_t>(line)]) return TRUE;
        profile.lines[static_cast<size_t>(line)] = written;
    } else {
        // After the section's last non-blank line, before any blank lines that part it from the next.
        int at = SectionEnd(profile, header);
        while (at > header + 1 && Trim(profile.lines[static_cast<size_t>(at - 1)]).empty()) --at;
        profile.lines.insert(profile.lines.begin() + at, std::string(key) + "=" + text);
    }
    return Save(file, profile);
}

}  // namespace

// The calls themselves: like Windows, they answer a shortage of memory
// with a failure, never with an exception.

DWORD WINAPI GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size,
                                      LPCSTR path) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    try {
        return ReadString(section, key, fallback, buffer, size, path);
    } catch (const std::bad_alloc &) {
        buffer[0] = '\0';
        portable::SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT fallback, LPCSTR path) {
    try {
        return ReadInt(section, key, fallback, path);
    } catch (const std::bad_alloc &) {
        portable::SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return static_cast<UINT>(fallback);
    }
}

BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path) {
    if (section == nullptr) {
        // All null asks Windows to flush its cache; there is none here.
        if (key == nullptr && value == nullptr) return TRUE;
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (path == nullptr) {
        portable::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (portable::KernelCallFails(portable::KERNEL_PROFILE_WRITE, path)) return FALSE;
    try {
        return WriteString(section, key, value, path);
    } catch (const std::bad_alloc &) {
        portable::SetLastErrorCode(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
}
