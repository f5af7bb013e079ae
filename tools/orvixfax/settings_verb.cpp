// orvixfax settings show: the user's fax settings as the fax dialog reads
// them (defaults for what is missing, the yes/no rules applied).
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "faxdlg/fax_settings.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/verbs.h"

namespace {

struct SettingsOptions {
    std::string dir;
    bool json = false;
};


int ShowSettings(const SettingsOptions &options) {
    std::string dir, error;
    if (!DataDirectory(options.dir, dir, error)) {
        std::cerr << "orvixfax settings show: " << error << "\n";
        return 2;
    }
    if (!UseDataDirectory(dir, !options.dir.empty(), error)) {
        std::cerr << "orvixfax settings show: " << error << "\n";
        return 2;
    }
    char path[MAX_PATH];
    if (!GetFaxSettingsPath(path, sizeof path)) {
        std::cerr << "orvixfax settings show: the directory's path is too long for the "
                     "settings file's name\n";
        return 2;
    }
    FaxSettings s;
    LoadFaxSettings(&s);

    if (options.json) {
        nlohmann::ordered_json out;
        out["NewRecipient"] = s.newRecipient == 1;
        out["CurrentSelection"] = Latin1ToUtf8(s.currentSelection);
        out["Resolution"] = s.resolution == 0 ? "Ultrafine" : "Fine";
        out["CoverPage"] = s.coverPage == 1;
        out["SenderName"] = Latin1ToUtf8(s.senderName);
        out["SenderFaxNumber"] = Latin1ToUtf8(s.senderFaxNumber);
        out["SenderBusinessNumber"] = Latin1ToUtf8(s.senderBusinessNumber);
        out["SenderHomeNumber"] = Latin1ToUtf8(s.senderHomeNumber);
        out["SenderNameTrue"] = s.senderNameTrue;
        out["SenderHomeNumberTrue"] = s.senderHomeNumberTrue;
        out["SenderFaxNumberTrue"] = s.senderFaxNumberTrue;
        out["SenderBusinessNumberTrue"] = s.senderBusinessNumberTrue;
        out["RecipNameTrue"] = s.recipNameTrue;
        out["RecipNumberTrue"] = s.recipNumberTrue;
        out["RecipCompanyTrue"] = s.recipCompanyTrue;
        std::cout << out.dump(2) << "\n";
        return 0;
    }
    const std::filesystem::path file = std::filesystem::absolute(dir) / "orvixfax.ini";
    const bool exists = std::filesystem::exists(file);
    std::cout << "Settings file: " << file.string()
              << (exists ? "" : " (missing: every value is its default)")
              << "\n"
              << "NewRecipient=" << (s.newRecipient == 1 ? "True" : "False") << "\n"
              << "CurrentSelection=" << Printable(s.currentSelection) << "\n"
              << "Resolution=" << (s.resolution == 0 ? "Ultrafine" : "Fine") << "\n"
              << "CoverPage=" << (s.coverPage == 1 ? "True" : "False") << "\n"
              << "SenderName=" << Printable(s.senderName) << "\n"
              << "SenderFaxNumber=" << Printable(s.senderFaxNumber) << "\n"
              << "SenderBusinessNumber=" << Printable(s.senderBusinessNumber) << "\n"
              << "SenderHomeNumber=" << Printable(s.senderHomeNumber) << "\n"
              << "SenderNameTrue=" << s.senderNameTrue << "\n"
              << "SenderHomeNumberTrue=" << s.senderHomeNumberTrue << "\n"
              << "SenderFaxNumberTrue=" << s.senderFaxNumberTrue << "\n"
              << "SenderBusinessNumberTrue=" << s.senderBusinessNumberTrue << "\n"
              << "RecipNameTrue=" << s.recipNameTrue << "\n"
              << "RecipNumberTrue=" << s.recipNumberTrue << "\n"
              << "RecipCompanyTrue=" << s.recipCompanyTrue << "\n";
    return 0;
}

}  // namespace

void AddSettingsVerb(CLI::App &app, int &exitCode) {
    auto options = std::make_shared<SettingsOptions>();
    CLI::App *settings = app.add_subcommand("settings", "The user's fax settings (orvixfax.ini).");
    settings->require_subcommand(1);
    CLI::App *show = settings->add_subcommand(
        "show",
        "Show the settings as the fax dialog reads them: a missing file or key gives its "
        "default, the yes/no rules of each key applied.\n"
        "Exit status: 0 shown; 2 bad option or directory.");
    show->add_option("--dir", options->dir,
                     std::string("the directory that plays the system directory (default: ") +
                         kDefaultDataDirectoryText + ", as for the book commands)");
    show->add_flag("--json", options->json, "print one JSON object, keys in file order");
    show->callback([options, &exitCode] {
        exitCode = RunVerb("orvixfax settings show", [&] { return ShowSettings(*options); });
    });
}
