// The manual page and the bash completion against the program's own
// commands: every option of every command's --help is in the manual's
// section of that command (or among the common options), and the
// completion offers every command and option, and the book's names.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "orvixfax/verbs.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A command of the program: its words after "orvixfax", its options as
// --help names them, and the commands under it.
struct Command {
    std::string path;
    std::vector<std::string> options;
    std::vector<std::string> commands;
};

void Walk(const CLI::App &app, const std::string &path, std::vector<Command> &commands) {
    Command command{path, {}, {}};
    for (const CLI::Option *option : app.get_options()) {
        for (const std::string &name : option->get_lnames()) command.options.push_back("--" + name);
        for (const std::string &name : option->get_snames()) command.options.push_back("-" + name);
    }
    for (const CLI::App *sub : app.get_subcommands({})) command.commands.push_back(sub->get_name());
    commands.push_back(command);
    for (const CLI::App *sub : app.get_subcommands({}))
        Walk(*sub, path.empty() ? sub->get_name() : path + " " + sub->get_name(), commands);
}

std::vector<Command> ProgramCommands() {
    CLI::App app{"orvixfax", "orvixfax"};
    app.set_version_flag("-V,--version", "orvixfax", "show the version and exit");
    int exitCode = 0;
    AddVerbs(app, exitCode);
    std::vector<Command> commands;
    Walk(app, "", commands);
    return commands;
}

// The manual's sections by their headings ("COMMON OPTIONS", "book import").
std::map<std::string, std::string> Sections(const std::string &source) {
    std::map<std::string, std::string> sections;
    std::istringstream lines(source);
    std::string line, heading;
    while (std::getline(lines, line)) {
        if (line.rfind("# ", 0) == 0) heading = line.substr(2);
        else if (line.rfind("## ", 0) == 0) heading = line.substr(3);
        else sections[heading] += line + "\n";
    }
    return sections;
}

TEST(ManualPage, NamesEveryOptionOfEveryCommandInItsSection) {
    const std::string source = Read(MANUAL_SOURCE);
    const std::string page = Read(MANUAL_PAGE);
    ASSERT_FALSE(source.empty());
    ASSERT_NE(page.find(".TH \"orvixfax\" \"1\""), std::string::npos) << "the built page is scdoc's of the source";
    std::map<std::string, std::string> sections = Sections(source);
    const std::string &common = sections["COMMON OPTIONS"];
    std::vector<Command> commands = ProgramCommands();
    ASSERT_GT(commands.size(), 15u);
    std::set<std::string> rootOptions;
    for (const std::string &option : commands[0].options) rootOptions.insert(option);
    for (const Command &command : commands) {
        if (!command.commands.empty() && !command.path.empty()) continue;  // "book", "settings": only their commands
        const std::string &section = command.path.empty() ? common : sections[command.path];
        EXPECT_FALSE(section.empty()) << "no section \"## " << command.path << "\"";
        for (const std::string &option : command.options) {
            const std::string bold = "*" + option + "*";
            bool there = section.find(bold) != std::string::npos ||
                         (rootOptions.count(option) != 0 && common.find(bold) != std::string::npos);
            EXPECT_TRUE(there) << "orvixfax " << command.path << " " << option << " is not in the manual";
            EXPECT_NE(page.find("\\fB" + option + "\\fR"), std::string::npos) << option << " is not in the built page";
        }
    }
}

