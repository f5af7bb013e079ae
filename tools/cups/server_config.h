// The filter's configuration on the print server: where each user's address
// book and fax settings are kept, where the one shared book of a queue set
// to it is, and the code page of their text. Read from
// /etc/orvixfax/cups.conf, or from the file ORVIXFAX_CUPS_CONF names
// (the cupsd.conf SetEnv line that gives it to the filters).
//
// The file has one setting a line, its name, blanks and its value; lines
// starting with # are comments:
//
//   BookDirectory /var/lib/orvixfax/%u      # %u: the job's user
//   SharedBookDirectory /var/lib/orvixfax/shared
//   CodePage 1252
#ifndef ORVIXFAX_CUPS_SERVER_CONFIG_H
#define ORVIXFAX_CUPS_SERVER_CONFIG_H

#include <string>

struct ServerConfig {
    std::string bookDirectory = "/var/lib/orvixfax/%u";
    std::string sharedBookDirectory = "/var/lib/orvixfax/shared";
    int codePage = 1252;
};

// The configuration file's path: ORVIXFAX_CUPS_CONF when set, else
// `installed` (the path the build installs it to).
std::string ServerConfigPath(const char *installed);

// Reads `path` over the defaults. A missing file leaves them; a file that
// is there but cannot be read, an unknown setting or a bad value is an
// error naming the file, the line and the reason.
bool ReadServerConfig(const std::string &path, ServerConfig &config, std::string &error);

// The book directory of `user`'s jobs: `pattern` with every %u replaced by
// the user's name (%% is a percent sign). False with a reason for a name
// that cannot be part of a path (empty, ".", "..", a slash, a control
// character) or a pattern that is no absolute path.
bool BookDirectoryFor(const std::string &pattern, const std::string &user, std::string &directory,
                      std::string &error);

#endif
