#include "cups/server_config.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

std::string ServerConfigPath(const char *installed) {
    const char *named = std::getenv("ORVIXFAX_CUPS_CONF");
    return named != nullptr && *named != '\0' ? named : installed;
}

namespace {

std::string Trimmed(const std::string &text) {
    const char *blanks = " \t\r";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

bool ReadCodePage(const std::string &value, int &number) {
    if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != std::string::npos) return false;
    number = std::atoi(value.c_str());
    return number > 0;
}

}  // namespace

bool ReadServerConfig(const std::string &path, ServerConfig &config, std::string &error) {
    struct stat status{};
    if (stat(path.c_str(), &status) != 0 && errno == ENOENT) return true;
    if (S_ISDIR(status.st_mode)) {
        error = path + ": is a directory, not the configuration file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        size_t blank = line.find_first_of(" \t");
        std::string name = line.substr(0, blank);
        std::string value = blank == std::string::npos ? "" : Trimmed(line.substr(blank));
        std::string where = path + ":" + std::to_string(number) + ": " + name;
        if (value.empty()) {
            error = where + " has no value";
            return false;
        }
        if (name == "BookDirectory") {
            config.bookDirectory = value;
        } else if (name == "SharedBookDirectory") {
            config.sharedBookDirectory = value;
        } else if (name == "CodePage") {
            if (!ReadCodePage(value, config.codePage)) {
                error = where + ": \"" + value + "\" is not a Windows code page number (1252, 932, ...)";
                return false;
            }
        } else {
            error = where + ": no such setting (BookDirectory, SharedBookDirectory, CodePage)";
            return false;
        }
    }
    if (in.bad()) {
        error = path + ": cannot be read to its end";
        return false;
    }
    return true;
}

bool BookDirectoryFor(const std::string &pattern, const std::string &user, std::string &directory,
                      std::string &error) {
    if (pattern.empty() || pattern[0] != '/') {
        error = "the book directory \"" + pattern + "\" is not an absolute path";
        return false;
    }
    bool unusable = user.empty() || user == "." || user == ".." || user.find('/') != std::string::npos;
    for (unsigned char c : user) unusable = unusable || c < 0x20 || c == 0x7f;
    if (unusable) {
        error = "the job's user name \"" + user + "\" cannot name a book directory";
        return false;
    }
    directory.clear();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'u') {
            directory += user;
            ++i;
        } else if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == '%') {
            directory += '%';
            ++i;
        } else {
            directory += pattern[i];
        }
    }
    return true;
}
