// Changing the user's fax settings from the command line as the fax dialog
// changes them: the settings read as the dialog reads them, one key set,
// then all fifteen keys saved as the dialog saves them when it ends. So a
// key set here and a key the dialog set leave the same file.
#ifndef ORVIXFAX_TOOL_SETTINGS_STORE_H
#define ORVIXFAX_TOOL_SETTINGS_STORE_H

#include <string>
#include <vector>

// The keys, as the settings file spells them, in file order.
const std::vector<std::string> &SettingKeys();

// Sets `key` (any case) to `value` (bytes in the code page): "True" or
// "False" (also yes/no, on/off, 1/0) for NewRecipient and CoverPage, "Fine"
// or "Ultrafine" for Resolution, 0 or 1 for the seven flags, a text within
// the dialog's limit for the others. False with a message naming the key
// and what it takes; then nothing was written. A failed save is said too.
bool StoreSetting(const std::string &key, const std::string &value, std::string &error);

// The resolution, as `settings set Resolution Fine|Ultrafine` stores it.
bool StoreResolution(bool fine, std::string &error);

#endif
