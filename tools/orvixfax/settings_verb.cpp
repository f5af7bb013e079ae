// orvixfax settings: the user's fax settings as the fax dialog reads them
// (defaults for what is missing, the yes/no rules applied), and one key
// changed as the dialog changes it.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "faxdlg/fax_settings.h"
#include "orvixfax/book_access.h"
#include "orvixfax/cli_support.h"
#include "orvixfax/platform.h"
#include "orvixfax/settings_store.h"
#include "orvixfax/verbs.h"

namespace {

struct SettingsOptions {
    bool json = false;
    std::string key;
    std::string value;
};

// Points the module at the settings' directory; false with the message said.
bool UseSettingsDirectory(const char *verb, const CommonOptions &common, bool make, CodePage &codePage,
                          DataPlace &place) {
    std::string error;
    if (!OpenCodePage(common, codePage, error) || !DataDirectory(common.dir, make, place, error) ||
        !UseDataDirectory(place.directory, place.named, error)) {
        std::cerr << verb << ": " << error << "\n";
        return false;
    }
    return true;
}

int ShowSettings(const SettingsOptions &options, const CommonOptions &common) {
    const char *verb = "orvixfax settings show";
    CodePage codePage;
    DataPlace place;
    if (!UseSettingsDirectory(verb, common, false, codePage, place)) return 2;
    char path[MAX_PATH];
    if (!GetFaxSettingsPath(path, sizeof path)) {
        std::cerr << verb << ": the directory's path is too long for the settings file's name\n";
        return 2;
    }
    FaxSettings s;
    LoadFaxSettings(&s);
    auto text = [&](const char *bytes) { return codePage.ToUtf8(bytes); };

    if (options.json) {
        nlohmann::ordered_json out;
        out["NewRecipient"] = s.newRecipient == 1;
        out["CurrentSelection"] = text(s.currentSelection);
        out["Resolution"] = s.resolution == 0 ? "Ultrafine" : "Fine";
        out["CoverPage"] = s.coverPage == 1;
        out["SenderName"] = text(s.senderName);
        out["SenderFaxNumber"] = text(s.senderFaxNumber);
        out["SenderBusinessNumber"] = text(s.senderBusinessNumber);
        out["SenderHomeNumber"] = text(s.senderHomeNumber);
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
    const std::string file = Shown(path);
    std::error_code failed;
    const bool exists = std::filesystem::exists(file, failed);
    std::cout << "Settings file: " << file << (exists ? "" : " (missing: every value is its default)") << "\n"
              << "NewRecipient=" << (s.newRecipient == 1 ? "True" : "False") << "\n"
              << "CurrentSelection=" << Printable(text(s.currentSelection)) << "\n"
              << "Resolution=" << (s.resolution == 0 ? "Ultrafine" : "Fine") << "\n"
              << "CoverPage=" << (s.coverPage == 1 ? "True" : "False") << "\n"
              << "SenderName=" << Printable(text(s.senderName)) << "\n"
              << "SenderFaxNumber=" << Printable(text(s.senderFaxNumber)) << "\n"
              << "SenderBusinessNumber=" << Printable(text(s.senderBusinessNumber)) << "\n"
              << "SenderHomeNumber=" << Printable(text(s.senderHomeNumber)) << "\n"
              << "SenderNameTrue=" << s.senderNameTrue << "\n"
              << "SenderHomeNumberTrue=" << s.senderHomeNumberTrue << "\n"
              << "SenderFaxNumberTrue=" << s.senderFaxNumberTrue << "\n"
              << "SenderBusinessNumberTrue=" << s.senderBusinessNumberTrue << "\n"
              << "RecipNameTrue=" << s.recipNameTrue << "\n"
              << "RecipNumberTrue=" << s.recipNumberTrue << "\n"
              << "RecipCompanyTrue=" << s.recipCompanyTrue << "\n";
    return 0;
}

int SetSetting(const SettingsOptions &options, const CommonOptions &common) {
    const char *verb = "orvixfax settings set";
    CodePage codePage;
    DataPlace place;
    if (!UseSettingsDirectory(verb, common, true, codePage, place)) return 2;
    std::string value, error;
    if (!OptionText(codePage, options.key, options.value, value, error)) {
        std::cerr << verb << ": " << error << "\n";
        return 2;
    }
    if (StoreSetting(options.key, value, error)) return 0;
    std::cerr << verb << ": " << error << "\n";
    return error.rfind("the settings could not be saved", 0) == 0 ? 1 : 2;
}

}  // namespace

void AddSettingsVerb(CLI::App &app, const Common &common, int &exitCode) {
    auto options = std::make_shared<SettingsOptions>();
    CLI::App *settings = app.add_subcommand("settings", "The user's fax settings (orvixfax.ini)");
    settings->require_subcommand(1);
    CLI::App *show = settings->add_subcommand(
        "show",
        "Show the settings as the fax dialog reads them: a missing file or key gives its default, the "
        "yes/no rules of each key applied. Creates nothing.");
    show->footer(ExitStatusSection({{0, "shown"}, {2, "bad option or directory"}}));
    AddCommonOptions(*show, *common);
    show->add_flag("--json", options->json, "print one JSON object, keys in file order");
    show->callback([options, common, &exitCode] {
        exitCode = RunVerb("orvixfax settings show", [&] { return ShowSettings(*options, *common); });
    });

    CLI::App *set = settings->add_subcommand(
        "set",
        "Set one key as the fax dialog would: the settings read as the dialog reads them, the key changed, all "
        "fifteen keys saved as the dialog saves them when it ends.");
    set->add_option("key", options->key, "the key (NewRecipient, Resolution, SenderName, ...; any case)")->required();
    set->add_option("value", options->value,
                    "True/False, Fine/Ultrafine, 1/0 for the flags, or the text (within the dialog's limit)")
        ->required();
    set->footer(ExitStatusSection({{0, "set and saved"},
                                   {1, "the settings could not be saved"},
                                   {2, "bad option, directory, key or value (the message says what the key takes)"}}));
    AddCommonOptions(*set, *common);
    set->callback([options, common, &exitCode] {
        exitCode = RunVerb("orvixfax settings set", [&] { return SetSetting(*options, *common); });
    });
}
