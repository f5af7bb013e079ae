// The filter's configuration file and the book directory it gives a job.
#include <gtest/gtest.h>

#include <filesystem>

#include "cups/server_config.h"
#include "support/temp_directory.h"

namespace {

TEST(ServerConfig, AMissingFileLeavesTheDefaultsAndAFileSetsWhatItNames) {
    TempDirectory dir;
    ServerConfig config;
    std::string error;
    ASSERT_TRUE(ReadServerConfig(dir.HostPath("none.conf"), config, error)) << error;
    EXPECT_EQ(config.bookDirectory, "/var/lib/orvixfax/%u");
    EXPECT_EQ(config.sharedBookDirectory, "/var/lib/orvixfax/shared");
    EXPECT_EQ(config.codePage, 1252);

    dir.Write("cups.conf",
              "# comment\n\n  BookDirectory   /srv/fax books/%u  \r\n"
              "\tSharedBookDirectory /srv/shared\nCodePage 932\n");
    ASSERT_TRUE(ReadServerConfig(dir.HostPath("cups.conf"), config, error)) << error;
    EXPECT_EQ(config.bookDirectory, "/srv/fax books/%u");
    EXPECT_EQ(config.sharedBookDirectory, "/srv/shared");
    EXPECT_EQ(config.codePage, 932);
}

TEST(ServerConfig, MistakesAreNamedWithTheirLineAndNothingFallsBackQuietly) {
    TempDirectory dir;
    const struct {
        const char *text;
        const char *said;
    } cases[] = {
        {"BookDirectory /a\nBookDirectry /b\n", ":2: BookDirectry: no such setting"},
        {"CodePage 12x2\n", ":1: CodePage: \"12x2\" is not a Windows code page number"},
        {"CodePage 0\n", "is not a Windows code page number"},
        {"SharedBookDirectory\n", ":1: SharedBookDirectory has no value"},
    };
    for (const auto &c : cases) {
        dir.Write("cups.conf", c.text);
        ServerConfig config;
        std::string error;
        EXPECT_FALSE(ReadServerConfig(dir.HostPath("cups.conf"), config, error)) << c.text;
        EXPECT_NE(error.find(c.said), std::string::npos) << error;
    }
    std::filesystem::create_directory(dir.HostPath("conf.d"));
    ServerConfig config;
    std::string error;
    EXPECT_FALSE(ReadServerConfig(dir.HostPath("conf.d"), config, error));
    EXPECT_NE(error.find("is a directory"), std::string::npos) << error;
}

TEST(ServerConfig, TheEnvironmentNamesAnotherFile) {
    unsetenv("ORVIXFAX_CUPS_CONF");
    EXPECT_EQ(ServerConfigPath("/etc/orvixfax/cups.conf"), "/etc/orvixfax/cups.conf");
    setenv("ORVIXFAX_CUPS_CONF", "/tmp/test.conf", 1);
    EXPECT_EQ(ServerConfigPath("/etc/orvixfax/cups.conf"), "/tmp/test.conf");
    unsetenv("ORVIXFAX_CUPS_CONF");
}

TEST(BookDirectory, TheUserNameGoesInPlaceOfPercentU) {
    std::string directory, error;
    ASSERT_TRUE(BookDirectoryFor("/var/lib/orvixfax/%u", "ann", directory, error)) << error;
    EXPECT_EQ(directory, "/var/lib/orvixfax/ann");
    ASSERT_TRUE(BookDirectoryFor("/books/%u/fax-100%%", "bo.k", directory, error)) << error;
    EXPECT_EQ(directory, "/books/bo.k/fax-100%");
    ASSERT_TRUE(BookDirectoryFor("/shared", "ann", directory, error));
    EXPECT_EQ(directory, "/shared");
}

TEST(BookDirectory, NamesThatWouldLeaveTheDirectoryAreRefused) {
    for (const char *user : {"", ".", "..", "../root", "a/b", "tab\there", "\x7f"}) {
        std::string directory, error;
        EXPECT_FALSE(BookDirectoryFor("/var/lib/orvixfax/%u", user, directory, error)) << user;
        EXPECT_NE(error.find("cannot name a book directory"), std::string::npos) << error;
    }
    std::string directory, error;
    EXPECT_FALSE(BookDirectoryFor("books/%u", "ann", directory, error));
    EXPECT_NE(error.find("not an absolute path"), std::string::npos) << error;
}

}  // namespace
