#include "orvixfax/command_line.h"

#include <algorithm>

#include "orvixfax/platform.h"

void AddCommonOptions(CLI::App &command, CommonOptions &common, bool withDir) {
    if (withDir)
        command.add_option("--dir", common.dir,
                           std::string("the directory that plays the system directory (default: ORVIXFAX_DIR, "
                                       "else ") +
                               kDefaultDataDirectoryText + ")");
    command.add_option("--codepage", common.codePage,
                       "the module's ANSI code page of the book, the settings and the tickets (default: 1252; "
                       "932 on Japanese systems)");
}

std::string ExitStatusSection(std::initializer_list<std::pair<int, const char *>> statuses) {
    std::string section = "Exit status:";
    for (const auto &[status, meaning] : statuses) section += "\n  " + std::to_string(status) + "  " + meaning;
    return section;
}

bool OpenCodePage(const CommonOptions &common, CodePage &codePage, std::string &error) {
    return codePage.Open(common.codePage, error);
}

bool OptionText(const CodePage &codePage, const std::string &option, const std::string &utf8, std::string &bytes,
                std::string &error) {
    TextFault fault;
    if (codePage.FromUtf8(utf8, bytes, fault)) return true;
    error = UnmappableMessage(option, fault, codePage.Number());
    return false;
}

namespace {

size_t Distance(const std::string &a, const std::string &b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string CommandName(const CLI::App &app) {
    std::string name = app.get_name();
    for (const CLI::App *parent = app.get_parent(); parent != nullptr; parent = parent->get_parent())
        name = parent->get_name() + " " + name;
    return name;
}

}  // namespace

bool UnknownVerb(CLI::App &app, const std::vector<std::string> &arguments, std::string &message) {
    CLI::App *current = &app;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string &argument = arguments[i];
        if (argument == "--") break;
        if (argument.size() > 1 && argument[0] == '-') {
            if (argument == "-h" || argument == "--help" || argument == "-V" || argument == "--version") return false;
            const CLI::Option *option = current->get_option_no_throw(argument.substr(0, argument.find('=')));
            if (option != nullptr && argument.find('=') == std::string::npos && option->get_items_expected_min() > 0)
                ++i;
            continue;
        }
        std::vector<CLI::App *> verbs = current->get_subcommands([](CLI::App *) { return true; });
        if (verbs.empty()) return false;
        auto named = std::find_if(verbs.begin(), verbs.end(), [&](CLI::App *verb) { return verb->check_name(argument); });
        if (named != verbs.end()) {
            current = *named;
            continue;
        }
        message = CommandName(*current) + ": unknown command \"" + argument + "\"";
        const CLI::App *nearest = nullptr;
        size_t best = argument.size() / 2 + 1;
        for (const CLI::App *verb : verbs) {
            size_t distance = Distance(argument, verb->get_name());
            if (distance <= 2 && distance < best) best = distance, nearest = verb;
        }
        if (nearest != nullptr) message += "; did you mean \"" + nearest->get_name() + "\"?";
        return true;
    }
    std::vector<CLI::App *> verbs = current->get_subcommands([](CLI::App *) { return true; });
    if (verbs.empty() || current->get_require_subcommand_min() == 0) return false;
    message = CommandName(*current) + ": name a command:";
    for (size_t k = 0; k < verbs.size(); ++k) message += (k == 0 ? " " : ", ") + verbs[k]->get_name();
    message += " (" + CommandName(*current) + " --help says more)";
    return true;
}