class Completion : public ::testing::Test {
protected:
    void SetUp() override {
        directory = fs::temp_directory_path() / ("orvixfax-completion-" + std::to_string(::getpid()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(directory);
        fs::create_directories(directory / "book");
    }
    void TearDown() override { fs::remove_all(directory); }

    // What the completion offers for each line (words separated by
    // blanks, the last one the word being completed, written as typed),
    // asked in one bash.
    std::vector<std::vector<std::string>> Offered(const std::vector<std::string> &lines) {
        std::string script = "source '" + std::string(COMPLETION) + "'\n";
        for (const std::string &line : lines) {
            script += "COMP_WORDS=('" + std::string(ORVIXFAX_PROGRAM) + "' " + line + ")\n"
                      "COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 ))\n"
                      "_orvixfax; printf '%s\\n' \"${COMPREPLY[@]}\"; echo '=='\n";
        }
        std::ofstream(directory / "ask.sh") << script;
        const std::string command = "env -u ORVIXFAX_DIR bash --norc --noprofile '" + (directory / "ask.sh").string() +
                                    "' >'" + (directory / "out").string() + "' 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << Read(directory / "out");
        std::vector<std::vector<std::string>> offered(1);
        std::istringstream out(Read(directory / "out"));
        std::string word;
        while (std::getline(out, word)) {
            if (word == "==") offered.emplace_back();
            else if (!word.empty()) offered.back().push_back(word);
        }
        offered.pop_back();
        return offered;
    }

    fs::path directory;
};

TEST_F(Completion, OffersEveryCommandAndOption) {
    std::vector<Command> commands = ProgramCommands();
    std::vector<std::string> lines;
    for (const Command &command : commands) {
        lines.push_back(command.path + " ''");
        lines.push_back(command.path + " --");
    }
    std::vector<std::vector<std::string>> offered = Offered(lines);
    ASSERT_EQ(offered.size(), lines.size());
    for (size_t i = 0; i < commands.size(); ++i) {
        const std::set<std::string> words(offered[2 * i].begin(), offered[2 * i].end());
        for (const std::string &sub : commands[i].commands)
            EXPECT_EQ(words.count(sub), 1u) << "orvixfax " << commands[i].path << " " << sub;
        const std::set<std::string> options(offered[2 * i + 1].begin(), offered[2 * i + 1].end());
        for (const std::string &option : commands[i].options) {
            if (option.rfind("--", 0) != 0) continue;  // -h and -V are there as --help and --version
            EXPECT_EQ(options.count(option), 1u) << "orvixfax " << commands[i].path << " " << option;
        }
    }
}

TEST_F(Completion, OffersTheBooksGroupsAndPersonsQuotedAsTyped) {
    std::ofstream(directory / "book" / "OrvixFax.adb", std::ios::binary)
        << ",Ann,Lee,,Acme,,,555,office\n,,,,Solo Inc,,,7,\n,Zo\xe9,O'Hara,,,,,8,\n\fSales Team,0.0,1.0\nNight,2.0\n";
    const std::string dir = "--dir '" + (directory / "book").string() + "' ";
    std::vector<std::vector<std::string>> offered = Offered({
        "book remove " + dir + "''",
        "book remove " + dir + "\"'A\"",
        dir + "fax --pcl --to S",
        "book group members " + dir + "''",
        "book group add Night " + dir + "Zo",
        "book import --format ''",
        "book gr",
    });
    ASSERT_EQ(offered.size(), 7u);
    EXPECT_EQ(offered[0], (std::vector<std::string>{"\\[Sales\\ Team\\]", "\\[Night\\]", "Ann\\ Lee", "Solo\\ Inc",
                                                    "Zo\xc3\xa9\\ O\\'Hara"}));
    EXPECT_EQ(offered[1], (std::vector<std::string>{"'Ann Lee'"}));
    EXPECT_EQ(offered[2], (std::vector<std::string>{"Solo\\ Inc"}));
    EXPECT_EQ(offered[3], (std::vector<std::string>{"Sales\\ Team", "Night"}));
    EXPECT_EQ(offered[4], (std::vector<std::string>{"Zo\xc3\xa9\\ O\\'Hara"}));
    EXPECT_EQ(offered[5], (std::vector<std::string>{"csv", "vcard"}));
    EXPECT_EQ(offered[6], (std::vector<std::string>{"group"}));
}

}  // namespace
