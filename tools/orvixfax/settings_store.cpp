#include "orvixfax/settings_store.h"

#include <cstdint>
#include <cstring>

#include "common/text_field.h"
#include "faxdlg/fax_settings.h"
#include "faxdlg/recipient_list.h"

namespace {

// The cover page dialog takes at most this many characters of each
// sender detail.
const size_t kSenderTextLimit = 40;

std::string Lower(const std::string &text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return lower;
}

bool YesOrNo(const std::string &value, bool &yes) {
    const std::string word = Lower(value);
    for (const char *truth : {"true", "yes", "on", "1"})
        if (word == truth) return (yes = true);
    for (const char *falsehood : {"false", "no", "off", "0"})
        if (word == falsehood) return !(yes = false);
    return false;
}

}  // namespace

const std::vector<std::string> &SettingKeys() {
    static const std::vector<std::string> keys = {
        "NewRecipient",         "CurrentSelection",     "Resolution",           "CoverPage",
        "SenderName",           "SenderFaxNumber",      "SenderBusinessNumber", "SenderHomeNumber",
        "SenderNameTrue",       "SenderHomeNumberTrue", "SenderFaxNumberTrue",  "SenderBusinessNumberTrue",
        "RecipNameTrue",        "RecipNumberTrue",      "RecipCompanyTrue"};
    return keys;
}

bool StoreSetting(const std::string &keyAsGiven, const std::string &value, std::string &error) {
    std::string key;
    for (const std::string &known : SettingKeys())
        if (Lower(known) == Lower(keyAsGiven)) key = known;
    if (key.empty()) {
        error = "\"" + keyAsGiven + "\" is no key of the settings (they are:";
        for (const std::string &known : SettingKeys()) error += " " + known;
        error += ")";
        return false;
    }
    FaxSettings settings;
    std::memset(&settings, 0, sizeof settings);
    LoadFaxSettings(&settings);

    bool yes = false;
    auto text = [&](char *field, size_t size, size_t limit) {
        if (value.size() > limit) {
            error = key + ": \"" + value + "\" is longer than the dialog's limit of " + std::to_string(limit) +
                    " characters";
            return false;
        }
        CopyField(field, size, value.c_str());
        return true;
    };
    int32_t *flags[] = {&settings.senderNameTrue,           &settings.senderHomeNumberTrue, &settings.senderFaxNumberTrue,
                        &settings.senderBusinessNumberTrue, &settings.recipNameTrue,        &settings.recipNumberTrue,
                        &settings.recipCompanyTrue};
    bool set = true;
    if (key == "NewRecipient" || key == "CoverPage") {
        set = YesOrNo(value, yes);
        if (!set) error = key + ": \"" + value + "\" is neither True nor False";
        else if (key == "NewRecipient") settings.newRecipient = yes ? 1 : 0;
        else settings.coverPage = yes ? 1 : 0;
    } else if (key == "Resolution") {
        set = Lower(value) == "fine" || Lower(value) == "ultrafine";
        if (!set) error = key + ": \"" + value + "\" is neither Fine nor Ultrafine";
        else settings.resolution = Lower(value) == "fine" ? 1 : 0;
    } else if (key == "CurrentSelection") {
        set = text(settings.currentSelection, sizeof settings.currentSelection, NEW_RECIPIENT_NAME_LIMIT);
    } else if (key == "SenderName") {
        set = text(settings.senderName, sizeof settings.senderName, kSenderTextLimit);
    } else if (key == "SenderFaxNumber") {
        set = text(settings.senderFaxNumber, sizeof settings.senderFaxNumber, kSenderTextLimit);
    } else if (key == "SenderBusinessNumber") {
        set = text(settings.senderBusinessNumber, sizeof settings.senderBusinessNumber, kSenderTextLimit);
    } else if (key == "SenderHomeNumber") {
        set = text(settings.senderHomeNumber, sizeof settings.senderHomeNumber, kSenderTextLimit);
    } else {
        const auto &keys = SettingKeys();
        size_t flag = 0;
        while (keys[8 + flag] != key) ++flag;
        set = YesOrNo(value, yes);
        if (!set) error = key + ": \"" + value + "\" is neither 1 nor 0";
        else *flags[flag] = yes ? 1 : 0;
    }
    if (!set) return false;
    if (SaveFaxSettings(&settings)) return true;
    char path[MAX_PATH] = "";
    GetFaxSettingsPath(path, sizeof path);
    error = std::string("the settings could not be saved to ") + path;
    return false;
}

bool StoreResolution(bool fine, std::string &error) { return StoreSetting("Resolution", fine ? "Fine" : "Ultrafine", error); }
